// The controller's users (table 4) and the operator's write credentials.
//
// The controller takes write requests only from a registered user: every
// write-type request (commands 2, 12, 25, 32, 33) carries a 12-byte write
// password and a 4-byte identification code, which the link object puts in
// front of the request data. The users table holds 16 rows of 22 bytes:
//
//   0  char[4]   user name, blank-padded (Windows-1251)
//   4  u8        access level 0..4 (0 = free row)
//   5  u8        always 0
//   6  char[12]  write password, blank-padded
//   18 char[4]   identification code (digits), blank-padded
//
// A valid users table has exactly one manufacturer (level 1); free rows are
// blank; every used row has a name and a code; no two used rows share a
// name or a code (all 4 bytes compared). A field of blanks or zero bytes is
// blank.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct UserRow {
    char Name[4];
    uint8_t Level;
    uint8_t Spare;  // always 0
    char Password[12];
    char Code[4];
};
static_assert(sizeof(UserRow) == 22);

inline constexpr int kUserCount = 16;
inline constexpr std::size_t kUsersTableBytes = kUserCount * sizeof(UserRow);  // 352
inline constexpr int kUsersTable = 4;
inline constexpr int kTableStatesTable = 7;

using UsersTable = std::array<UserRow, kUserCount>;

namespace userlevel {
inline constexpr uint8_t None = 0;      // "Немає доступу": the row is free
inline constexpr uint8_t Maker = 1;     // "Виробник-наладчик"
inline constexpr uint8_t Admin = 2;     // "Адміністратор"
inline constexpr uint8_t Engineer = 3;  // "Інженер"
inline constexpr uint8_t Operator = 4;  // "Оператор"
inline constexpr int kLevels = 5;
}  // namespace userlevel

// The names of the five access levels, by level, for the level lists.
std::vector<std::string> AccessLevelItems();

// ---- rows and fields

// A free row: level 0, spare byte 0, name, password and code blanks.
UserRow BlankUser();
void ClearUser(UserRow& u);
// True when the n bytes are blanks or zero bytes only.
bool IsBlankField(const char* field, std::size_t n);
// "n blanks, then the text": the text in Windows-1251, cut to n bytes,
// blank-padded. Returns false when it had to be cut.
bool SetField(char* field, std::size_t n, const std::string& utf8);
// The field as UTF-8, up to a zero byte, trailing blanks removed.
std::string FieldText(const char* field, std::size_t n);
// The same with leading blanks removed as well (what the name lists show).
std::string TrimmedField(const char* field, std::size_t n);

// 16 rows from / to 352 bytes (a table of the image or of a configuration
// record); no alignment is assumed.
UsersTable LoadUsers(const void* bytes);
void StoreUsers(void* bytes, const UsersTable& users);

// Table 4 of the configuration image.
UsersTable ImageUsers();
UserRow ImageUser(int row);            // a blank row for a row outside 0..15
void SetImageUser(int row, const UserRow& u);  // ignored outside 0..15

// ---- the users check

enum class UsersRule {
    Ok,
    NoMaker,      // no level-1 row
    SecondMaker,  // more than one level-1 row
    BadLevel,     // a level above 4 (only a damaged file holds one)
    NoName,       // a used row without a name
    NoCode,       // a used row without a code
    SameName,     // two used rows with one name
    SameCode,     // two used rows with one code
};

struct UsersFault {
    UsersRule rule = UsersRule::Ok;
    int row = -1;    // 0-based, for the row rules
    int other = -1;  // 0-based, the later row of a pair
    bool ok() const { return rule == UsersRule::Ok; }
};

// The first rule the table breaks. The manufacturer count comes first; then
// the rows in order, for each row its level, name, code and then the
// comparisons with every later row (name before code for each pair).
UsersFault FindUsersFault(const UsersTable& users);

// The two places that check a users table word their messages differently.
enum class UsersTexts {
    AccessWindow,  // the users window of a configuration
    ConfigRecord,  // taking a configuration record into the image
};

// The two message lines of a fault (empty for Ok); row numbers 1-based.
std::pair<std::string, std::string> UsersFaultText(const UsersFault& f, UsersTexts texts);

// Checks the table; on a fault shows its message (MessageKind 2) and
// returns false.
bool CheckUsers(const UsersTable& users, UsersTexts texts);

// Free rows made blank and the spare byte of every row cleared.
void NormalizeUsers(UsersTable& users);

// The users check of a configuration record: the 352 bytes at `users` are
// normalized in place, then checked with the record's texts (message on a
// fault). True when they pass.
bool CheckRecordUsers(void* users);

// ---- the operator's credentials in the link object

// Stores the 12-byte password and 4-byte code that every write request
// carries (nothing without a link object).
void SetLinkCredentials(const char* password12, const char* code4);

// Blank credentials for the life of the object (the users table of a
// controller whose users table is damaged is written that way); the
// operator's credentials come back on every way out.
class BlankCredentials {
public:
    BlankCredentials();
    ~BlankCredentials();
    BlankCredentials(const BlankCredentials&) = delete;
    BlankCredentials& operator=(const BlankCredentials&) = delete;
private:
    char password_[12];
    char code_[4];
    bool saved_ = false;
};
