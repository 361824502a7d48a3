// The records of the operator's three lists: telephone subscribers, Ethernet
// subscribers and objects. They are packed byte layouts; text fields hold
// Windows-1251 bytes, NUL-terminated inside their fixed width. The accessors
// give and take UTF-8 and cut a text to its field.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr int MaxSubscribers = 200;  // slots of each subscriber list
constexpr int MaxObjects = 50;       // slots of the object list
constexpr std::size_t NameFieldSize = 50;   // names: 49 bytes and the terminator
constexpr std::size_t PhoneFieldSize = 30;  // telephone numbers: 29 bytes and the terminator

// A fixed-width text field as UTF-8 (up to its terminator, never past its width).
std::string FieldToUtf8(const char* field, std::size_t width);
// The Windows-1251 bytes of a field (up to its terminator, never past its width).
std::string_view FieldBytes(const char* field, std::size_t width);
// Fills a field from UTF-8 text: converted, cut to width - 1 bytes, the rest zeros.
void Utf8ToField(char* field, std::size_t width, std::string_view utf8);
// Fills a field from code-page bytes: cut to width - 1 bytes (or at an inner
// NUL), the rest zeros.
void BytesToField(char* field, std::size_t width, std::string_view bytes);

// "a.b.c.d" of an address held as a<<24 | b<<16 | c<<8 | d.
std::string IpToText(uint32_t ip);
inline uint8_t IpOctet(uint32_t ip, int i) {  // i = 0 gives a (the first octet)
    return static_cast<uint8_t>(ip >> (24 - 8 * i));
}

#pragma pack(push, 1)

struct PhoneSubscriber {
    char user_name[NameFieldSize];    // subscriber name
    uint8_t contr_adr;                // controller address 1..255
    uint8_t adr_modbus;               // kept in the file, carried unchanged
    char phone_code[PhoneFieldSize];  // telephone number as typed

    std::string Name() const { return FieldToUtf8(user_name, sizeof user_name); }
    void SetName(std::string_view utf8) { Utf8ToField(user_name, sizeof user_name, utf8); }
    std::string Phone() const { return FieldToUtf8(phone_code, sizeof phone_code); }
    void SetPhone(std::string_view utf8) { Utf8ToField(phone_code, sizeof phone_code, utf8); }
};

struct PhoneSubscriberList {
    uint8_t users_num;   // subscribers in the list, 0..200
    uint8_t user_index;  // selected subscriber, 0-based
    uint8_t sort_prz;    // 0 by name, 1 by telephone number
    PhoneSubscriber users[MaxSubscribers];
};

struct EthernetSubscriber {
    char user_name[NameFieldSize];  // subscriber name
    uint8_t contr_adr;              // controller address 1..255
    uint32_t ip_adr;                // a.b.c.d as a<<24 | b<<16 | c<<8 | d
    uint32_t port;                  // TCP port

    std::string Name() const { return FieldToUtf8(user_name, sizeof user_name); }
    void SetName(std::string_view utf8) { Utf8ToField(user_name, sizeof user_name, utf8); }
};

struct EthernetSubscriberList {
    uint8_t users_num;   // 0..200
    uint8_t user_index;  // selected subscriber, 0-based
    uint8_t sort_prz;    // 0 by name, 1 by IP address
    EthernetSubscriber users[MaxSubscribers];
};

struct ObjectRecord {
    char obj_name[NameFieldSize];  // object name
    uint8_t contr_adr;             // controller address 1..255

    std::string Name() const { return FieldToUtf8(obj_name, sizeof obj_name); }
    void SetName(std::string_view utf8) { Utf8ToField(obj_name, sizeof obj_name, utf8); }
};

// Note the header order: count, sort order, index.
struct ObjectListRecord {
    uint8_t obj_num;    // objects in the list, 0..50
    uint8_t sort_prz;   // 0 by name, 1 by controller address
    uint8_t obj_index;  // current object, 0-based
    ObjectRecord objs[MaxObjects];
};

#pragma pack(pop)

static_assert(sizeof(PhoneSubscriber) == 82);
static_assert(sizeof(EthernetSubscriber) == 59);
static_assert(sizeof(ObjectRecord) == 51);
static_assert(sizeof(PhoneSubscriberList) == 3 + 200 * 82);
static_assert(sizeof(EthernetSubscriberList) == 3 + 200 * 59);
static_assert(sizeof(ObjectListRecord) == 3 + 50 * 51);
