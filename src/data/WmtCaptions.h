// Column captions of the moisture meter's four values, four lines each, by
// meter type (archive header byte 47): type 0 shows the pressure in kgf/cm2,
// type 2 a plain pressure in bar, every other type the gauge pressure in bar.
// Shared by the moisture-meter viewers, their printed report and their
// spreadsheet export.
#pragma once
#include <cstdint>

#include "data/ArchiveRecords.h"  // kWmtValueCount

extern const char* const WmtCaptionsBar[kWmtValueCount][4];
extern const char* const WmtCaptionsKgf[kWmtValueCount][4];
extern const char* const WmtCaptionsPressure[kWmtValueCount][4];

// The table of a meter type.
const char* const (*WmtCaptionsFor(uint8_t meterType))[4];

// Type 0 meters report bar; the program shows kgf/cm2.
inline constexpr double kBarToKgfCm2 = 1.019716213;
