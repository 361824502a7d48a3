// Texts the archive viewers show, as plain code that their printed reports
// and spreadsheet exports share: printf into a string, the date-time text
// of a record and the rows of the moisture-meter viewers.
#pragma once
#include <cstdint>
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
