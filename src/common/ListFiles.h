// The files of the operator's three lists, their readers, writers and sorts.
//
//   fon_abonents.ini   [FON_CONN_PAR] users_num, user_index, sort_prz, then
//                      [FON_ABONENT_1]..[FON_ABONENT_200] (always all 200) with
//                      user_name, contr_adr, adr_modbus, phone_code
//   ethr_abonents.ini  [ETHERNET_CONN_PAR] likewise, then [ETHERNET_ABONENT_n]
//                      for n = 1..users_num with user_name, contr_adr, ip_adr, port
//   objects.ini        [OBJECT_LIST] obj_num, sort_prz, obj_index, then
//                      [OBJECT_n] for n = 1..obj_num with contr_adr, obj_name
//
// Counts and indexes are checked on reading (at most 200 subscribers and 50
// objects; an index beyond the count selects the first entry) and every text
// is cut to its field, so no file, however edited, reaches past a record.
// "ip_adr" and "port" stand in the file as signed 32-bit numbers; an address
// with a first octet of 128 or more is negative there.
//
// A file that holds more entries than its list keeps is not shortened by a
// save: the entries beyond the list's 200 (50) are kept as read and written
// back right after the list's own, numbered on from them, and the count
// covers them. So after a deletion the first of them moves into the freed
// place, and the next start loads it (and says again that the list shows
// only the first 200 (50)). Such a file always holds exactly its entries:
// the sections past the new count that held entries before the save are
// removed. (A plain list leaves the sections past its count as they were.)
#pragma once
#include "common/ListRecords.h"
#include "common/Rd_wr_ini.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The object list of the run (the subscriber lists sit in ProgramSettings).
extern ObjectListRecord ObjectList;

// The entries a list file holds beyond what its list keeps: the sections
// numbered past 200 (objects: 50), up to the count the file gives, in number
// order; a number without a section in the file is no entry and is skipped.
// Each entry holds the values of its section's keys in the order of the
// file's table (user_name, contr_adr, adr_modbus or ip_adr, phone_code or
// port; contr_adr, obj_name), the bytes as read, none for a missing key.
struct ListSurplus {
    std::string path;  // the file they were read from: a save to any other file leaves them out
    std::vector<std::vector<std::optional<std::string>>> entries;
};
// Those of the run's three lists (what the start-up reads found).
extern ListSurplus PhoneListSurplus, EthernetListSurplus, ObjectListSurplus;

// Readers: a missing file gives an empty list (the 200 phone slots then hold
// their defaults: empty texts, contr_adr and adr_modbus 1). Each returns the
// number of entries the file says it holds; only the first 200 (objects: 50)
// are loaded, the others go to *surplus (when given) for the writers.
int ReadPhoneSubscribers(const std::string& path, PhoneSubscriberList& list, ListSurplus* surplus = nullptr);
int ReadEthernetSubscribers(const std::string& path, EthernetSubscriberList& list, ListSurplus* surplus = nullptr);
int ReadObjectList(const std::string& path, ObjectListRecord& list, ListSurplus* surplus = nullptr);
int ReadPhoneSubscribers(const std::string& path);     // ProgramSettings.Fon.Users, PhoneListSurplus
int ReadEthernetSubscribers(const std::string& path);  // ProgramSettings.Ethr.Users, EthernetListSurplus
int ReadObjectList(const std::string& path);           // ObjectList, ObjectListSurplus

// What the operator is told (two lines) when a list file holds more entries
// (`stated`, as a reader returns it) than the list keeps (`limit`): the
// file's name, that the list shows the first `limit` and that the rest stay
// in the file. Empty when nothing was left out.
std::pair<std::string, std::string> ListCutNote(const std::string& path, int stated, int limit);

// Subscriber writers: when `list` equals `shadow` byte for byte nothing is
// done; otherwise the file is written and `list` copied into `shadow`. A
// failed write returns false with a text naming the file in *error and
// leaves `shadow` as it was, so the next call writes again. The entries of
// *surplus read from this same file follow the list's (the phone file keeps
// its 200 slot sections besides).
bool WritePhoneSubscribers(const std::string& path, const PhoneSubscriberList& list, PhoneSubscriberList& shadow,
                           std::string* error = nullptr, const ListSurplus* surplus = nullptr);
bool WriteEthernetSubscribers(const std::string& path, const EthernetSubscriberList& list,
                              EthernetSubscriberList& shadow, std::string* error = nullptr,
                              const ListSurplus* surplus = nullptr);
// ProgramSettings' list against SettingsShadow's, with the list's surplus.
bool WritePhoneSubscribers(const std::string& path, std::string* error = nullptr);
bool WriteEthernetSubscribers(const std::string& path, std::string* error = nullptr);

// Stores both subscriber lists of ProgramSettings where they differ from the
// shadow: what the connect step calls after choosing a subscriber, so the
// selection (user_index) reaches its file. True when both are stored (or
// unchanged); on failure *error names the file that failed.
bool WriteChangedSubscriberLists(const std::string& phonePath, const std::string& ethernetPath,
                                 std::string* error = nullptr);

// Object writer: always writes (its callers decide whether anything changed);
// the entries of *surplus read from this same file follow the list's.
bool WriteObjectList(const std::string& path, const ObjectListRecord& list, std::string* error = nullptr,
                     const ListSurplus* surplus = nullptr);
bool WriteObjectList(const std::string& path, std::string* error = nullptr);  // ObjectList, ObjectListSurplus

// Name comparison of the sorts: both texts upper-cased in Windows-1251
// (Cyrillic, Ukrainian and Latin letters alike), compared byte by byte as
// unsigned values up to the terminator or the field's end. <0, 0, >0.
int CompareFieldsNoCase(const char* a, const char* b, std::size_t width);

// Sorts in place by sort_prz (phone: 0 name, 1 telephone number; Ethernet:
// 0 name, 1 IP address as an unsigned number, so in dotted order; objects:
// 0 name, 1 controller address). Entries with equal keys keep their order;
// the selected entry stays selected wherever it moves. Any other sort_prz
// leaves the list as it is.
void SortPhoneSubscribers(PhoneSubscriberList& list);
void SortEthernetSubscribers(EthernetSubscriberList& list);
void SortObjectList(ObjectListRecord& list);
