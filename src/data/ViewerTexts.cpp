#include "data/ViewerTexts.h"

#include <cstdarg>
#include <cstdio>

#include "common/GasParams.h"
#include "common/ReportFormat.h"
#include "common/Suplfunc.h"
#include "data/WmtCaptions.h"

std::string ViewerFormat(const char* fmt, ...) {
    char small[512];
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    const int n = std::vsnprintf(small, sizeof small, fmt, ap);
    va_end(ap);
    std::string out;
    if (n < 0) {
        va_end(ap2);
        return out;
    }
    if (std::size_t(n) < sizeof small) {
        out.assign(small, std::size_t(n));
    } else {
        out.resize(std::size_t(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, ap2);
        out.resize(std::size_t(n));
    }
    va_end(ap2);
    return out;
}

std::string ViewerDateTimeText(const DeviceDateTime& d) {
    return ViewerFormat("%02d.%02d.%02d %02d:%02d:%02d", d.day, d.month, d.year, d.hour, d.minute, d.second);
}

namespace {
// The end of an interval: hourly as it stands; daily marked with a star
// when the end-hour byte says so, the hour without its flag bit otherwise.
template <class R>
std::string EndTimeText(const R& r, bool daily) {
    if (!daily) return ViewerFormat("   %02d:%02d:%02d", r.endHour, r.endMinute, r.endSecond);
    if (r.EndMarkedWithStar()) return ViewerFormat("   %02d:%02d:%02d*", r.endHour, r.endMinute, r.endSecond);
    return ViewerFormat("   %02d:%02d:%02d", r.EndHourValue(), r.endMinute, r.endSecond);
}
}  // namespace

// ---- the moisture meter ---------------------------------------------------

std::string WmtValueText(float v, int index, uint8_t meterType) {
    if (index == 2 && meterType == 0) v = float(double(v) * kBarToKgfCm2);
    return "  " + FormatValueWmt(v);
}

void WmtMomentaryRecordTexts(const WmtMomentaryRecord& r, uint8_t meterType, std::vector<std::string>& t) {
    if (!RecordCrcOk(r)) {
        t = {"     Данные", " недостов."};
        return;
    }
    t.resize(8);
    const DeviceDateTime& d = r.time;
    t[0] = ViewerFormat("  %02d.%02d.%02d", d.day, d.month, d.year);
    t[1] = ViewerFormat("  %02d:%02d:%02d", d.hour, d.minute, d.second);
    t[2] = r.status == 0 ? std::string("  Норма") : ViewerFormat("  0x%02X", r.status);
    if (r.status & 0x02) {
        for (int i = 0; i < kWmtValueCount; ++i) t[std::size_t(4 + i)] = "  Викл.";
    } else if (r.status & 0x04) {
        t[3] = " Нема зв'зку";
        for (int i = 0; i < kWmtValueCount; ++i) t[std::size_t(4 + i)] = "       0";
    } else {
        t[3] = r.MeterState() == 0 ? std::string("  Норма")
                                   : ViewerFormat("  0x%02X%02X", r.meterState[1], r.meterState[0]);
        for (int i = 0; i < kWmtValueCount; ++i) t[std::size_t(4 + i)] = WmtValueText(r.Value(i), i, meterType);
    }
}

void WmtArchiveRecordTexts(const WmtArchiveRecord& r, uint8_t meterType, bool daily, std::vector<std::string>& t) {
    if (!RecordCrcOk(r)) {
        t = {"     Дані", " недостов."};
        return;
    }
    t.resize(8);
    t[0] = ViewerFormat("  %02d.%02d.%02d", r.day, r.month, r.year);
    t[1] = ViewerFormat("  %02d:%02d:%02d", r.startHour, r.startMinute, r.startSecond);
    t[2] = EndTimeText(r, daily);
    t[3] = r.status == 0 ? std::string("  Норма") : ViewerFormat("  0x%02X", r.status);
    for (int i = 0; i < kWmtValueCount; ++i) {
        if (r.status & 0x02) t[std::size_t(4 + i)] = "  Викл.";
        else if (r.status & 0x04) t[std::size_t(4 + i)] = "      --";
        else t[std::size_t(4 + i)] = WmtValueText(r.Value(i), i, meterType);
    }
}

// ---- the chromatograph ------------------------------------------------------

void ChromMeasDateTexts(const ChromMeasRecord& r, std::vector<std::string>& t) {
    if (!RecordCrcOk(r)) {
        // Nothing of an unreliable record is shown but its mark.
        t = {"", "   Дані", " недостов."};
        return;
    }
    const DeviceDateTime& d = r.time;
    t = {"", ViewerFormat("  %02d.%02d.%02d", d.day, d.month, d.year),
         ViewerFormat("  %02d:%02d:%02d", d.hour, d.minute, d.second)};
}

std::string ChromMeasValueText(const ChromMeasRecord& r, int code, bool oxygen, const GasValueFormat& gas) {
    if (code == kParamOxygen && !oxygen) return {};
    // The first mark that applies fills every value cell.
    if (r.controllerStatus & 0x02) return " Выкл.";
    if (r.controllerStatus & 0x20) return "      --";
    if (r.controllerStatus & 0x80) return " Калібр.";
    return gas(r.Value(code), code);
}

namespace {
// Status bits that leave an interval without values.
constexpr uint8_t kNoValueBits = 0x22;  // bit 1 switched off, bit 5 no chromatograph link
}  // namespace

void HdmDateTexts(const HdmArchiveRecord& r, bool daily, std::vector<std::string>& t) {
    if (!RecordCrcOk(r)) {
        // Nothing of an unreliable record is shown but its mark.
        t = {"", "     Дані", "недостов."};
        return;
    }
    t.resize(5);
    t[1] = ViewerFormat("   %02d.%02d.%02d", r.day, r.month, r.year);
    t[2] = ViewerFormat("   %02d:%02d:%02d", r.startHour, r.startMinute, r.startSecond);
    t[3] = EndTimeText(r, daily);
    t[4] = ViewerFormat("   %d", int(r.Count()));
}

std::string HdmValueText(const HdmArchiveRecord& r, int code, bool oxygen, const GasValueFormat& gas) {
    if (code == kParamOxygen && !oxygen) return {};
    const float methane = r.Value(kParamMethane);
    const bool noValues = (r.status & kNoValueBits) != 0 || IsFloatNanInf(methane) || methane < 0.001f;
    return noValues ? std::string(" ---") : gas(r.Value(code), code);
}

void VerifDateTexts(const VerifRecord& r, std::vector<std::string>& t) {
    if (!RecordCrcOk(r)) {
        t = {"", "     Дані", "недостов."};
        return;
    }
    const DeviceDateTime& d = r.time;
    t = {"", ViewerFormat("   %02d.%02d.%02d", d.day, d.month, d.year),
         ViewerFormat("   %02d:%02d:%02d", d.hour, d.minute, d.second), r.result == 0 ? "   OK" : "  Bad",
         ViewerFormat("  %d", int(r.line))};
}

std::string VerifValueText(const VerifRecord& r, int code, bool oxygen, const GasValueFormat& gas) {
    if (code == kParamGasTemperature || (code == kParamOxygen && !oxygen)) return {};
    return gas(r.Value(code), code);
}

void CalibDateTexts(const CalibRecord& r, std::vector<std::string>& t) {
    if (!RecordCrcOk(r)) {
        t = {"", " Дані", "недост."};
        return;
    }
    const DeviceDateTime& d = r.time;
    t = {"", ViewerFormat(" %02d.%02d.%02d", d.day, d.month, d.year),
         ViewerFormat(" %02d:%02d:%02d", d.hour, d.minute, d.second), r.result == 0 ? "  Пройшла" : " Не пройшла",
         ViewerFormat("   %d", int(r.line))};
}

std::string CalibValueText(const CalibRecord& r, int code, bool oxygen, const GasValueFormat& bare) {
    if (code == kParamGasTemperature || (code == kParamOxygen && !oxygen)) return "     --";
    return " " + bare(r.Value(code), code) + "     " + bare(r.Factor(code), code);
}

std::string CalibUnitHeading(int c) {
    if (c == 11 || c == 13 || c == 17 || c == 18)
        return ViewerFormat(" %s+Resp.Factor", ParamUnit(c, ReportFormat.HeatUnitKcal));
    if (c == kParamCompressibility || c == 19) return " Знач.+Resp.Factor";
    return ViewerFormat("     %s+Resp.Factor", ParamUnitsKcal[c]);
}
