// The settings file and the three list files, from any bytes: the readers
// give defaults or clamped values, every text field keeps its terminator,
// counts and indexes stay within their arrays, and the ini class reads keys
// of any shape without harm.
#include <cstring>
#include <memory>

#include "common/ListFiles.h"
#include "common/Rd_wr_ini.h"
#include "fuzz/FuzzSupport.h"
#include "platform/IniFile.h"

using namespace zbr_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = InputFile(data, size, "INI/fuzz.ini");

    {
        platform::IniFile ini(path);
        for (const char* section : {"Settings", "Link_0", "Abonent_1", "", "Fon"})
            for (const char* key : {"Port", "Adr", "Name", "", "TimeOut"}) {
                (void)ini.ReadInteger(section, key, 7);
                (void)ini.ReadString(section, key, "x");
                (void)ini.ReadBool(section, key, true);
            }
    }

    auto settings = std::make_unique<ProgramSettingsRecord>();
    std::memset(static_cast<void*>(settings.get()), 0xAB, sizeof *settings);
    ReadProgramIni(path, *settings, 1280, 1024);
    Check(Terminated(settings->Fon.Command, sizeof settings->Fon.Command), "modem command unterminated");

    auto phones = std::make_unique<PhoneSubscriberList>();
    std::memset(static_cast<void*>(phones.get()), 0xAB, sizeof *phones);
    ReadPhoneSubscribers(path, *phones);
    Check(phones->users_num <= MaxSubscribers, "phone count beyond the list");
    for (int i = 0; i < phones->users_num; ++i) {
        Check(Terminated(phones->users[i].user_name, sizeof phones->users[i].user_name), "phone name unterminated");
        Check(Terminated(phones->users[i].phone_code, sizeof phones->users[i].phone_code), "phone number unterminated");
    }

    auto eth = std::make_unique<EthernetSubscriberList>();
    std::memset(static_cast<void*>(eth.get()), 0xAB, sizeof *eth);
    ReadEthernetSubscribers(path, *eth);
    Check(eth->users_num <= MaxSubscribers, "Ethernet count beyond the list");
    for (int i = 0; i < eth->users_num; ++i)
        Check(Terminated(eth->users[i].user_name, sizeof eth->users[i].user_name), "Ethernet name unterminated");

    auto objects = std::make_unique<ObjectListRecord>();
    std::memset(static_cast<void*>(objects.get()), 0xAB, sizeof *objects);
    ReadObjectList(path, *objects);
    Check(objects->obj_num <= MaxObjects, "object count beyond the list");
    for (int i = 0; i < objects->obj_num; ++i)
        Check(Terminated(objects->objs[i].obj_name, sizeof objects->objs[i].obj_name), "object name unterminated");
    return 0;
}
