// The controller's archive records and the text rows of saved message lists.
//
// Every archive record is a packed little-endian byte record: its date comes
// first and its last two bytes are the CRC-16/MODBUS of the bytes before
// them, low byte first. A record is valid when the CRC over the whole record,
// its stored CRC included, is 0. Records whose CRC fails are still kept,
// shown as unreliable and saved unchanged.
//
// The structs below hold nothing but bytes (every field is a byte or a byte
// array), so they have alignment 1 and can be copied to and from files and
// frames byte for byte. Multi-byte numbers are read and written through the
// accessors (little-endian whatever the host).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/GasParams.h"  // kGasParamCount
#include <string_view>
#include <type_traits>

#include "common/Crc16.h"
#include "common/Dtfun.h"
#include "common/Suplfunc.h"

// Number of moisture-meter values (kGasParamCount comes with the gas-parameter
// vocabulary).
inline constexpr int kWmtValueCount = 4;

// ---- the records ---------------------------------------------------------

// Chromatograph measured value, one per analysis (94 bytes).
struct ChromMeasRecord {
    DeviceDateTime time;                      // 0: moment of the analysis
    uint8_t spare6 = 0;                       // 6: kept as read
    uint8_t controllerStatus = 0;             // 7: bit 1 switched off, bit 5 no chromatograph link,
                                              //    bit 7 chromatograph in calibration
    uint8_t chromStatus[2] = {};              // 8: u16 chromatograph status word
    uint8_t spare10[2] = {};                  // 10: kept as read
    uint8_t values[kGasParamCount * 4] = {};  // 12: f32 of code k at 12 + 4k
    uint8_t crc[2] = {};                      // 92

    uint16_t ChromStatus() const { return GetU16(chromStatus); }
    void SetChromStatus(uint16_t v) { PutU16(chromStatus, v); }
    float Value(int code) const { return GetF32(values + 4 * code); }
    void SetValue(int code, float v) { PutF32(values + 4 * code, v); }
};

// Chromatograph hourly or daily value (94 bytes).
struct HdmArchiveRecord {
    uint8_t year = 0;                         // 0: year - 2000 of the interval
    uint8_t month = 0;                        // 1
    uint8_t day = 0;                          // 2
    uint8_t startHour = 0;                    // 3
    uint8_t startMinute = 0;                  // 4
    uint8_t startSecond = 0;                  // 5
    uint8_t endHour = 0;                      // 6: daily archive: bit 7 set = plain hour in bits 0..6,
                                              //    bit 7 clear = the end is shown with a "*"
    uint8_t endMinute = 0;                    // 7
    uint8_t endSecond = 0;                    // 8
    uint8_t status = 0;                       // 9: bit 1 switched off, bit 5 no chromatograph link
    uint8_t count[2] = {};                    // 10: u16 valid measurements averaged
    uint8_t values[kGasParamCount * 4] = {};  // 12
    uint8_t crc[2] = {};                      // 92

    uint16_t Count() const { return GetU16(count); }
    void SetCount(uint16_t v) { PutU16(count, v); }
    float Value(int code) const { return GetF32(values + 4 * code); }
    void SetValue(int code, float v) { PutF32(values + 4 * code, v); }
    // Date and start time of the interval.
    DeviceDateTime Start() const { return {year, month, day, startHour, startMinute, startSecond}; }
    // End hour without the daily marker bit; true when the daily marker is clear.
    uint8_t EndHourValue() const { return static_cast<uint8_t>(endHour & 0x7F); }
    bool EndMarkedWithStar() const { return (endHour & 0x80) == 0; }
};

// Chromatograph verification result (90 bytes).
struct VerifRecord {
    DeviceDateTime time;                      // 0
    uint8_t line = 0;                         // 6: measuring-line number, shown as stored
    uint8_t result = 0;                       // 7: 0 passed, other failed
    uint8_t values[kGasParamCount * 4] = {};  // 8: f32 of code k at 8 + 4k
    uint8_t crc[2] = {};                      // 88

    float Value(int code) const { return GetF32(values + 4 * code); }
    void SetValue(int code, float v) { PutF32(values + 4 * code, v); }
};

// Chromatograph calibration result (170 bytes).
struct CalibRecord {
    DeviceDateTime time;                       // 0
    uint8_t line = 0;                          // 6
    uint8_t result = 0;                        // 7: 0 passed, other failed
    uint8_t values[kGasParamCount * 4] = {};   // 8
    uint8_t factors[kGasParamCount * 4] = {};  // 88: response factors
    uint8_t crc[2] = {};                       // 168

    float Value(int code) const { return GetF32(values + 4 * code); }
    void SetValue(int code, float v) { PutF32(values + 4 * code, v); }
    float Factor(int code) const { return GetF32(factors + 4 * code); }
    void SetFactor(int code, float v) { PutF32(factors + 4 * code, v); }
};

// Moisture-meter single measurement (29 bytes).
struct WmtMomentaryRecord {
    DeviceDateTime time;                      // 0
    uint8_t status = 0;                       // 6: bit 1 switched off, bit 2 no meter link; 0 normal
    uint8_t spare7[2] = {};                   // 7: not interpreted
    uint8_t meterState[2] = {};               // 9: u16 meter state word (9 low, 10 high); 0 normal
    uint8_t values[kWmtValueCount * 4] = {};  // 11: value i (0..3) at 11 + 4i
    uint8_t crc[2] = {};                      // 27

    uint16_t MeterState() const { return GetU16(meterState); }
    void SetMeterState(uint16_t v) { PutU16(meterState, v); }
    float Value(int i) const { return GetF32(values + 4 * i); }
    void SetValue(int i, float v) { PutF32(values + 4 * i, v); }
};

// Moisture-meter hourly or daily value (28 bytes).
struct WmtArchiveRecord {
    uint8_t year = 0;                         // 0
    uint8_t month = 0;                        // 1
    uint8_t day = 0;                          // 2
    uint8_t startHour = 0;                    // 3
    uint8_t startMinute = 0;                  // 4
    uint8_t startSecond = 0;                  // 5
    uint8_t endHour = 0;                      // 6: daily marker in bit 7 as in HdmArchiveRecord
    uint8_t endMinute = 0;                    // 7
    uint8_t endSecond = 0;                    // 8
    uint8_t status = 0;                       // 9: bit 1 switched off, bit 2 no meter link
    uint8_t values[kWmtValueCount * 4] = {};  // 10: value i at 10 + 4i
    uint8_t crc[2] = {};                      // 26

    float Value(int i) const { return GetF32(values + 4 * i); }
    void SetValue(int i, float v) { PutF32(values + 4 * i, v); }
    DeviceDateTime Start() const { return {year, month, day, startHour, startMinute, startSecond}; }
    uint8_t EndHourValue() const { return static_cast<uint8_t>(endHour & 0x7F); }
    bool EndMarkedWithStar() const { return (endHour & 0x80) == 0; }
};

// Diagnostic message (22 bytes).
struct DiagnosticRecord {
    DeviceDateTime time;       // 0
    uint8_t event = 0;         // 6: event code
    uint8_t spare7 = 0;        // 7
    uint8_t object = 0;        // 8: table number or device/object code
    uint8_t index = 0;         // 9: row, field, parameter code, bit, address
    uint8_t value[4] = {};     // 10: f32 (limit events), u32 (checksum), error code
    uint8_t setpoint[4] = {};  // 14: f32 (limit events), u32 (new checksum)
    uint8_t spare18[2] = {};   // 18
    uint8_t crc[2] = {};       // 20

    float ValueF32() const { return GetF32(value); }
    uint32_t ValueU32() const { return GetU32(value); }
    float SetpointF32() const { return GetF32(setpoint); }
    uint32_t SetpointU32() const { return GetU32(setpoint); }
};

// Operator intervention: one changed configuration value (24 bytes).
struct InterventionRecord {
    DeviceDateTime time;           // 0
    uint8_t spare6 = 0;            // 6
    uint8_t table = 0;             // 7: configuration table 0..46
    uint8_t field = 0;             // 8: field or row number
    uint8_t unit = 0;              // 9: unit code (valid below 37)
    uint8_t oldValue[4] = {};      // 10
    uint8_t newValue[4] = {};      // 14
    uint8_t operatorName[4] = {};  // 18: four characters
    uint8_t crc[2] = {};           // 22
};

// ---- text rows of saved message lists ------------------------------------

// Zero-padded Windows-1251 text fields. Set() cuts the text so that at least
// one zero byte ends every field; Get() reads up to the first zero byte (or
// the field's end) and gives UTF-8.
void SetRowField(uint8_t* field, std::size_t width, std::string_view utf8);
std::string GetRowField(const uint8_t* field, std::size_t width);

// One line of the diagnostic-message list as saved in an .ala file (300 bytes).
struct DiagnosticRow {
    uint8_t date[20] = {};
    uint8_t time[20] = {};
    uint8_t event[100] = {};
    uint8_t object[100] = {};
    uint8_t value[20] = {};
    uint8_t setpoint[20] = {};
    uint8_t unit[20] = {};

    static constexpr int kFieldCount = 7;
    // Field i in column order: date, time, event, object, value, setpoint, unit.
    void Set(int i, std::string_view utf8);
    std::string Get(int i) const;
};

// One line of the intervention list as saved in an .aud file (205 bytes).
struct InterventionRow {
    uint8_t date[20] = {};
    uint8_t time[20] = {};
    uint8_t parameter[100] = {};
    uint8_t oldValue[20] = {};
    uint8_t newValue[20] = {};
    uint8_t unit[20] = {};
    uint8_t operatorName[5] = {};

    static constexpr int kFieldCount = 7;
    // Field i in column order: date, time, parameter, old, new, unit, operator.
    void Set(int i, std::string_view utf8);
    std::string Get(int i) const;
};

static_assert(sizeof(ChromMeasRecord) == 94);
static_assert(sizeof(HdmArchiveRecord) == 94);
static_assert(sizeof(VerifRecord) == 90);
static_assert(sizeof(CalibRecord) == 170);
static_assert(sizeof(WmtMomentaryRecord) == 29);
static_assert(sizeof(WmtArchiveRecord) == 28);
static_assert(sizeof(DiagnosticRecord) == 22);
static_assert(sizeof(InterventionRecord) == 24);
static_assert(sizeof(DiagnosticRow) == 300);
static_assert(sizeof(InterventionRow) == 205);

// ---- kinds, sizes, CRC ----------------------------------------------------

// What one entry of an archive array or file is.
enum class RecordKind : uint8_t {
    ChromMeas,        // ChromMeasRecord
    Hdm,              // HdmArchiveRecord
    Calib,            // CalibRecord
    Verif,            // VerifRecord
    WmtMomentary,     // WmtMomentaryRecord
    WmtArchive,       // WmtArchiveRecord
    Diagnostic,       // DiagnosticRecord
    Intervention,     // InterventionRecord
    DiagnosticRow,    // DiagnosticRow (.ala files)
    InterventionRow,  // InterventionRow (.aud files)
};

// Bytes of one entry of the kind.
std::size_t RecordSizeOf(RecordKind kind);

// The byte records of this unit.
template <class R>
concept ArchiveRecordType = std::is_trivially_copyable_v<R> && std::is_standard_layout_v<R> &&
                                alignof(R) == 1 &&
                            (sizeof(R) >= 3);

// Valid when the CRC over all `size` bytes (the stored CRC included) is 0.
inline bool RecordCrcOk(const void* record, std::size_t size) {
    return size >= 2 && Crc16(record, size) == 0;
}
template <ArchiveRecordType R>
bool RecordCrcOk(const R& r) {
    return RecordCrcOk(&r, sizeof(R));
}

// Stores the CRC of the first size - 2 bytes into the last two (as the
// controller does; used by tests and the emulator).
inline void SealRecord(void* record, std::size_t size) {
    if (size >= 2) Crc16Append(static_cast<uint8_t*>(record), size - 2);
}
template <ArchiveRecordType R>
void SealRecord(R& r) {
    SealRecord(&r, sizeof(R));
}
