// A whole controller configuration in one record, and its files.
//
// ConfigRecord (2645 bytes) is exactly what a configuration file (".cnf" in
// the CONFIG folder) holds: the configuration tables of the controller at
// fixed places, with reserved bytes between them that stay as they were
// read. Multi-byte values are little-endian as in the tables; names are
// Windows-1251. On disk the 16 flow-computer passwords are stored
// transformed byte by byte (((b ^ 0xFF) + 5) mod 256); in memory the record
// always holds the plain bytes.
//
//   ConfigRecord rec;
//   InitNewConfigFile(rec);                   // defaults
//   FillConfigRecord(rec);                    // or: from the configuration image
//   SaveConfigFile(psd, path, rec);           // asks for a name, writes the file
//   if (LoadConfigFile(pod, path, rec) && ApplyConfigRecord(rec, true)) ...
//   WriteFlaggedTables(block, bar, progress); // the marked tables to the controller
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "config/ConfigImage.h"
#include "config/ImageCounts.h"
#include "config/TableCheckBlock.h"

namespace ui {
class OpenDialog;
class SaveDialog;
class StatusBar;
class ProgressBar;
}  // namespace ui

inline constexpr std::size_t kConfigRecordSize = 2645;

// Where each block lies in a ConfigRecord.
namespace cnfofs {
inline constexpr std::size_t kSource = 0;         // 1 = filled from a controller, 0 = new
inline constexpr std::size_t kIdent = 1;          // table 0, 18 bytes
inline constexpr std::size_t kControllerType = 2; // 'I' (table 0 byte 1)
inline constexpr std::size_t kVersion = 4;        // software version (table 0 byte 3)
inline constexpr std::size_t kNames = 29;         // table 5, 3 x 20 bytes
inline constexpr std::size_t kUpperLink = 109;    // table 3, 4 bytes
inline constexpr std::size_t kSystem = 213;       // table 6, 12 bytes
inline constexpr std::size_t kChromPresent = 220; // table 6 row 7
inline constexpr std::size_t kWmtPresent = 221;   // table 6 row 8
inline constexpr std::size_t kFlowPresent = 222;  // table 6 row 9
inline constexpr std::size_t kSyncFlow = 223;     // table 6 row 10
inline constexpr std::size_t kSyncPc = 224;       // table 6 row 11
inline constexpr std::size_t kChromLink = 325;    // table 14, 14 bytes (byte 0 the address)
inline constexpr std::size_t kLines = 332;        // table 14 row 7 (bit 2: oxygen)
inline constexpr std::size_t kChromSyncFlow = 333;// table 14 row 8
inline constexpr std::size_t kChromSyncPc = 334;  // table 14 row 9
inline constexpr std::size_t kWmtLink = 385;      // table 15, 8 bytes (byte 0 the address)
inline constexpr std::size_t kFlow = 443;         // 16 flow-computer rows of 20 bytes
inline constexpr std::size_t kFlowRowSize = 20;   // address, type, mask, byte order, password
inline constexpr std::size_t kFlowPassword = 4;   // within a row, 16 bytes
inline constexpr std::size_t kDistr = 863;        // table 21, 20 bytes
inline constexpr std::size_t kLimits = 983;       // table 22; table 22 + k at kLimits + 180 k
inline constexpr std::size_t kLimitStep = 180;
inline constexpr std::size_t kAverPeriod = 1883;  // table 28, 2 bytes
inline constexpr std::size_t kEthernet = 1893;    // table 29, 28 bytes
inline constexpr std::size_t kUsers = 1985;       // table 4, 16 x 22 bytes
inline constexpr std::size_t kFlowLink = 2437;    // table 9, 6 bytes (byte 0 the count)
inline constexpr std::size_t kConst = 2445;       // tables 43, 44 (line 1), 45, 46 (line 2)
inline constexpr std::size_t kConstLine = 100;    // one line's 20 flags and 20 values
}  // namespace cnfofs

// Flow-computer rows the record (and tables 13, 17..20) hold.
inline constexpr int kRecordFlowRows = kMaxFlowComputers;

struct ConfigRecord {
    std::array<uint8_t, kConfigRecordSize> Bytes{};

    uint8_t* data() { return Bytes.data(); }
    const uint8_t* data() const { return Bytes.data(); }
    uint8_t& operator[](std::size_t i) { return Bytes[i]; }
    uint8_t operator[](std::size_t i) const { return Bytes[i]; }
    uint8_t* At(std::size_t offset) { return Bytes.data() + offset; }
    const uint8_t* At(std::size_t offset) const { return Bytes.data() + offset; }
    // Row i (0..15) of the flow computers.
    uint8_t* FlowRow(int i) { return At(cnfofs::kFlow + std::size_t(i) * cnfofs::kFlowRowSize); }
    // Flow computers in use (table 9 row 0), held to 0..16.
    int FlowCount() const;
    // The controller name (table 5 row 0) as UTF-8, trimmed at both ends.
    std::string ControllerName() const;
    bool operator==(const ConfigRecord&) const = default;
};
static_assert(sizeof(ConfigRecord) == kConfigRecordSize);

// Where a table lies in the record; false for a table the record does not
// hold (0 is held but never written back).
bool RecordTablePlace(int t, std::size_t& offset);

// ---- records and files

// A new configuration: every byte zero, then the defaults (address 1 at
// 9600 baud, the default names, summer and winter time rules, one flow
// computer of type 2, the default limits, ...).
void InitNewConfigFile(ConfigRecord& rec);

// The password transform of the file, one byte.
inline constexpr uint8_t EncodePasswordByte(uint8_t b) { return uint8_t((b ^ 0xFF) + 5); }
inline constexpr uint8_t DecodePasswordByte(uint8_t b) { return uint8_t(~uint8_t(b - 5)); }

// The 2645 bytes of the file (passwords transformed).
std::string EncodeConfigFile(const ConfigRecord& rec);

enum class ConfigFileError {
    None,
    WrongSize,     // not 2645 bytes
    NotZbr,        // controller type not 'I'
    WrongVersion,  // a software version other than 9, 11 or 14
};

// The record from the bytes of a file. A version-9 file is taken as
// version 11; versions 11 and 14 load as they are. `rec` changes only on
// success.
ConfigFileError DecodeConfigFile(std::string_view bytes, ConfigRecord& rec);

// The message pair a refused file is reported with (kind 6); `fileName`
// without the folder, `version` the file's version byte.
std::pair<std::string, std::string> ConfigFileErrorText(ConfigFileError e, const std::string& fileName,
                                                        int version);

// Reads the file at `path` into `rec` with its checks; on a failure shows the
// message (kind 1 for a file that cannot be read, 6 for a file that is not a
// configuration) and leaves `rec` as it was.
bool ReadConfigFile(const std::string& path, ConfigRecord& rec);

// WorkDir + "/CONFIG".
std::string ConfigFolder();

// The name a save proposes: CONFIG/zbr_<version>-<name>-<yymmddhhmm>.cnf with
// the record's software version and trimmed controller name ('/', '\' and
// control characters in it made '_'), at `now` (days since 1899-12-30).
std::string DefaultConfigFileName(const ConfigRecord& rec, double now);

// The file dialog of the main window chooses a file ("Вибір файлу з
// параметрами конфігурації", CONFIG folder, "*.cnf"), which is read and
// checked. `chosenPath` receives the chosen name. False when cancelled or
// refused (told to the operator); `rec` changes only on success.
bool LoadConfigFile(ui::OpenDialog& pod, std::string& chosenPath, ConfigRecord& rec);

// Asks for a name (proposing DefaultConfigFileName) and writes the record.
// A name without an extension gets ".cnf"; an existing file is replaced only
// after the operator agreed. The file is written whole through a temporary
// file; a failure is reported (kind 1) and leaves an old file as it was.
// True when written; `chosenPath` receives the name written.
bool SaveConfigFile(ui::SaveDialog& psd, std::string& chosenPath, const ConfigRecord& rec);

// Writes the record to `path` (temporary file + rename) and reports the
// result: kind 6 "Параметри конфігурації" / "Збережені в файлі %s" on
// success, kind 1 on a failure.
bool WriteConfigFile(const std::string& path, const ConfigRecord& rec);

// ---- the record and the configuration image

// The record from the image (byte 0 := 1; the flow-computer passwords,
// never read from a controller, are blanks).
void FillConfigRecord(ConfigRecord& rec);

// The image from the record, with its checks (message kind 2 on the first
// failure, which returns false and leaves the tables copied so far in the
// image). With `checkUsers` the users table of the record is checked (and
// normalised in the record) and taken into the image; without it table 4 of
// the image is left alone.
bool ApplyConfigRecord(ConfigRecord& rec, bool checkUsers);

// Writes the tables marked in the block from the image to the controller:
// first the flow-computer link (9), the flow computers' types, addresses,
// masks and byte order (17..20) and passwords (13, 14 rows a request), each
// over the flow computers in use; then every other marked table whole, in
// requests of up to 229 bytes, the controller's own link (table 3) last so
// that a new address or baud rate cannot cut off the writes after it.
// After table 3 the link follows the controller's new address and baud rate
// unless RestoreThenDisconnect is set; the settings follow in either case.
// A mark is cleared when its table was written; the first failed request
// ends it with false (the retry dialogue of the table layer has run).
bool WriteFlaggedTables(TableCheckBlock& block, ui::StatusBar* bar, ui::ProgressBar* progress);
