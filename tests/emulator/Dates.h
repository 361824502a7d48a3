// Civil dates as the controller keeps them: seconds since 1970 with the
// controller's local time taken as if it were UTC.
#pragma once
#include <cstdint>
#include <vector>

#include "emulator/Controller.h"

namespace emu::date {

int64_t DaysFromCivil(int y, int m, int d);
void CivilFromDays(int64_t z, int& y, int& m, int& d);
int DaysInMonth(int y, int m);
int WeekdayOfDays(int64_t days);  // 0 = Sunday
int64_t ToSeconds(const DeviceTime& t);
DeviceTime FromSeconds(int64_t s);
int TransitionDay(int year, int month, uint8_t dayByte);
// 0 summer time, 1 winter time, by the transition rules of table 6 bytes 0..5.
uint8_t SeasonFlag(const DeviceTime& t, const std::vector<uint8_t>& rules);

}  // namespace emu::date
