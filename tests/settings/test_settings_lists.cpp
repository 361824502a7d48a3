// The subscriber and object list files: hand-made files in the stored layout, round
// trips, bounds on reading, the writers' skip logic, failures and the sorts.
#include "common/ListFiles.h"
#include "platform/IniFile.h"
#include "settings/TempFolder.h"

#include <cstring>
#include <map>
#include <memory>

using namespace settings_test;

namespace {

// Lists are large; tests keep them on the heap, zero-filled.
template <class T>
std::unique_ptr<T> Fresh() {
    auto p = std::make_unique<T>();
    std::memset(p.get(), 0, sizeof(T));
    return p;
}

constexpr uint32_t Ip(uint32_t a, uint32_t b, uint32_t c, uint32_t d) { return a << 24 | b << 16 | c << 8 | d; }

}  // namespace

TEST(ListFiles, FilesOfTheWindowsProgramLoad) {
    std::string dir = MakeTempFolder();
    // Windows-1251, CRLF: "ГРС Київ", "Іванків", "Єлизаветівка".
    WriteBytes(dir + "/fon_abonents.ini",
               "[FON_CONN_PAR]\r\nusers_num=2\r\nuser_index=1\r\nsort_prz=1\r\n"
               "[FON_ABONENT_1]\r\nuser_name=\xc3\xd0\xd1 \xca\xe8\xbf\xe2\r\ncontr_adr=5\r\nadr_modbus=3\r\n"
               "phone_code=8-044-123-45-67\r\n"
               "[FON_ABONENT_2]\r\nuser_name=\xb2\xe2\xe0\xed\xea\xb3\xe2\r\ncontr_adr=261\r\nadr_modbus=1\r\n"
               "phone_code=0971112233\r\n");
    WriteBytes(dir + "/ethr_abonents.ini",
               "[ETHERNET_CONN_PAR]\r\nusers_num=2\r\nuser_index=0\r\nsort_prz=1\r\n"
               "[ETHERNET_ABONENT_1]\r\nuser_name=\xaa\xeb\xe8\xe7\xe0\xe2\xe5\xf2\xb3\xe2\xea\xe0\r\ncontr_adr=3\r\n"
               "ip_adr=-939458045\r\nport=502\r\n"
               "[ETHERNET_ABONENT_2]\r\nuser_name=Test\r\ncontr_adr=4\r\nip_adr=167772161\r\nport=4001\r\n");
    WriteBytes(dir + "/objects.ini",
               "[OBJECT_LIST]\r\nobj_num=1\r\nsort_prz=0\r\nobj_index=0\r\n"
               "[OBJECT_1]\r\ncontr_adr=12\r\nobj_name=\xc3\xc2\xd1 \xb9 2\r\n");

    auto fon = Fresh<PhoneSubscriberList>();
    ReadPhoneSubscribers(dir + "/fon_abonents.ini", *fon);
    EXPECT_EQ(fon->users_num, 2); EXPECT_EQ(fon->user_index, 1); EXPECT_EQ(fon->sort_prz, 1);
    EXPECT_EQ(fon->users[0].Name(), "ГРС Київ");
    EXPECT_EQ(fon->users[0].contr_adr, 5); EXPECT_EQ(fon->users[0].adr_modbus, 3);
    EXPECT_EQ(fon->users[0].Phone(), "8-044-123-45-67");
    EXPECT_EQ(fon->users[1].Name(), "Іванків");
    EXPECT_EQ(fon->users[1].contr_adr, 5);  // low 8 bits of 261
    for (int i = 2; i < MaxSubscribers; ++i) {  // every slot is read: the missing ones take the defaults
        EXPECT_EQ(fon->users[i].Name(), "");
        EXPECT_EQ(fon->users[i].contr_adr, 1);
        EXPECT_EQ(fon->users[i].adr_modbus, 1);
    }

    auto eth = Fresh<EthernetSubscriberList>();
    ReadEthernetSubscribers(dir + "/ethr_abonents.ini", *eth);
    EXPECT_EQ(eth->users_num, 2);
    EXPECT_EQ(eth->users[0].Name(), "Єлизаветівка");
    EXPECT_EQ(+eth->users[0].ip_adr, Ip(200, 1, 2, 3));  // negative in the file, the same 32 bits
    EXPECT_EQ(IpToText(eth->users[0].ip_adr), "200.1.2.3");
    EXPECT_EQ(+eth->users[0].port, 502u);
    EXPECT_EQ(IpToText(eth->users[1].ip_adr), "10.0.0.1");

    auto obj = Fresh<ObjectListRecord>();
    ReadObjectList(dir + "/objects.ini", *obj);
    EXPECT_EQ(obj->obj_num, 1);
    EXPECT_EQ(obj->objs[0].Name(), "ГВС № 2");
    EXPECT_EQ(obj->objs[0].contr_adr, 12);

    // No files: empty lists.
    ReadEthernetSubscribers(dir + "/none.ini", *eth);
    ReadObjectList(dir + "/none.ini", *obj);
    EXPECT_EQ(eth->users_num, 0);
    EXPECT_EQ(obj->obj_num, 0);
}

TEST(ListFiles, RoundTripOfEveryRecord) {
    std::string dir = MakeTempFolder();
    auto fon = Fresh<PhoneSubscriberList>(), fonShadow = Fresh<PhoneSubscriberList>();
    auto eth = Fresh<EthernetSubscriberList>(), ethShadow = Fresh<EthernetSubscriberList>();
    auto obj = Fresh<ObjectListRecord>();
    fon->users_num = 200; fon->user_index = 199; fon->sort_prz = 1;
    eth->users_num = 200; eth->user_index = 17; eth->sort_prz = 0;
    obj->obj_num = 50; obj->sort_prz = 1; obj->obj_index = 49;
    for (int i = 0; i < MaxSubscribers; ++i) {
        fon->users[i].SetName("Абонент ґ" + std::to_string(i) + " \"в лапках\"");
        fon->users[i].contr_adr = static_cast<uint8_t>(255 - i);
        fon->users[i].adr_modbus = static_cast<uint8_t>(i);
        fon->users[i].SetPhone("+380 44 " + std::to_string(1000000 + i));
        eth->users[i].SetName(" ГРС-" + std::to_string(i));  // a leading blank survives
        eth->users[i].contr_adr = static_cast<uint8_t>(i + 1);
        eth->users[i].ip_adr = Ip(static_cast<uint32_t>(i + 50), 168, 0, static_cast<uint32_t>(i));
        eth->users[i].port = 0xFFFF0000u + static_cast<uint32_t>(i);
    }
    for (int i = 0; i < MaxObjects; ++i) {
        obj->objs[i].SetName("Об'єкт Ї-" + std::to_string(i));
        obj->objs[i].contr_adr = static_cast<uint8_t>(i * 5);
    }
    std::string err;
    ASSERT_TRUE(WritePhoneSubscribers(dir + "/fon_abonents.ini", *fon, *fonShadow, &err)) << err;
    ASSERT_TRUE(WriteEthernetSubscribers(dir + "/ethr_abonents.ini", *eth, *ethShadow, &err)) << err;
    ASSERT_TRUE(WriteObjectList(dir + "/objects.ini", *obj, &err)) << err;
    EXPECT_EQ(std::memcmp(fon.get(), fonShadow.get(), sizeof *fon), 0);

    auto fon2 = Fresh<PhoneSubscriberList>();
    auto eth2 = Fresh<EthernetSubscriberList>();
    auto obj2 = Fresh<ObjectListRecord>();
    ReadPhoneSubscribers(dir + "/fon_abonents.ini", *fon2);
    ReadEthernetSubscribers(dir + "/ethr_abonents.ini", *eth2);
    ReadObjectList(dir + "/objects.ini", *obj2);
    EXPECT_EQ(std::memcmp(fon.get(), fon2.get(), sizeof *fon), 0);
    EXPECT_EQ(std::memcmp(eth.get(), eth2.get(), sizeof *eth), 0);
    EXPECT_EQ(std::memcmp(obj.get(), obj2.get(), sizeof *obj), 0);
    EXPECT_EQ(eth2->users[0].Name(), " ГРС-0");
    EXPECT_EQ(platform::IniFile(dir + "/ethr_abonents.ini").ReadInteger("ETHERNET_ABONENT_200", "port", 0), -65337);

    // The phone file always holds 200 slot sections, even for an empty list.
    auto empty = Fresh<PhoneSubscriberList>();
    fonShadow->users_num = 7;  // differs, so the write happens
    ASSERT_TRUE(WritePhoneSubscribers(dir + "/fon2.ini", *empty, *fonShadow));
    EXPECT_EQ(platform::IniFile(dir + "/fon2.ini").ReadSections().size(), 201u);
}

TEST(ListFiles, HandEditedBoundsAreMendedOnReading) {
    std::string dir = MakeTempFolder();
    std::string longName(70, 'N'), longPhone(40, '7');
    std::string eth = "[ETHERNET_CONN_PAR]\r\nusers_num=250\r\nuser_index=220\r\n";
    for (int i = 1; i <= 260; ++i)
        eth += "[ETHERNET_ABONENT_" + std::to_string(i) + "]\r\nuser_name=" + longName + "\r\nport=" +
               std::to_string(i) + "\r\n";
    WriteBytes(dir + "/ethr_abonents.ini", eth);
    WriteBytes(dir + "/fon_abonents.ini", "[FON_CONN_PAR]\r\nusers_num=-4\r\nuser_index=3\r\n[FON_ABONENT_1]\r\n"
                                          "user_name=" + longName + "\r\nphone_code=" + longPhone + "\r\n");
    WriteBytes(dir + "/objects.ini", "[OBJECT_LIST]\r\nobj_num=99\r\nobj_index=50\r\n[OBJECT_50]\r\nobj_name=" +
                                         longName + "\r\n");

    // Guard bytes after each record: nothing may be written past it.
    struct {
        EthernetSubscriberList list;
        unsigned char guard[64];
    } e;
    std::memset(&e, 0xA5, sizeof e);
    // The reader says how many the file holds, so the operator can be told.
    EXPECT_EQ(ReadEthernetSubscribers(dir + "/ethr_abonents.ini", e.list), 250);
    EXPECT_EQ(ListCutNote(dir + "/ethr_abonents.ini", 250, MaxSubscribers),
              std::make_pair(std::string("У файлі ethr_abonents.ini більше 200 записів:"),
                             std::string("показано перші 200, решта залишається у файлі.")));
    EXPECT_EQ(ListCutNote(dir + "/ethr_abonents.ini", 200, MaxSubscribers).first, "");
    EXPECT_EQ(e.list.users_num, 200);
    EXPECT_EQ(e.list.user_index, 0);  // an index beyond the count selects the first entry
    EXPECT_EQ(+e.list.users[199].port, 200u);
    EXPECT_EQ(e.list.users[199].Name(), longName.substr(0, 49));
    EXPECT_EQ(e.list.users[199].user_name[49], '\0');
    for (unsigned char g : e.guard) ASSERT_EQ(g, 0xA5);

    auto fon = Fresh<PhoneSubscriberList>();
    EXPECT_EQ(ReadPhoneSubscribers(dir + "/fon_abonents.ini", *fon), 0);
    EXPECT_EQ(fon->users_num, 0);
    EXPECT_EQ(fon->user_index, 0);
    EXPECT_EQ(fon->users[0].Name(), longName.substr(0, 49));
    EXPECT_EQ(fon->users[0].Phone(), longPhone.substr(0, 29));
    EXPECT_EQ(fon->users[0].phone_code[29], '\0');

    struct {
        ObjectListRecord list;
        unsigned char guard[64];
    } o;
    std::memset(&o, 0xA5, sizeof o);
    EXPECT_EQ(ReadObjectList(dir + "/objects.ini", o.list), 99);
    EXPECT_EQ(o.list.obj_num, 50);
    EXPECT_EQ(o.list.obj_index, 0);
    EXPECT_EQ(o.list.objs[49].Name(), longName.substr(0, 49));
    for (unsigned char g : o.guard) ASSERT_EQ(g, 0xA5);
}

// Entry names of the hand-made files below: a letter and a three-digit number.
static std::string Numbered(const char* letter, int i) {
    std::string digits = std::to_string(i);
    return letter + std::string(3 - digits.size(), '0') + digits;
}

// How often each section named `prefix` and a number stands in the text of
// a file, read straight from its lines (not through the ini class), keyed
// by that number; -1 counts the numbers written with a leading zero or too
// long to be one.
static std::map<long, int> NumberedSectionsInText(const std::string& text, const std::string& prefix) {
    std::map<long, int> counts;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() < 2 || line.front() != '[' || line.back() != ']') continue;
        const std::string name = line.substr(1, line.size() - 2);
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) continue;
        ++counts[digits[0] != '0' && digits.size() < 10 ? std::stol(digits) : -1];
    }
    return counts;
}

// The numbered sections of the file at `path` are exactly 1..n, each once.
static void ExpectEntrySections(const std::string& path, const std::string& prefix, long n) {
    const std::map<long, int> counts = NumberedSectionsInText(ReadBytes(path), prefix);
    EXPECT_EQ(counts.size(), static_cast<std::size_t>(n)) << path;
    for (long k = 1; k <= n; ++k) EXPECT_EQ(counts.count(k) ? counts.at(k) : 0, 1) << path << " " << prefix << k;
    for (const auto& [number, times] : counts)
        EXPECT_TRUE(number >= 1 && number <= n) << path << ": a section " << prefix << number << " past the count";
}

TEST(ListFiles, ListCutAtLoadKeepsTheRestOfItsFileOnSave) {
    // More entries in a file than its list keeps: the start-up read loads the
    // first 200 (objects: 50). A save after a deletion keeps the others right
    // after the list, so the next start loads the first of them in the freed
    // place and nothing of the file is lost.
    std::string dir = MakeTempFolder();
    const std::string fpath = dir + "/fon_abonents.ini", epath = dir + "/ethr_abonents.ini",
                      opath = dir + "/objects.ini";
    std::string fon = "[FON_CONN_PAR]\r\nusers_num=250\r\nuser_index=0\r\nsort_prz=0\r\n";
    // A comment and a key of someone else's in the Ethernet file stay where they are.
    const std::string comment = "; list of the Ethernet controllers\r\n";
    std::string eth = comment + "[ETHERNET_CONN_PAR]\r\nusers_num=250\r\nuser_index=0\r\nsort_prz=0\r\n";
    for (int i = 1; i <= 250; ++i) {
        const std::string n = std::to_string(i);
        fon += "[FON_ABONENT_" + n + "]\r\nuser_name=" + Numbered("P", i) + "\r\ncontr_adr=" + std::to_string(i % 256) +
               "\r\nadr_modbus=1\r\nphone_code=" + n + "\r\n";
        eth += "[ETHERNET_ABONENT_" + n + "]\r\nuser_name=" + Numbered("E", i) + "\r\ncontr_adr=3\r\nip_adr=" + n +
               "\r\n" + (i == 230 ? "" : "port=" + n + "\r\n");  // E230 has no port: it reads as 0
        if (i == 3) eth += "note=own key\r\n";
    }
    std::string obj = "[OBJECT_LIST]\r\nobj_num=60\r\nsort_prz=0\r\nobj_index=0\r\n";
    for (int i = 1; i <= 60; ++i)
        obj += "[OBJECT_" + std::to_string(i) + "]\r\ncontr_adr=" + std::to_string(i) + "\r\nobj_name=" +
               Numbered("O", i) + "\r\n";
    WriteBytes(fpath, fon);
    WriteBytes(epath, eth);
    WriteBytes(opath, obj);

    // Start-up.
    std::memset(&ProgramSettings, 0, sizeof ProgramSettings);
    EXPECT_EQ(ReadPhoneSubscribers(fpath), 250);
    SortPhoneSubscribers(ProgramSettings.Fon.Users);
    EXPECT_EQ(ReadEthernetSubscribers(epath), 250);
    SortEthernetSubscribers(ProgramSettings.Ethr.Users);
    std::memcpy(&SettingsShadow, &ProgramSettings, sizeof ProgramSettings);
    EXPECT_EQ(ReadObjectList(opath), 60);
    SortObjectList(ObjectList);

    // Unchanged lists are not written.
    ASSERT_TRUE(WritePhoneSubscribers(fpath));
    ASSERT_TRUE(WriteEthernetSubscribers(epath));
    EXPECT_EQ(ReadBytes(fpath), fon);
    EXPECT_EQ(ReadBytes(epath), eth);

    // One entry deleted from each list, as the list windows delete.
    PhoneSubscriberList& pl = ProgramSettings.Fon.Users;
    EthernetSubscriberList& el = ProgramSettings.Ethr.Users;
    ASSERT_EQ(pl.users_num, 200);
    ASSERT_EQ(el.users_num, 200);
    ASSERT_EQ(ObjectList.obj_num, 50);
    std::memmove(&pl.users[0], &pl.users[1], sizeof pl.users[0] * 199);  // P001
    std::memset(&pl.users[199], 0, sizeof pl.users[199]);
    pl.users_num = 199;
    std::memmove(&el.users[4], &el.users[5], sizeof el.users[0] * 195);  // E005
    std::memset(&el.users[199], 0, sizeof el.users[199]);
    el.users_num = 199;
    std::memmove(&ObjectList.objs[9], &ObjectList.objs[10], sizeof ObjectList.objs[0] * 40);  // O010
    std::memset(&ObjectList.objs[49], 0, sizeof ObjectList.objs[49]);
    ObjectList.obj_num = 49;
    std::string err;
    ASSERT_TRUE(WritePhoneSubscribers(fpath, &err)) << err;
    ASSERT_TRUE(WriteEthernetSubscribers(epath, &err)) << err;
    ASSERT_TRUE(WriteObjectList(opath, &err)) << err;

    // The files hold every entry but the deleted ones, in their order, and
    // the next start loads the first 200 (50) of them.
    platform::IniFile f(fpath), e(epath), o(opath);
    EXPECT_EQ(f.ReadInteger("FON_CONN_PAR", "users_num", 0), 249);
    EXPECT_EQ(e.ReadInteger("ETHERNET_CONN_PAR", "users_num", 0), 249);
    EXPECT_EQ(o.ReadInteger("OBJECT_LIST", "obj_num", 0), 59);
    for (int k = 1; k <= 249; ++k) {
        const std::string fs = "FON_ABONENT_" + std::to_string(k), es = "ETHERNET_ABONENT_" + std::to_string(k);
        EXPECT_EQ(f.ReadRawString(fs, "user_name", ""), Numbered("P", k + 1)) << k;
        EXPECT_EQ(f.ReadInteger(fs, "contr_adr", 0), (k + 1) % 256) << k;
        EXPECT_EQ(f.ReadRawString(fs, "phone_code", ""), std::to_string(k + 1)) << k;
        const int was = k < 5 ? k : k + 1;
        EXPECT_EQ(e.ReadRawString(es, "user_name", ""), Numbered("E", was)) << k;
        EXPECT_EQ(e.ReadInteger(es, "ip_adr", 0), was) << k;
        if (was != 230) {
            EXPECT_EQ(e.ReadInteger(es, "port", 0), was) << k;
        }
    }
    EXPECT_FALSE(e.ValueExists("ETHERNET_ABONENT_229", "port"));  // E230 moved there, still without a port
    // Nothing past the count stays behind: the file holds exactly its
    // entries, each once.
    ExpectEntrySections(fpath, "FON_ABONENT_", 249);
    ExpectEntrySections(epath, "ETHERNET_ABONENT_", 249);
    ExpectEntrySections(opath, "OBJECT_", 59);
    EXPECT_EQ(ReadBytes(epath).substr(0, comment.size()), comment);
    EXPECT_EQ(e.ReadRawString("ETHERNET_ABONENT_3", "note", ""), "own key");
    for (int k = 1; k <= 59; ++k) {
        const int was = k < 10 ? k : k + 1;
        EXPECT_EQ(o.ReadRawString("OBJECT_" + std::to_string(k), "obj_name", ""), Numbered("O", was)) << k;
        EXPECT_EQ(o.ReadInteger("OBJECT_" + std::to_string(k), "contr_adr", 0), was) << k;
    }
    auto fon2 = Fresh<PhoneSubscriberList>();
    auto eth2 = Fresh<EthernetSubscriberList>();
    auto obj2 = Fresh<ObjectListRecord>();
    EXPECT_EQ(ReadPhoneSubscribers(fpath, *fon2), 249);
    EXPECT_EQ(ReadEthernetSubscribers(epath, *eth2), 249);
    EXPECT_EQ(ReadObjectList(opath, *obj2), 59);
    EXPECT_EQ(fon2->users[199].Name(), "P201");
    EXPECT_EQ(eth2->users[199].Name(), "E201");
    EXPECT_EQ(obj2->objs[49].Name(), "O051");

    // A second deletion moves them on again; an entry added in the freed
    // place goes before them.
    std::memmove(&el.users[0], &el.users[1], sizeof el.users[0] * 198);  // E001
    std::memset(&el.users[198], 0, sizeof el.users[198]);
    el.users_num = 198;
    ASSERT_TRUE(WriteEthernetSubscribers(epath, &err)) << err;
    EXPECT_EQ(platform::IniFile(epath).ReadInteger("ETHERNET_CONN_PAR", "users_num", 0), 248);
    EXPECT_EQ(platform::IniFile(epath).ReadRawString("ETHERNET_ABONENT_248", "user_name", ""), "E250");
    ExpectEntrySections(epath, "ETHERNET_ABONENT_", 248);
    el.users[198].SetName("Новий");
    el.users_num = 199;
    ASSERT_TRUE(WriteEthernetSubscribers(epath, &err)) << err;
    platform::IniFile e3(epath);
    EXPECT_EQ(e3.ReadInteger("ETHERNET_CONN_PAR", "users_num", 0), 249);
    EXPECT_EQ(e3.ReadString("ETHERNET_ABONENT_199", "user_name", ""), "Новий");
    EXPECT_EQ(e3.ReadRawString("ETHERNET_ABONENT_200", "user_name", ""), "E201");
    EXPECT_EQ(e3.ReadRawString("ETHERNET_ABONENT_249", "user_name", ""), "E250");
    ExpectEntrySections(epath, "ETHERNET_ABONENT_", 249);

    // Deletions that bring the whole file within the list's limit, first
    // from past it, then from within it: the kept entries still close it.
    ObjectList.obj_num = 39;  // O041..O050 gone
    std::memset(&ObjectList.objs[39], 0, sizeof ObjectList.objs[0] * 11);
    ASSERT_TRUE(WriteObjectList(opath, &err)) << err;
    EXPECT_EQ(platform::IniFile(opath).ReadInteger("OBJECT_LIST", "obj_num", 0), 49);
    ExpectEntrySections(opath, "OBJECT_", 49);
    ObjectList.obj_num = 38;  // O040
    std::memset(&ObjectList.objs[38], 0, sizeof ObjectList.objs[0]);
    ASSERT_TRUE(WriteObjectList(opath, &err)) << err;
    platform::IniFile o3(opath);
    EXPECT_EQ(o3.ReadInteger("OBJECT_LIST", "obj_num", 0), 48);
    EXPECT_EQ(o3.ReadRawString("OBJECT_39", "obj_name", ""), "O051");
    EXPECT_EQ(o3.ReadRawString("OBJECT_48", "obj_name", ""), "O060");
    ExpectEntrySections(opath, "OBJECT_", 48);
}

TEST(ListFiles, WritersSkipUnchangedListsAndReportFailures) {
    std::string dir = MakeTempFolder();
    std::string path = dir + "/fon_abonents.ini";
    auto fon = Fresh<PhoneSubscriberList>(), shadow = Fresh<PhoneSubscriberList>();

    fon->users_num = 1;
    fon->users[0].SetName("Б");
    ASSERT_TRUE(WritePhoneSubscribers(path, *fon, *shadow));
    std::filesystem::remove(path);
    ASSERT_TRUE(WritePhoneSubscribers(path, *fon, *shadow));  // unchanged: not written
    EXPECT_FALSE(Exists(path));
    fon->users[0].contr_adr = 9;
    ASSERT_TRUE(WritePhoneSubscribers(path, *fon, *shadow));
    std::filesystem::remove(path);
    fon->users[0].contr_adr = 0;  // changed back: written again
    ASSERT_TRUE(WritePhoneSubscribers(path, *fon, *shadow));
    EXPECT_TRUE(Exists(path));

    // Deleting the last Ethernet subscriber leaves its section; the count says 0.
    std::string epath = dir + "/ethr_abonents.ini";
    auto eth = Fresh<EthernetSubscriberList>(), eshadow = Fresh<EthernetSubscriberList>();
    eth->users_num = 1;
    eth->users[0].SetName("Один");
    ASSERT_TRUE(WriteEthernetSubscribers(epath, *eth, *eshadow));
    eth->users_num = 0;
    std::memset(&eth->users[0], 0, sizeof eth->users[0]);
    ASSERT_TRUE(WriteEthernetSubscribers(epath, *eth, *eshadow));
    EXPECT_TRUE(platform::IniFile(epath).SectionExists("ETHERNET_ABONENT_1"));
    auto back = Fresh<EthernetSubscriberList>();
    ReadEthernetSubscribers(epath, *back);
    EXPECT_EQ(back->users_num, 0);
    EXPECT_EQ(back->users[0].Name(), "");

    // A failed write names the file and keeps the shadow, so it is tried again.
    std::string bad = dir + "/NO_FOLDER/fon_abonents.ini";
    fon->user_index = 0;
    fon->users_num = 2;
    std::string err;
    EXPECT_FALSE(WritePhoneSubscribers(bad, *fon, *shadow, &err));
    EXPECT_NE(err.find(bad), std::string::npos) << err;
    EXPECT_EQ(shadow->users_num, 1);
    err.clear();
    auto obj = Fresh<ObjectListRecord>();
    EXPECT_FALSE(WriteObjectList(dir + "/NO_FOLDER/objects.ini", *obj, &err));
    EXPECT_NE(err.find("objects.ini"), std::string::npos) << err;
}

TEST(ListFiles, ChosenSubscriberReachesItsFile) {
    // The connect step picks a subscriber and stores the settings: the
    // choice must survive into the list file, in whatever order the two
    // writers run.
    std::string dir = MakeTempFolder();
    std::memset(&ProgramSettings, 0, sizeof ProgramSettings);
    ProgramSettings.Conn_Prz = 2;
    ProgramSettings.Ethr.Users.users_num = 3;
    for (int i = 0; i < 3; ++i) ProgramSettings.Ethr.Users.users[i].SetName("Е" + std::to_string(i));
    std::memcpy(&SettingsShadow, &ProgramSettings, sizeof ProgramSettings);

    ProgramSettings.Ethr.Users.user_index = 2;
    ProgramSettings.Ethr.Link.Adr = 5;
    ASSERT_TRUE(WriteProgramIni(dir + "/zbr.ini"));
    std::string err;
    ASSERT_TRUE(WriteChangedSubscriberLists(dir + "/fon_abonents.ini", dir + "/ethr_abonents.ini", &err)) << err;
    EXPECT_FALSE(Exists(dir + "/fon_abonents.ini"));  // the phone list did not change
    EXPECT_EQ(platform::IniFile(dir + "/ethr_abonents.ini").ReadInteger("ETHERNET_CONN_PAR", "user_index", 0), 2);
    EXPECT_EQ(std::memcmp(&ProgramSettings, &SettingsShadow, sizeof ProgramSettings), 0);

    ProgramSettings.Fon.Users.users_num = 1;
    EXPECT_FALSE(WriteChangedSubscriberLists(dir + "/NO/fon.ini", dir + "/ethr_abonents.ini", &err));
    EXPECT_NE(err.find("/NO/fon.ini"), std::string::npos) << err;
}

TEST(ListSorts, CaseBlindCodePageOrderStableWithSelection) {
    auto fon = Fresh<PhoneSubscriberList>();
    const char* names[] = {"Ярова", "Ірпінь", "ївка", "Андріївка", "Єнакієве", "ґава", "Ромни", "ромни"};
    fon->users_num = 8;
    for (int i = 0; i < 8; ++i) {
        fon->users[i].SetName(names[i]);
        fon->users[i].SetPhone(std::to_string(9 - i));
    }
    fon->user_index = 7;  // the second of two equal names (case-blind)
    SortPhoneSubscribers(*fon);
    // By the upper-cased Windows-1251 bytes: Ґ A5, Є AA, Ї AF, І B2, А C0, Р D0, Я DF.
    const char* expected[] = {"ґава", "Єнакієве", "ївка", "Ірпінь", "Андріївка", "Ромни", "ромни", "Ярова"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(fon->users[i].Name(), expected[i]) << i;
    EXPECT_EQ(fon->user_index, 6);  // the selected entry itself, not its namesake
    SortPhoneSubscribers(*fon);     // sorting again changes nothing
    for (int i = 0; i < 8; ++i) EXPECT_EQ(fon->users[i].Name(), expected[i]) << i;

    fon->sort_prz = 1;  // by telephone number
    SortPhoneSubscribers(*fon);
    EXPECT_EQ(fon->users[0].Name(), "ромни");
    EXPECT_EQ(fon->users[0].Phone(), "2");
    EXPECT_EQ(fon->user_index, 0);

    fon->sort_prz = 5;  // unknown order: nothing moves
    fon->users[0].SetName("Я");
    SortPhoneSubscribers(*fon);
    EXPECT_EQ(fon->users[0].Name(), "Я");

    auto eth = Fresh<EthernetSubscriberList>();
    eth->users_num = 4;
    eth->sort_prz = 1;
    uint32_t ips[] = {Ip(200, 1, 2, 3), Ip(10, 0, 0, 0), Ip(100, 0, 0, 0), Ip(9, 255, 255, 255)};
    for (int i = 0; i < 4; ++i) eth->users[i].ip_adr = ips[i];
    eth->user_index = 0;
    SortEthernetSubscribers(*eth);
    EXPECT_EQ(IpToText(eth->users[0].ip_adr), "9.255.255.255");
    EXPECT_EQ(IpToText(eth->users[1].ip_adr), "10.0.0.0");
    EXPECT_EQ(IpToText(eth->users[2].ip_adr), "100.0.0.0");
    EXPECT_EQ(IpToText(eth->users[3].ip_adr), "200.1.2.3");
    EXPECT_EQ(eth->user_index, 3);

    auto obj = Fresh<ObjectListRecord>();
    obj->obj_num = 2;
    obj->objs[0].SetName("Б");
    obj->objs[0].contr_adr = 3;
    obj->objs[1].SetName("а");
    obj->objs[1].contr_adr = 7;
    SortObjectList(*obj);
    EXPECT_EQ(obj->objs[0].Name(), "а");
    EXPECT_EQ(obj->obj_index, 1);
    obj->sort_prz = 1;
    SortObjectList(*obj);
    EXPECT_EQ(obj->objs[0].contr_adr, 3);
    EXPECT_EQ(obj->obj_index, 0);

    // Empty and single-entry lists.
    auto none = Fresh<ObjectListRecord>();
    none->obj_index = 0;
    SortObjectList(*none);
    EXPECT_EQ(none->obj_index, 0);
    obj->obj_num = 1;
    SortObjectList(*obj);
    EXPECT_EQ(obj->objs[0].contr_adr, 3);
    EXPECT_EQ(obj->obj_index, 0);
}
