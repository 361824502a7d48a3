// The display format of gas values: digits after the decimal separator per
// gas parameter and per kind of quantity, the caption wording and the heat
// unit. One program-wide record, loaded from INI/rep_format.ini at start-up
// and read by every viewer, report and export.
//
// rep_format.ini is exactly the 33 bytes of the record, no header, no
// checksum. Bytes 0..3 come only from the file and are written back as read.
// The digit bytes are used as stored only within what the number formatter
// can show (0..18 decimals); a file with larger values keeps its bytes.
#pragma once
#include <cstdint>
#include <string>

#include "common/GasParams.h"  // kGasParamCount

// Groups of QuantityDigits (bytes 24..32).
enum QuantityGroup : int {
    kQtyMolarFraction = 0,    // composition, % (byte 24)
    kQtyHeatMJ = 1,           // heat value / Wobbe index, MJ/m3 (25)
    kQtyHeatKcal = 2,         // the same in kcal/m3 (26)
    kQtyHeatKWh = 3,          // the same in kWh/m3 (27)
    kQtyDensity = 4,          // density, kg/m3 (28)
    kQtyRelDensity = 5,       // relative density (29)
    kQtyPressure = 6,         // pressure, kgf/cm2 (30)
    kQtyTemperature = 7,      // temperature, °С (31)
    kQtyCompressibility = 8,  // compressibility factor (32)
};
inline constexpr int kQuantityGroupCount = 9;

// 33 bytes, the content of rep_format.ini.
struct ReportFormatRecord {
    uint8_t FractionWording = 0;               // 0: 1 volume-fraction wording ("ОД"), other molar ("МЧ")
    uint8_t HeatUnitKcal = 0;                  // 1: 1 kcal, other MJ
    uint8_t StandardKind = 0;                  // 2: kept as read
    uint8_t Reserved = 0;                      // 3: kept as read
    uint8_t ParamDigits[kGasParamCount] = {};  // 4..23: decimals per gas-parameter code
    uint8_t QuantityDigits[kQuantityGroupCount] = {};  // 24..32: decimals per quantity group
};
static_assert(sizeof(ReportFormatRecord) == 33);

// The program's display format. Holds the defaults until LoadReportFormat().
extern ReportFormatRecord ReportFormat;

// Flags 0, every digit count 4.
ReportFormatRecord DefaultReportFormat();

// Largest number of decimals the formatter shows.
inline constexpr int kMaxDecimals = 18;

// WorkDir/INI/rep_format.ini.
std::string ReportFormatPath();

// Reads the file into `rec`: when it cannot be opened or read, `rec` gets the
// defaults and the result is false (no file is created); otherwise the bytes
// it holds (up to 33) over a zeroed record (a short file leaves the rest 0).
bool LoadReportFormat(const std::string& path, ReportFormatRecord& rec);
// Writes the 33 bytes through a temporary file and a rename. False, with the
// system's reason in `error`, when the file cannot be written; the old file
// is then untouched.
bool SaveReportFormat(const std::string& path, const ReportFormatRecord& rec, std::string* error = nullptr);

// The quantity group whose digits a gas parameter takes: heat values and
// Wobbe indices (11, 13, 17, 18) the MJ digits, density (12), the
// compressibility factor (14), gas temperature (16), relative density (19)
// their own, every other code (composition and oxygen) the molar-fraction
// digits. -1 for a bad code.
int ParamDigitGroup(int code);
// ParamDigits[c] := QuantityDigits[ParamDigitGroup(c)] for c = 0..19 (as the
// display-format dialog does when accepted). Bytes 0..3 are not touched.
void DeriveParamDigits(ReportFormatRecord& rec);

// Decimals to use, clamped to 0..kMaxDecimals (0 for a bad index).
int ParamDecimals(const ReportFormatRecord& rec, int code);
int QuantityDecimals(const ReportFormatRecord& rec, int group);
inline int ParamDecimals(int code) { return ParamDecimals(ReportFormat, code); }
inline int QuantityDecimals(int group) { return QuantityDecimals(ReportFormat, group); }

// Value cell of the gas-value grids: "  NAN" for NaN or infinite values, else
// fixed notation with 12 significant digits and `decimals` decimals
// (clamped), padded with leading blanks to 10 characters.
std::string FormatGasCell(float v, int decimals);
// The same with the decimals of the code in the program's display format.
std::string FormatGasValue(float v, int code);
// Without padding, "NAN" for NaN or infinite values (calibration grid).
std::string FormatGasValueBare(float v, int code);
