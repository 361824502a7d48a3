// Shared set-up of the dialog tests: a temporary WorkDir with its INI
// folder, the settings and lists of a fresh start, the headless driver, and
// helpers that fill the lists.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "common/IniPaths.h"
#include "common/ListFiles.h"
#include "common/Rd_wr_ini.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "support/TestFolders.h"
#include "ui/TestDriver.h"

namespace dlgtest {

inline std::filesystem::path MakeWorkDir() {
    auto dir = zbr_test::FreshWorkDir("dialogs");
    std::filesystem::create_directories(dir / "INI");
    return dir;
}

inline long IniInt(const std::string& path, const char* section, const char* key) {
    platform::IniFile ini(path);
    return ini.ReadInteger(section, key, -999);
}

inline void AddPhone(const std::string& name, uint8_t adr, const std::string& phone) {
    PhoneSubscriberList& l = ProgramSettings.Fon.Users;
    PhoneSubscriber& u = l.users[l.users_num++];
    u.SetName(name);
    u.contr_adr = adr;
    u.SetPhone(phone);
}

inline uint32_t Ip(int a, int b, int c, int d) { return uint32_t(a) << 24 | uint32_t(b) << 16 | uint32_t(c) << 8 | uint32_t(d); }

inline void AddEthernet(const std::string& name, uint8_t adr, uint32_t ip, uint32_t port) {
    EthernetSubscriberList& l = ProgramSettings.Ethr.Users;
    EthernetSubscriber& u = l.users[l.users_num++];
    u.SetName(name);
    u.contr_adr = adr;
    u.ip_adr = ip;
    u.port = port;
}

inline void AddObject(const std::string& name, uint8_t adr) {
    ObjectRecord& o = ObjectList.objs[ObjectList.obj_num++];
    o.SetName(name);
    o.contr_adr = adr;
}

template <class T> bool SameBytes(const T& a, const T& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A fresh start: defaults of a missing zbr.ini, empty lists, the shadow
// equal to the settings (so the files count as stored).
class Fixture : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeWorkDir();
        std::memset(&ProgramSettings, 0, sizeof ProgramSettings);
        ReadProgramIni(SettingsIniPath(), 1280, 1024);
        SettingsShadow = ProgramSettings;
        std::memset(&ObjectList, 0, sizeof ObjectList);
    }
    std::filesystem::path dir;
    ui::test::Driver drv;
};

}  // namespace dlgtest
