// The flow computers the controller writes gas values into, one 20-byte row
// each: the same layout as the flow-computer block of a configuration
// record (row i at record offset 443 + 20 i). In the controller the fields
// of row i lie in four tables (18 address, 17 type, 19 write mask, 20 byte
// order) and the write password in table 13, which is never read back.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#pragma pack(push, 1)
struct OvgRow {
    uint8_t Address;    // 1..254 on the flow-computer line
    uint8_t Type;       // 0..3 (OvgTypeNames)
    uint8_t Mask;       // bit p: pipeline p+1 written; bit p+4: fed from line 2
    uint8_t ByteOrder;  // 0 low address holds the high byte, 1 the low byte
    char Password[16];  // blank-padded; with the second layout 12 characters and a 4-digit code
};
#pragma pack(pop)
static_assert(sizeof(OvgRow) == 20);

inline constexpr int kMaxOvgCount = 16;
inline constexpr int kOvgTypeCount = 4;
inline constexpr int kOvgPasswordTable = 13;

// A count from the controller or a file as far as rows exist for it: 0..16.
int ClampOvgCount(int n);

// Pipelines of a flow-computer type: 1 for type 1, 3 for the others.
int OvgPipelines(uint8_t type);

// List texts: the type ("ВЕКТРОН", ...) or "?" for an unknown type, the
// byte order ("Мол. адр. -- ст. байт", ...) or "?".
std::string OvgTypeText(uint8_t type);
std::string OvgByteOrderText(uint8_t order);

// Rows 0..n-1 (n clamped to 16) built from the configuration image: address
// from table 18, type from 17, mask from 19, byte order from 20, password
// 16 blanks.
void OvgRowsFromImage(OvgRow* rows, int n);
// Rows 0..n-1 (n clamped to 16) into the image: tables 17..20 row i and
// table 13 row i (the password).
void OvgRowsToImage(const OvgRow* rows, int n);
