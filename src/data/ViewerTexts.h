// Texts the archive viewers show, as plain code that their printed reports
// and spreadsheet exports share: printf into a string, the date-time text
// of a record and the rows of the moisture-meter and chromatograph viewers.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/ArchiveRecords.h"

// printf into a std::string (of any length).
std::string ViewerFormat(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// "dd.mm.yy hh:mm:ss" of a date record (day, month, year - 2000, ...).
std::string ViewerDateTimeText(const DeviceDateTime& d);

// ---- the moisture meter ---------------------------------------------------

// "  " + the value as the meter's values are written; value index 2 (the
// pressure) of a type 0 meter converted from bar to kgf/cm2.
std::string WmtValueText(float v, int index, uint8_t meterType);

// The texts of a record's row as the moisture-meter viewers show it: the
// eight columns, or only the two of the unreliable-record mark when the
// record's CRC fails. The printed report and the spreadsheet export take
// their texts from here too.
void WmtMomentaryRecordTexts(const WmtMomentaryRecord& r, uint8_t meterType, std::vector<std::string>& texts);
// The same for the hourly (daily false) or daily archive.
void WmtArchiveRecordTexts(const WmtArchiveRecord& r, uint8_t meterType, bool daily, std::vector<std::string>& texts);

// ---- the chromatograph ------------------------------------------------------
//
// The texts of a record as its viewer shows them, which the spreadsheet
// export takes too. ...DateTexts: the date-time grid's columns, column 0
// (the spacer) empty; only the unreliable-record mark when the record's CRC
// fails. ...ValueText: the value column of a gas-parameter code in a record
// whose CRC is good, "" where the viewer shows none (oxygen while the
// header's oxygen flag is off; the gas temperature of a verification).
// `gas` formats a value: the viewer with the display format's decimals as
// they were at its show, the export with those of the moment
// (FormatGasValue).
using GasValueFormat = std::function<std::string(float v, int code)>;

// Measurements: date, time.
void ChromMeasDateTexts(const ChromMeasRecord& r, std::vector<std::string>& texts);
std::string ChromMeasValueText(const ChromMeasRecord& r, int code, bool oxygen, const GasValueFormat& gas);
// Hourly (daily false) or daily values: date, start, end, measurements.
void HdmDateTexts(const HdmArchiveRecord& r, bool daily, std::vector<std::string>& texts);
std::string HdmValueText(const HdmArchiveRecord& r, int code, bool oxygen, const GasValueFormat& gas);
// Verifications: date, time, result, line.
void VerifDateTexts(const VerifRecord& r, std::vector<std::string>& texts);
std::string VerifValueText(const VerifRecord& r, int code, bool oxygen, const GasValueFormat& gas);
// Calibrations: date, time, result, line. The value column holds the value
// and its response factor, each as `bare` formats it (unpadded), or
// "     --" where the viewer shows none.
void CalibDateTexts(const CalibRecord& r, std::vector<std::string>& texts);
std::string CalibValueText(const CalibRecord& r, int code, bool oxygen, const GasValueFormat& bare);
// The second heading line of a calibration value column: unit + "Resp.Factor".
std::string CalibUnitHeading(int code);
