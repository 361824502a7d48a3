// Full names of the program's settings and list files, all in the INI
// folder of WorkDir. Built from WorkDir on every call, so a test that
// changes WorkDir gets its own files.
#pragma once
#include <string>

std::string SettingsIniPath();  // WorkDir/INI/zbr.ini
std::string PhoneIniPath();     // WorkDir/INI/fon_abonents.ini
std::string EthernetIniPath();  // WorkDir/INI/ethr_abonents.ini
std::string ObjectsIniPath();   // WorkDir/INI/objects.ini
