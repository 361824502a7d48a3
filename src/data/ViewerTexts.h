// Texts the archive viewers show, as plain code that their printed reports
// and spreadsheet exports share: printf into a string and the date-time
// text of a record.
#pragma once
#include <string>

#include "data/ArchiveRecords.h"

// printf into a std::string (of any length).
std::string ViewerFormat(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// "dd.mm.yy hh:mm:ss" of a date record (day, month, year - 2000, ...).
std::string ViewerDateTimeText(const DeviceDateTime& d);
