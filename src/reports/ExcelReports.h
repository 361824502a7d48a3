// The report menu items of the gas-quality certificates ("Паспорт якості
// газу за добу" / "за місяць", per measuring line: the item's Tag is the
// line).
//
// A day certificate reads the day's daily records and the hourly records of
// the gas day (from the contract hour on) of the chromatograph and, when
// one is configured, of the moisture meter; a month certificate the daily
// records of the month. The records must lie in the period, one per hour
// (day), and the moisture meter's must match the chromatograph's; any
// failure is told and no certificate is made. Then the certificate window
// (Xls_Report.h) writes the file.
#pragma once
#include <vector>

#include "config/MainHost.h"

void NExcDayClick(MainHost& form, ui::MenuItem& item);
void NExcMonClick(MainHost& form, ui::MenuItem& item);

// NExcDay_1, NExcDay_2, NExcMon_1, NExcMon_2 and their handlers.
const std::vector<MenuBinding>& ExcelReportMenuBindings();
