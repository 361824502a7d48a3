// The model of a version-11 ЗБР controller behind the wire: its 47 tables, its
// clock, its users and the commands it answers. No transport and no threads
// here; the caller serialises access.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace emu {

constexpr int kTableCount = 47;

// Shape of one table: rows x row size; `config` marks the configuration
// tables (the ones a configuration file restores and that can be damaged).
struct TableShape {
    uint8_t rows = 0;
    uint8_t size = 0;
    bool config = false;
};
// Shape of table t (0..46); an all-zero shape for any other number.
TableShape Shape(int t);

// Controller error codes that this model sends (byte 4 of an error reply).
namespace err {
constexpr uint8_t UnknownCommand = 1;      // "Невідомий код команди"
constexpr uint8_t BadLength = 2;           // "Неправильна довжина запиту"
constexpr uint8_t BadParams = 4;           // "Неправильні параметри у запиті"
constexpr uint8_t ClockRefused = 6;        // "Введення дати та часу не допускається"
constexpr uint8_t NoTable = 9;             // "Немає такої таблиці"
constexpr uint8_t ReadImpossible = 11;     // "Читання таблиці неможливе"
constexpr uint8_t WriteRefused = 12;       // "Запис до таблиці не допускається"
constexpr uint8_t NoField = 13;            // "Немає такого поля в таблиці"
constexpr uint8_t WriteNoField = 14;       // "Спроба запису в неіснуюче поле"
constexpr uint8_t CorrectionTooLarge = 17; // "Занадто великий час для корекції"
constexpr uint8_t FullRewrite = 23;        // "Таблиця вимагає повного перезапису"
constexpr uint8_t AccessLevel = 26;        // "Недостатній рівень доступу"
constexpr uint8_t EmptyName = 27;          // "Порожнє ім'я користувача"
constexpr uint8_t EmptyCode = 28;          // "Порожній код ідентифікації користувача"
constexpr uint8_t MakerExists = 29;        // "Виробник/наладчик вже зареєстрований"
constexpr uint8_t MakerDelete = 30;        // "Видалення виробника/наладчика не допускається"
constexpr uint8_t LastAdmin = 31;          // "Видалення останнього адміністратора не допускається"
constexpr uint8_t CannotRegister = 32;     // "Користувач не може бути зареєстрований"
constexpr uint8_t NameExists = 33;         // "Користувач з таким ім'ям вже є"
constexpr uint8_t NotRegistered = 34;      // "Користувач не зареєстрований або неправильний пароль"
constexpr uint8_t FieldCount = 37;         // "Кількість записуваних полів не відповідає обмеженням"
constexpr uint8_t Destroyed = 60;          // "Зруйнована таблиця" (byte 6 = table)
constexpr uint8_t BigTableRules = 61;      // "Порушено правила запису полів великої зруйнованої таблиці"
}  // namespace err

// Baud-rate codes as the link tables store them (index into the rate table).
int CodeToBaud(int code);  // 0 for an unknown code
int BaudToCode(int baud);  // -1 for a rate not in the table

// {year - 2000, month, day, hour, minute, second}
using DeviceTime = std::array<uint8_t, 6>;
bool IsValidDeviceTime(const DeviceTime& t);

struct Request {
    uint8_t address = 0;
    uint8_t command = 0;
    std::vector<uint8_t> data;  // bytes between the command and the CRC
};

struct Reply {
    bool none = false;       // the controller keeps quiet
    uint8_t address = 0;     // byte 1
    uint8_t command = 0;     // byte 3 as sent: command | 0x80, or the bare command of an error reply
    std::vector<uint8_t> data;
    // Runs once the reply has gone out (a new baud rate, the reset of the link).
    std::function<void()> after;
    bool IsError() const { return !none && (command & 0x80) == 0; }
};

class Controller {
public:
    // A command handler gets the request (its frame length already checked
    // when one was registered) and builds the reply.
    using Handler = std::function<Reply(Controller&, const Request&)>;

    explicit Controller(uint32_t seed = 1);

    // Registers or replaces a command. frameLength: the fixed total frame
    // length of the request, or 0 when the handler checks the length itself.
    void SetHandler(uint8_t command, int frameLength, Handler h);
    Reply Handle(const Request& r);

    Reply Ok(uint8_t command, std::vector<uint8_t> data = {}) const;
    Reply Error(uint8_t command, uint8_t code, uint8_t table = 0) const;

    // Every table back to its factory contents (the clock keeps running).
    void FactoryReset();

    // Table contents; generated tables (clock, live values) are filled in as of now.
    std::vector<uint8_t> Table(int t) const;
    // Replaces a table (cut or zero-padded to its size). Table 2 sets the
    // clock when its first 6 bytes are a valid date; otherwise, like every
    // generated table, it keeps the given bytes from then on.
    void SetTable(int t, std::vector<uint8_t> bytes);

    // Damaged state of a configuration table (table 7 row t; byte 0 of table 0
    // names the lowest damaged table).
    bool Damaged(int t) const;
    void SetDamaged(int t, bool damaged);

    // The controller's address and baud code on its upper-level line (table 3).
    uint8_t Address() const;
    void SetAddress(uint8_t a);
    int BaudCode() const;
    void SetBaudCode(int code);
    int ReplyPreambles() const;  // table 3 byte 2

    DeviceTime Clock() const;
    void SetClock(const DeviceTime& t);
    void FreezeClock(bool frozen);
    void AdjustClock(int seconds);

    // Write password and user code of the manufacturer's row (level 1) in
    // table 4, blank-padded to 12 and 4 bytes.
    void SetCredentials(const std::string& password, const std::string& userCode);
    // Access level (1..4) of the user with exactly these 12 + 4 bytes, 0 when none.
    int UserLevel(const uint8_t* password12, const uint8_t* code4) const;

    // Row of table 5 (0 controller, 1 and 2 the measuring lines) from UTF-8,
    // in the code page that table 0 byte 12 names, blank-padded to 20 bytes.
    void SetName(int row, const std::string& utf8);

    void SetSeed(uint32_t seed) { seed_ = seed; }
    uint32_t Seed() const { return seed_; }

    // Called after a reply when the link's baud code was changed by a write or a reset.
    std::function<void(int baud)> onBaudChange;

private:
    struct Command {
        int frameLength = 0;
        Handler handler;
    };
    // The controller's current state in one 10-second step of its clock:
    // links, zones and abnormal situations (tables 16, 32..35, 39).
    struct LiveState {
        uint8_t chromLink = 0, wmtLink = 0;
        uint8_t ovgLink[16] = {}, ovgWrite[16] = {};
        uint8_t ovgSituation = 0, chromError = 0, wmtError = 0, selfDiag = 0;
        uint8_t zones[2][20] = {};
        uint8_t lineOut[2] = {};
    };
    LiveState Live(int64_t slot) const;
    Reply ReadRows(const Request& r);
    Reply WriteRows(const Request& r);
    Reply CorrectClock(const Request& r);
    Reply ResetNonVolatile(const Request& r);
    uint8_t CheckUsers(const std::vector<uint8_t>& newTable) const;
    uint8_t CheckWriter(const Request& r, int needLevel) const;
    void Generate(int t, std::vector<uint8_t>& v) const;
    int64_t NowSeconds() const;
    void UpdateDamageIndex();
    void LeaveRecoveryWhenRestored();

    std::array<std::vector<uint8_t>, kTableCount> tables_;
    std::array<bool, kTableCount> live_{};
    std::array<int, kTableCount> restoreNext_{};  // next row a damaged table must be written from
    std::map<uint8_t, Command> commands_;
    uint32_t seed_;
    int64_t clockBase_ = 0;  // controller time (seconds, civil time taken as UTC) at clockRef_
    int64_t clockRef_ = 0;   // steady-clock milliseconds
    bool frozen_ = false;
};

}  // namespace emu
