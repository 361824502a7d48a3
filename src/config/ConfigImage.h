// The in-memory copy of the controller's 47 configuration/state tables.
//
// The controller keeps its configuration and current state in 47 numbered
// tables; each is an array of rows of one fixed size. The program keeps one
// copy of every table, end to end in table order, in `ConfigImage` (1849
// bytes), and a constant directory `ConfigTableDir` that gives each table's
// row count, row size, configuration flag and offset in the image. Tables 1,
// 31, 36 and 40 do not exist in the image (no rows, no place, never
// requested).
//
// Windows read and write table values directly in the image, either through
// the directory (TablePtr / RowPtr / TableSpan) or at the fixed offsets; both
// give the same bytes. Nothing marks which tables are valid: a table's bytes
// are what the last read, a loaded configuration or an editor put there.
// Multi-byte values are little-endian.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr int kTableCount = 47;
inline constexpr std::size_t kConfigImageSize = 1849;

// One directory entry. Constant data; the image place is an offset rather
// than a pointer (the directory is never stored anywhere).
struct TableDescriptor {
    uint8_t rows = 0;        // rows in the table; 0 = not in the image
    uint8_t rowSize = 0;     // bytes per row
    uint8_t configFlag = 0;  // 1 = configuration table (read by ReadAllTables,
                             // checked for damage, restorable from a file)
    uint16_t offset = 0;     // start of the table in ConfigImage (0 when empty)

    constexpr std::size_t Bytes() const { return std::size_t(rows) * rowSize; }
    constexpr bool Exists() const { return rows != 0; }
};

inline constexpr std::array<TableDescriptor, kTableCount> ConfigTableDir{{
    {18, 1, 0, 0},      //  0 identification
    {0, 0, 0, 0},       //  1 (no table)
    {8, 1, 1, 18},      //  2 controller clock
    {4, 1, 1, 26},      //  3 upper-level link
    {16, 22, 1, 30},    //  4 users
    {3, 20, 1, 382},    //  5 controller and line names
    {12, 1, 1, 442},    //  6 system parameters
    {47, 1, 0, 454},    //  7 table states
    {2, 1, 0, 501},     //  8 controller functions
    {6, 1, 1, 503},     //  9 flow-computer link
    {2, 4, 0, 509},     // 10 diagnostic archive bounds
    {2, 4, 0, 517},     // 11 intervention archive bounds
    {2, 4, 0, 525},     // 12 calibration-quality archive bounds
    {16, 16, 1, 533},   // 13 flow-computer write passwords
    {14, 1, 1, 789},    // 14 chromatograph MODBUS link
    {8, 1, 1, 803},     // 15 moisture-meter MODBUS link
    {18, 1, 0, 811},    // 16 abnormal-situation flags
    {16, 1, 1, 829},    // 17 flow-computer types
    {16, 1, 1, 845},    // 18 flow-computer addresses
    {16, 1, 1, 861},    // 19 pipeline write masks
    {16, 1, 1, 877},    // 20 flow-computer byte order
    {20, 1, 1, 893},    // 21 gas parameters to write
    {20, 4, 1, 913},    // 22 dead band
    {20, 4, 1, 993},    // 23 lower warning limit
    {20, 4, 1, 1073},   // 24 upper warning limit
    {20, 4, 1, 1153},   // 25 lower write limit
    {20, 4, 1, 1233},   // 26 upper write limit
    {3, 6, 0, 1313},    // 27 oldest archive record dates
    {2, 1, 1, 1331},    // 28 averaging period
    {7, 4, 1, 1333},    // 29 Ethernet link
    {22, 4, 0, 1361},   // 30 line 1 measured values
    {0, 0, 0, 0},       // 31 (no table)
    {20, 1, 0, 1449},   // 32 line 1 zones
    {2, 1, 0, 1469},    // 33 chromatograph / moisture-meter link state
    {16, 1, 0, 1471},   // 34 flow-computer link state
    {16, 1, 0, 1487},   // 35 flow-computer write state
    {0, 0, 0, 0},       // 36 (no table)
    {7, 4, 0, 1503},    // 37 moisture-meter values
    {22, 4, 0, 1531},   // 38 line 2 measured values
    {20, 1, 0, 1619},   // 39 line 2 zones
    {0, 0, 0, 0},       // 40 (no table)
    {1, 4, 0, 1639},    // 41 additional controller parameters
    {6, 1, 0, 1643},    // 42 chromatograph clock
    {20, 1, 1, 1649},   // 43 constant flags, line 1
    {20, 4, 1, 1669},   // 44 constant values, line 1
    {20, 1, 1, 1749},   // 45 constant flags, line 2
    {20, 4, 1, 1769},   // 46 constant values, line 2
}};

namespace config_detail {
// Every non-empty table starts where the previous one ends, and the last ends
// at the end of the image.
constexpr bool DirectoryIsContiguous() {
    std::size_t at = 0;
    for (const TableDescriptor& d : ConfigTableDir) {
        if (!d.Exists()) {
            if (d.rowSize != 0 || d.offset != 0 || d.configFlag != 0) return false;
            continue;
        }
        if (d.offset != at) return false;
        at += d.Bytes();
    }
    return at == kConfigImageSize;
}
constexpr int CountConfigTables() {
    int n = 0;
    for (const TableDescriptor& d : ConfigTableDir) n += d.configFlag ? 1 : 0;
    return n;
}
}  // namespace config_detail

static_assert(config_detail::DirectoryIsContiguous(),
              "the tables must lie end to end and fill the image exactly");
inline constexpr int kConfigTableCount = config_detail::CountConfigTables();
static_assert(kConfigTableCount == 25);

// The image itself: zero at program start, lives for the whole run.
extern std::array<uint8_t, kConfigImageSize> ConfigImage;

// Clears the image (start-up; tests use it for a clean state).
void InitConfigImage();

// True for 0..46 with rows in the image.
bool TableExists(int t);
// True for configuration tables (flag 1).
bool IsConfigTable(int t);
// Start of table t in the image; nullptr for an empty or unknown table.
uint8_t* TablePtr(int t);
// Start of row `row` of table t; nullptr when the table or row does not exist.
uint8_t* RowPtr(int t, int row);
// All bytes of table t (empty span for an empty or unknown table).
std::span<uint8_t> TableSpan(int t);
// Rows [first, first + rows) of table t; empty span when any of them is
// outside the table.
std::span<uint8_t> RowsSpan(int t, int first, int rows);

// Fixed places the program's logic tests (offsets in ConfigImage).
namespace cfgofs {
inline constexpr std::size_t kDamagedTable = 0;       // table 0 byte 0
inline constexpr std::size_t kControllerType = 1;     // 'I'
inline constexpr std::size_t kHardwareVersion = 2;
inline constexpr std::size_t kSoftwareVersion = 3;    // 11 or 14
inline constexpr std::size_t kSoftwareDate = 4;       // 6 bytes
inline constexpr std::size_t kByteOrder = 10;
inline constexpr std::size_t kMultiBaud = 11;
inline constexpr std::size_t kNamesCodePage = 12;     // 0 = table 5 names in cp866
inline constexpr std::size_t kFixedAddress = 13;
inline constexpr std::size_t kProtocolVersion = 14;   // 3 bytes
inline constexpr std::size_t kClock = 18;             // table 2
inline constexpr std::size_t kUpperLink = 26;         // table 3
inline constexpr std::size_t kUsers = 30;             // table 4
inline constexpr std::size_t kNames = 382;            // table 5, 3 x 20 bytes
inline constexpr std::size_t kSystem = 442;           // table 6
inline constexpr std::size_t kTableStates = 454;      // table 7
inline constexpr std::size_t kFlowLink = 503;         // table 9 (byte 0: flow computers)
inline constexpr std::size_t kChromLink = 789;        // table 14 (byte 6 type, 7 lines)
inline constexpr std::size_t kArchiveDates = 1313;    // table 27
inline constexpr std::size_t kLinkState = 1469;       // table 33
inline constexpr std::size_t kChromSerial = 1639;     // table 41
inline constexpr std::size_t kChromClock = 1643;      // table 42
}  // namespace cfgofs

// Names of table 5: controller, line 1, line 2; 20 bytes each, blank-padded.
inline constexpr int kNameCount = 3;
inline constexpr int kNameWidth = 20;
