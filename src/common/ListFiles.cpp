#include "common/ListFiles.h"

#include "common/Suplfunc.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

ObjectListRecord ObjectList{};

namespace {

constexpr const char* kFonHead = "FON_CONN_PAR";
constexpr const char* kEthrHead = "ETHERNET_CONN_PAR";
constexpr const char* kObjHead = "OBJECT_LIST";

std::string SlotSection(const char* prefix, int slot) { return prefix + std::to_string(slot + 1); }

uint8_t Low8(int32_t v) { return static_cast<uint8_t>(static_cast<uint32_t>(v) & 0xFFu); }

// A count from a file, within 0..limit; `stated` gets the count the file
// gives (0 for a negative one).
uint8_t ReadCount(const platform::IniFile& ini, const char* sec, const char* key, int limit, int& stated) {
    int32_t v = ini.ReadInteger(sec, key, 0);
    stated = v < 0 ? 0 : v;
    return static_cast<uint8_t>(v < 0 ? 0 : (v > limit ? limit : v));
}

// An index from a file: one that does not point into the list selects the first entry.
uint8_t ReadIndex(const platform::IniFile& ini, const char* sec, const char* key, int count) {
    int32_t v = ini.ReadInteger(sec, key, 0);
    return static_cast<uint8_t>(v < 0 || v >= count ? 0 : v);
}

int Clamp(int n, int limit) { return n < limit ? n : limit; }

bool Store(platform::IniFile& ini, std::string* error) {
    if (ini.UpdateFile()) return true;
    if (error) *error = ini.Error();
    return false;
}

// Puts each entry where a stable sort by `less` puts it and moves the
// selection with the selected entry.
template <class Entry, class Less>
void SortEntries(Entry* entries, int n, uint8_t& index, Less less) {
    if (n <= 1) return;
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return less(entries[a], entries[b]); });
    std::vector<Entry> old(entries, entries + n);
    int selected = index;
    for (int pos = 0; pos < n; ++pos) {
        entries[pos] = old[static_cast<std::size_t>(order[static_cast<std::size_t>(pos)])];
        if (order[static_cast<std::size_t>(pos)] == index) selected = pos;
    }
    index = static_cast<uint8_t>(selected);
}

}  // namespace

int CompareFieldsNoCase(const char* a, const char* b, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        uint8_t ca = UpperCp1251(static_cast<uint8_t>(a[i]));
        uint8_t cb = UpperCp1251(static_cast<uint8_t>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
    return 0;
}

// ---- readers ----

int ReadPhoneSubscribers(const std::string& path, PhoneSubscriberList& list) {
    int stated = 0;
    platform::IniFile ini(path);
    list.users_num = ReadCount(ini, kFonHead, "users_num", MaxSubscribers, stated);
    list.user_index = ReadIndex(ini, kFonHead, "user_index", list.users_num);
    list.sort_prz = Low8(ini.ReadInteger(kFonHead, "sort_prz", 0));
    for (int i = 0; i < MaxSubscribers; ++i) {
        std::string sec = SlotSection("FON_ABONENT_", i);
        PhoneSubscriber& u = list.users[i];
        BytesToField(u.user_name, sizeof u.user_name, ini.ReadRawString(sec, "user_name", ""));
        u.contr_adr = Low8(ini.ReadInteger(sec, "contr_adr", 1));
        u.adr_modbus = Low8(ini.ReadInteger(sec, "adr_modbus", 1));
        BytesToField(u.phone_code, sizeof u.phone_code, ini.ReadRawString(sec, "phone_code", ""));
    }
    return stated;
}

int ReadEthernetSubscribers(const std::string& path, EthernetSubscriberList& list) {
    int stated = 0;
    platform::IniFile ini(path);
    list.users_num = ReadCount(ini, kEthrHead, "users_num", MaxSubscribers, stated);
    list.user_index = ReadIndex(ini, kEthrHead, "user_index", list.users_num);
    list.sort_prz = Low8(ini.ReadInteger(kEthrHead, "sort_prz", 0));
    for (int i = 0; i < list.users_num; ++i) {
        std::string sec = SlotSection("ETHERNET_ABONENT_", i);
        EthernetSubscriber& u = list.users[i];
        BytesToField(u.user_name, sizeof u.user_name, ini.ReadRawString(sec, "user_name", ""));
        u.contr_adr = Low8(ini.ReadInteger(sec, "contr_adr", 1));
        u.ip_adr = static_cast<uint32_t>(ini.ReadInteger(sec, "ip_adr", 0));
        u.port = static_cast<uint32_t>(ini.ReadInteger(sec, "port", 0));
    }
    return stated;
}

int ReadObjectList(const std::string& path, ObjectListRecord& list) {
    int stated = 0;
    platform::IniFile ini(path);
    std::memset(&list, 0, sizeof list);
    list.obj_num = ReadCount(ini, kObjHead, "obj_num", MaxObjects, stated);
    list.sort_prz = Low8(ini.ReadInteger(kObjHead, "sort_prz", 0));
    list.obj_index = ReadIndex(ini, kObjHead, "obj_index", list.obj_num);
    for (int i = 0; i < list.obj_num; ++i) {
        std::string sec = SlotSection("OBJECT_", i);
        ObjectRecord& o = list.objs[i];
        o.contr_adr = Low8(ini.ReadInteger(sec, "contr_adr", 1));
        BytesToField(o.obj_name, sizeof o.obj_name, ini.ReadRawString(sec, "obj_name", ""));
    }
    return stated;
}

int ReadPhoneSubscribers(const std::string& path) { return ReadPhoneSubscribers(path, ProgramSettings.Fon.Users); }
int ReadEthernetSubscribers(const std::string& path) {
    return ReadEthernetSubscribers(path, ProgramSettings.Ethr.Users);
}
int ReadObjectList(const std::string& path) { return ReadObjectList(path, ObjectList); }

std::pair<std::string, std::string> ListCutNote(const std::string& path, int stated, int limit) {
    if (stated <= limit) return {};
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return {"У файлі " + name + " більше записів, ніж можна зберегти:",
            "завантажено перші " + std::to_string(limit) + "."};
}

// ---- writers ----

bool WritePhoneSubscribers(const std::string& path, const PhoneSubscriberList& list, PhoneSubscriberList& shadow,
                           std::string* error) {
    if (std::memcmp(&list, &shadow, sizeof list) == 0) return true;
    platform::IniFile ini(path);
    ini.WriteInteger(kFonHead, "users_num", list.users_num);
    ini.WriteInteger(kFonHead, "user_index", list.user_index);
    ini.WriteInteger(kFonHead, "sort_prz", list.sort_prz);
    for (int i = 0; i < MaxSubscribers; ++i) {
        std::string sec = SlotSection("FON_ABONENT_", i);
        const PhoneSubscriber& u = list.users[i];
        ini.WriteRawString(sec, "user_name", FieldBytes(u.user_name, sizeof u.user_name));
        ini.WriteInteger(sec, "contr_adr", u.contr_adr);
        ini.WriteInteger(sec, "adr_modbus", u.adr_modbus);
        ini.WriteRawString(sec, "phone_code", FieldBytes(u.phone_code, sizeof u.phone_code));
    }
    if (!Store(ini, error)) return false;
    std::memcpy(&shadow, &list, sizeof list);
    return true;
}

bool WriteEthernetSubscribers(const std::string& path, const EthernetSubscriberList& list,
                              EthernetSubscriberList& shadow, std::string* error) {
    if (std::memcmp(&list, &shadow, sizeof list) == 0) return true;
    platform::IniFile ini(path);
    ini.WriteInteger(kEthrHead, "users_num", list.users_num);
    ini.WriteInteger(kEthrHead, "user_index", list.user_index);
    ini.WriteInteger(kEthrHead, "sort_prz", list.sort_prz);
    int n = Clamp(list.users_num, MaxSubscribers);
    for (int i = 0; i < n; ++i) {
        std::string sec = SlotSection("ETHERNET_ABONENT_", i);
        const EthernetSubscriber& u = list.users[i];
        ini.WriteRawString(sec, "user_name", FieldBytes(u.user_name, sizeof u.user_name));
        ini.WriteInteger(sec, "contr_adr", u.contr_adr);
        ini.WriteInteger(sec, "ip_adr", static_cast<int32_t>(u.ip_adr));
        ini.WriteInteger(sec, "port", static_cast<int32_t>(u.port));
    }
    if (!Store(ini, error)) return false;
    std::memcpy(&shadow, &list, sizeof list);
    return true;
}

bool WritePhoneSubscribers(const std::string& path, std::string* error) {
    return WritePhoneSubscribers(path, ProgramSettings.Fon.Users, SettingsShadow.Fon.Users, error);
}

bool WriteEthernetSubscribers(const std::string& path, std::string* error) {
    return WriteEthernetSubscribers(path, ProgramSettings.Ethr.Users, SettingsShadow.Ethr.Users, error);
}

bool WriteChangedSubscriberLists(const std::string& phonePath, const std::string& ethernetPath, std::string* error) {
    bool phoneOk = WritePhoneSubscribers(phonePath, error);
    std::string ethrError;
    bool ethrOk = WriteEthernetSubscribers(ethernetPath, &ethrError);
    if (!ethrOk && phoneOk && error) *error = ethrError;
    return phoneOk && ethrOk;
}

bool WriteObjectList(const std::string& path, const ObjectListRecord& list, std::string* error) {
    platform::IniFile ini(path);
    ini.WriteInteger(kObjHead, "obj_num", list.obj_num);
    ini.WriteInteger(kObjHead, "sort_prz", list.sort_prz);
    ini.WriteInteger(kObjHead, "obj_index", list.obj_index);
    int n = Clamp(list.obj_num, MaxObjects);
    for (int i = 0; i < n; ++i) {
        std::string sec = SlotSection("OBJECT_", i);
        const ObjectRecord& o = list.objs[i];
        ini.WriteInteger(sec, "contr_adr", o.contr_adr);
        ini.WriteRawString(sec, "obj_name", FieldBytes(o.obj_name, sizeof o.obj_name));
    }
    return Store(ini, error);
}

bool WriteObjectList(const std::string& path, std::string* error) { return WriteObjectList(path, ObjectList, error); }

// ---- sorts ----

void SortPhoneSubscribers(PhoneSubscriberList& list) {
    int n = Clamp(list.users_num, MaxSubscribers);
    if (list.sort_prz == 0)
        SortEntries(list.users, n, list.user_index, [](const PhoneSubscriber& a, const PhoneSubscriber& b) {
            return CompareFieldsNoCase(a.user_name, b.user_name, sizeof a.user_name) < 0;
        });
    else if (list.sort_prz == 1)
        SortEntries(list.users, n, list.user_index, [](const PhoneSubscriber& a, const PhoneSubscriber& b) {
            return CompareFieldsNoCase(a.phone_code, b.phone_code, sizeof a.phone_code) < 0;
        });
}

void SortEthernetSubscribers(EthernetSubscriberList& list) {
    int n = Clamp(list.users_num, MaxSubscribers);
    if (list.sort_prz == 0)
        SortEntries(list.users, n, list.user_index, [](const EthernetSubscriber& a, const EthernetSubscriber& b) {
            return CompareFieldsNoCase(a.user_name, b.user_name, sizeof a.user_name) < 0;
        });
    else if (list.sort_prz == 1)
        SortEntries(list.users, n, list.user_index, [](const EthernetSubscriber& a, const EthernetSubscriber& b) {
            return a.ip_adr < b.ip_adr;
        });
}

void SortObjectList(ObjectListRecord& list) {
    int n = Clamp(list.obj_num, MaxObjects);
    if (list.sort_prz == 0)
        SortEntries(list.objs, n, list.obj_index, [](const ObjectRecord& a, const ObjectRecord& b) {
            return CompareFieldsNoCase(a.obj_name, b.obj_name, sizeof a.obj_name) < 0;
        });
    else if (list.sort_prz == 1)
        SortEntries(list.objs, n, list.obj_index,
                    [](const ObjectRecord& a, const ObjectRecord& b) { return a.contr_adr < b.contr_adr; });
}
