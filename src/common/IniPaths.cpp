#include "common/IniPaths.h"

#include "platform/Paths.h"

std::string SettingsIniPath() { return platform::InWorkDir("INI/zbr.ini"); }
std::string PhoneIniPath() { return platform::InWorkDir("INI/fon_abonents.ini"); }
std::string EthernetIniPath() { return platform::InWorkDir("INI/ethr_abonents.ini"); }
std::string ObjectsIniPath() { return platform::InWorkDir("INI/objects.ini"); }
