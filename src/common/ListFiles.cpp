#include "common/ListFiles.h"

#include "common/Suplfunc.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <optional>
#include <string_view>
#include <vector>

ObjectListRecord ObjectList{};
ListSurplus PhoneListSurplus, EthernetListSurplus, ObjectListSurplus;

namespace {

constexpr const char* kFonHead = "FON_CONN_PAR";
constexpr const char* kEthrHead = "ETHERNET_CONN_PAR";
constexpr const char* kObjHead = "OBJECT_LIST";
constexpr const char* kFonSlot = "FON_ABONENT_";
constexpr const char* kEthrSlot = "ETHERNET_ABONENT_";
constexpr const char* kObjSlot = "OBJECT_";

// The keys of an entry's section, in the order of the file's table.
constexpr const char* kFonKeys[] = {"user_name", "contr_adr", "adr_modbus", "phone_code"};
constexpr const char* kEthrKeys[] = {"user_name", "contr_adr", "ip_adr", "port"};
constexpr const char* kObjKeys[] = {"contr_adr", "obj_name"};

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

// The number of a section named `prefix` and a number as SlotSection writes
// it (decimal, no leading zero; the name in any case, as the file's lookups
// go), or 0 for any other section.
int64_t SlotNumberOf(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 10) return 0;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = name[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != prefix[i]) return 0;
    }
    if (name[prefix.size()] == '0') return 0;
    int64_t number = 0;
    for (char c : name.substr(prefix.size())) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    return number;
}

// The entries past `limit` of a file that gives `stated` entries (see
// ListSurplus). Bounded by the sections the file holds, whatever it states.
template <std::size_t N>
void ReadSurplus(const platform::IniFile& ini, const std::string& path, const char* prefix,
                 const char* const (&keys)[N], int limit, int stated, ListSurplus& out) {
    out.path = path;
    out.entries.clear();
    if (stated <= limit) return;
    std::vector<int64_t> numbers;
    for (const std::string& name : ini.ReadSections()) {
        const int64_t number = SlotNumberOf(name, prefix);
        if (number > limit && number <= stated) numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    out.entries.reserve(numbers.size());
    for (int64_t number : numbers) {
        const std::string sec = prefix + std::to_string(number);
        std::vector<std::optional<std::string>> entry;
        for (const char* key : keys)
            entry.push_back(ini.ValueExists(sec, key) ? std::optional(ini.ReadRawString(sec, key, "")) : std::nullopt);
        out.entries.push_back(std::move(entry));
    }
}

// How many surplus entries belong in the file at `path`: none unless they
// were read from it. (At most one per section of a file the ini reader took
// in, so far below the int range.)
int SurplusFor(const ListSurplus* surplus, const std::string& path) {
    return surplus && surplus->path == path ? static_cast<int>(surplus->entries.size()) : 0;
}

// Writes one surplus entry into the section `sec`: its keys get the values
// read, and a key the entry did not have is removed, so the section reads as
// the entry did wherever it stood before.
template <std::size_t N>
void WriteSurplusEntry(platform::IniFile& ini, const std::string& sec, const char* const (&keys)[N],
                       const std::vector<std::optional<std::string>>& entry) {
    for (std::size_t k = 0; k < N; ++k) {
        if (k < entry.size() && entry[k]) {
            ini.WriteRawString(sec, keys[k], *entry[k]);
        } else {
            while (ini.ValueExists(sec, keys[k])) ini.DeleteKey(sec, keys[k]);
        }
    }
}

// The count a writer stores: the list's own, or with surplus entries after
// the `written` entries of the list, all of them.
int32_t StoredCount(int count, int written, int extra) { return extra == 0 ? count : written + extra; }

// A file with entries beyond its list's `limit`, now or before this save
// (its count was `before`), is left holding exactly its entries: the
// sections numbered past `kept` up to `before` held entries that moved on
// or went, and are removed with all they hold. A plain list leaves such
// sections as they were; its readers never look past the count.
void DropFormerEntries(platform::IniFile& ini, const char* prefix, int limit, int extra, int kept, int32_t before) {
    if ((extra == 0 && before <= limit) || before <= kept) return;
    for (const std::string& name : ini.ReadSections()) {
        const int64_t number = SlotNumberOf(name, prefix);
        if (number > kept && number <= before) ini.EraseSection(name);
    }
}

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

int ReadPhoneSubscribers(const std::string& path, PhoneSubscriberList& list, ListSurplus* surplus) {
    int stated = 0;
    platform::IniFile ini(path);
    list.users_num = ReadCount(ini, kFonHead, "users_num", MaxSubscribers, stated);
    list.user_index = ReadIndex(ini, kFonHead, "user_index", list.users_num);
    list.sort_prz = Low8(ini.ReadInteger(kFonHead, "sort_prz", 0));
    for (int i = 0; i < MaxSubscribers; ++i) {
        std::string sec = SlotSection(kFonSlot, i);
        PhoneSubscriber& u = list.users[i];
        BytesToField(u.user_name, sizeof u.user_name, ini.ReadRawString(sec, "user_name", ""));
        u.contr_adr = Low8(ini.ReadInteger(sec, "contr_adr", 1));
        u.adr_modbus = Low8(ini.ReadInteger(sec, "adr_modbus", 1));
        BytesToField(u.phone_code, sizeof u.phone_code, ini.ReadRawString(sec, "phone_code", ""));
    }
    ListSurplus unused;
    ReadSurplus(ini, path, kFonSlot, kFonKeys, MaxSubscribers, stated, surplus ? *surplus : unused);
    return stated;
}

int ReadEthernetSubscribers(const std::string& path, EthernetSubscriberList& list, ListSurplus* surplus) {
    int stated = 0;
    platform::IniFile ini(path);
    list.users_num = ReadCount(ini, kEthrHead, "users_num", MaxSubscribers, stated);
    list.user_index = ReadIndex(ini, kEthrHead, "user_index", list.users_num);
    list.sort_prz = Low8(ini.ReadInteger(kEthrHead, "sort_prz", 0));
    for (int i = 0; i < list.users_num; ++i) {
        std::string sec = SlotSection(kEthrSlot, i);
        EthernetSubscriber& u = list.users[i];
        BytesToField(u.user_name, sizeof u.user_name, ini.ReadRawString(sec, "user_name", ""));
        u.contr_adr = Low8(ini.ReadInteger(sec, "contr_adr", 1));
        u.ip_adr = static_cast<uint32_t>(ini.ReadInteger(sec, "ip_adr", 0));
        u.port = static_cast<uint32_t>(ini.ReadInteger(sec, "port", 0));
    }
    ListSurplus unused;
    ReadSurplus(ini, path, kEthrSlot, kEthrKeys, MaxSubscribers, stated, surplus ? *surplus : unused);
    return stated;
}

int ReadObjectList(const std::string& path, ObjectListRecord& list, ListSurplus* surplus) {
    int stated = 0;
    platform::IniFile ini(path);
    std::memset(&list, 0, sizeof list);
    list.obj_num = ReadCount(ini, kObjHead, "obj_num", MaxObjects, stated);
    list.sort_prz = Low8(ini.ReadInteger(kObjHead, "sort_prz", 0));
    list.obj_index = ReadIndex(ini, kObjHead, "obj_index", list.obj_num);
    for (int i = 0; i < list.obj_num; ++i) {
        std::string sec = SlotSection(kObjSlot, i);
        ObjectRecord& o = list.objs[i];
        o.contr_adr = Low8(ini.ReadInteger(sec, "contr_adr", 1));
        BytesToField(o.obj_name, sizeof o.obj_name, ini.ReadRawString(sec, "obj_name", ""));
    }
    ListSurplus unused;
    ReadSurplus(ini, path, kObjSlot, kObjKeys, MaxObjects, stated, surplus ? *surplus : unused);
    return stated;
}

int ReadPhoneSubscribers(const std::string& path) {
    return ReadPhoneSubscribers(path, ProgramSettings.Fon.Users, &PhoneListSurplus);
}
int ReadEthernetSubscribers(const std::string& path) {
    return ReadEthernetSubscribers(path, ProgramSettings.Ethr.Users, &EthernetListSurplus);
}
int ReadObjectList(const std::string& path) { return ReadObjectList(path, ObjectList, &ObjectListSurplus); }

std::pair<std::string, std::string> ListCutNote(const std::string& path, int stated, int limit) {
    if (stated <= limit) return {};
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string shown = std::to_string(limit);
    return {"У файлі " + name + " більше " + shown + " записів:",
            "показано перші " + shown + ", решта залишається у файлі."};
}

// ---- writers ----

bool WritePhoneSubscribers(const std::string& path, const PhoneSubscriberList& list, PhoneSubscriberList& shadow,
                           std::string* error, const ListSurplus* surplus) {
    if (std::memcmp(&list, &shadow, sizeof list) == 0) return true;
    platform::IniFile ini(path);
    const int n = Clamp(list.users_num, MaxSubscribers);
    const int extra = SurplusFor(surplus, path);
    const int32_t before = ini.ReadInteger(kFonHead, "users_num", 0);
    ini.WriteInteger(kFonHead, "users_num", StoredCount(list.users_num, n, extra));
    ini.WriteInteger(kFonHead, "user_index", list.user_index);
    ini.WriteInteger(kFonHead, "sort_prz", list.sort_prz);
    // The list's entries, the surplus after them, and the unused slots on to
    // the 200th section.
    const int sections = std::max(MaxSubscribers, n + extra);
    for (int i = 0; i < sections; ++i) {
        std::string sec = SlotSection(kFonSlot, i);
        if (i >= n && i < n + extra) {
            WriteSurplusEntry(ini, sec, kFonKeys, surplus->entries[static_cast<std::size_t>(i - n)]);
            continue;
        }
        const PhoneSubscriber& u = list.users[i];
        ini.WriteRawString(sec, "user_name", FieldBytes(u.user_name, sizeof u.user_name));
        ini.WriteInteger(sec, "contr_adr", u.contr_adr);
        ini.WriteInteger(sec, "adr_modbus", u.adr_modbus);
        ini.WriteRawString(sec, "phone_code", FieldBytes(u.phone_code, sizeof u.phone_code));
    }
    DropFormerEntries(ini, kFonSlot, MaxSubscribers, extra, sections, before);
    if (!Store(ini, error)) return false;
    std::memcpy(&shadow, &list, sizeof list);
    return true;
}

bool WriteEthernetSubscribers(const std::string& path, const EthernetSubscriberList& list,
                              EthernetSubscriberList& shadow, std::string* error, const ListSurplus* surplus) {
    if (std::memcmp(&list, &shadow, sizeof list) == 0) return true;
    platform::IniFile ini(path);
    const int n = Clamp(list.users_num, MaxSubscribers);
    const int extra = SurplusFor(surplus, path);
    const int32_t before = ini.ReadInteger(kEthrHead, "users_num", 0);
    ini.WriteInteger(kEthrHead, "users_num", StoredCount(list.users_num, n, extra));
    ini.WriteInteger(kEthrHead, "user_index", list.user_index);
    ini.WriteInteger(kEthrHead, "sort_prz", list.sort_prz);
    for (int i = 0; i < n; ++i) {
        std::string sec = SlotSection(kEthrSlot, i);
        const EthernetSubscriber& u = list.users[i];
        ini.WriteRawString(sec, "user_name", FieldBytes(u.user_name, sizeof u.user_name));
        ini.WriteInteger(sec, "contr_adr", u.contr_adr);
        ini.WriteInteger(sec, "ip_adr", static_cast<int32_t>(u.ip_adr));
        ini.WriteInteger(sec, "port", static_cast<int32_t>(u.port));
    }
    for (int j = 0; j < extra; ++j)
        WriteSurplusEntry(ini, SlotSection(kEthrSlot, n + j), kEthrKeys, surplus->entries[static_cast<std::size_t>(j)]);
    DropFormerEntries(ini, kEthrSlot, MaxSubscribers, extra, n + extra, before);
    if (!Store(ini, error)) return false;
    std::memcpy(&shadow, &list, sizeof list);
    return true;
}

bool WritePhoneSubscribers(const std::string& path, std::string* error) {
    return WritePhoneSubscribers(path, ProgramSettings.Fon.Users, SettingsShadow.Fon.Users, error, &PhoneListSurplus);
}

bool WriteEthernetSubscribers(const std::string& path, std::string* error) {
    return WriteEthernetSubscribers(path, ProgramSettings.Ethr.Users, SettingsShadow.Ethr.Users, error,
                                    &EthernetListSurplus);
}

bool WriteChangedSubscriberLists(const std::string& phonePath, const std::string& ethernetPath, std::string* error) {
    bool phoneOk = WritePhoneSubscribers(phonePath, error);
    std::string ethrError;
    bool ethrOk = WriteEthernetSubscribers(ethernetPath, &ethrError);
    if (!ethrOk && phoneOk && error) *error = ethrError;
    return phoneOk && ethrOk;
}

bool WriteObjectList(const std::string& path, const ObjectListRecord& list, std::string* error,
                     const ListSurplus* surplus) {
    platform::IniFile ini(path);
    const int n = Clamp(list.obj_num, MaxObjects);
    const int extra = SurplusFor(surplus, path);
    const int32_t before = ini.ReadInteger(kObjHead, "obj_num", 0);
    ini.WriteInteger(kObjHead, "obj_num", StoredCount(list.obj_num, n, extra));
    ini.WriteInteger(kObjHead, "sort_prz", list.sort_prz);
    ini.WriteInteger(kObjHead, "obj_index", list.obj_index);
    for (int i = 0; i < n; ++i) {
        std::string sec = SlotSection(kObjSlot, i);
        const ObjectRecord& o = list.objs[i];
        ini.WriteInteger(sec, "contr_adr", o.contr_adr);
        ini.WriteRawString(sec, "obj_name", FieldBytes(o.obj_name, sizeof o.obj_name));
    }
    for (int j = 0; j < extra; ++j)
        WriteSurplusEntry(ini, SlotSection(kObjSlot, n + j), kObjKeys, surplus->entries[static_cast<std::size_t>(j)]);
    DropFormerEntries(ini, kObjSlot, MaxObjects, extra, n + extra, before);
    return Store(ini, error);
}

bool WriteObjectList(const std::string& path, std::string* error) {
    return WriteObjectList(path, ObjectList, error, &ObjectListSurplus);
}

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
