// The program's words for the controller's codes: table titles, units,
// months, weekdays, option values, gas parameters, chromatograph errors and
// states, moisture-meter bits and events, device types, diagnostic events and
// access levels. One table of 472 texts (UTF-8), read by slot: the first slot
// of a group plus the code. The texts are shown exactly as they stand,
// leading blanks and abbreviations included; every one of them fits
// Windows-1251.
#pragma once

inline constexpr int kTextTableSize = 472;

// Constant data, valid from program start; no slot ever changes.
extern const char* const TextTable[kTextTableSize];

// Kept for the start-up sequence, which calls it before any window uses a
// text; the table needs no filling.
void InitTexts();

// A group of slots: `first` slot and `count` codes 0..count-1.
struct TextGroup {
    int first;
    int count;
    constexpr bool Has(int code) const { return code >= 0 && code < count; }
    // The text of a code, or nullptr for a code outside the group (the
    // caller shows its own numeric fallback then).
    const char* At(int code) const { return Has(code) ? TextTable[first + code] : nullptr; }
};

namespace texts {
inline constexpr TextGroup TableNames{0, 47};             // by table number; 31 empty
inline constexpr TextGroup UnitNames{47, 37};             // by unit code; 0 empty
inline constexpr TextGroup MonthNames{84, 13};            // 0 "Перехід заборонено", 1..12 months
inline constexpr TextGroup MonthNamesGenitive{97, 12};    // January..December, genitive
inline constexpr TextGroup WeekOrdinalNames{109, 5};      // "Перший".."Останній"
inline constexpr TextGroup DayNames{114, 7};              // Sunday..Saturday
inline constexpr TextGroup DayNamesShort{121, 7};         // Sunday..Saturday, short
inline constexpr TextGroup SeasonNames{128, 2};           // summer, winter
inline constexpr TextGroup ArchiveNames{130, 10};         // archive titles
inline constexpr TextGroup ModbusModeNames{140, 2};       // " ASCII", " RTU"
inline constexpr TextGroup ParityNames{142, 5};           // parities
inline constexpr TextGroup OptionWords{147, 12};          // see the slots below
inline constexpr TextGroup ZoneNames{159, 5};             // by zone code 0..4
inline constexpr TextGroup MoreOptionWords{164, 5};       // see the slots below
inline constexpr TextGroup GasParamNames{169, 20};        // by gas-parameter code
inline constexpr TextGroup GasParamCaptions{189, 20};     // short grid captions
inline constexpr TextGroup ChromErrorTexts{209, 79};      // by error code; 0 empty
inline constexpr TextGroup ChromStateNames{288, 11};      // by state code
inline constexpr TextGroup WmtValueNames{299, 5};         // moisture-meter values
inline constexpr TextGroup WmtStatusBitNames{304, 16};    // by status-word bit
inline constexpr TextGroup WmtEventNames{320, 8};         // moisture-meter events
inline constexpr TextGroup ChromTypeNames{328, 7};        // by chromatograph type code
inline constexpr TextGroup WmtTypeNames{335, 3};          // by moisture-meter type code
inline constexpr TextGroup OvgTypeNames{338, 4};          // by flow-computer type code
inline constexpr TextGroup AvgSendModeNames{342, 3};      // send modes of averaged values
inline constexpr TextGroup EventTexts{345, 82};           // by diagnostic event code; 0 empty
inline constexpr TextGroup GasParamMolarNames{427, 20};   // molar wording
inline constexpr TextGroup GasParamVolumeNames{447, 20};  // volume wording
inline constexpr TextGroup AccessLevelNames{467, 5};      // access levels

// Single slots of the option-word groups.
inline constexpr int kNotNeeded = 147;        // "Не потреб."
inline constexpr int kNeeded = 148;           // "Потреб."
inline constexpr int kOvgWriteModes = 149;    // 149..152 flow-computer write modes
inline constexpr int kAbsent = 153;           // "Нема"
inline constexpr int kPresent = 154;          // "Є"
inline constexpr int kNo = 155;               // "Ні"
inline constexpr int kYes = 156;              // "Так"
inline constexpr int kByteOrders = 157;       // 157..158 byte orders
inline constexpr int kAbsCalibration = 164;   // "Абс. калібровка"
inline constexpr int kInternalNormal = 165;   // "Внутр. нормаліз."
inline constexpr int kPreviousYear = 166;     // "Попередній рік"
inline constexpr int kBaseYear = 167;         // "Базовий рік"
inline constexpr int kTimeType = 168;         // "Тип часу"

// Chromatograph error codes the readers show (1..78).
inline constexpr int kChromErrorLast = 78;
}  // namespace texts
