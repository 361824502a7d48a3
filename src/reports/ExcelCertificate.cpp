#include "reports/ExcelCertificate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/Suplfunc.h"
#include "platform/Paths.h"

const uint8_t ExcelColumnOrder[20] = {8, 10, 1, 2, 3, 4, 5, 6, 0, 15, 7, 9, 12, 18, 11, 13, 255, 255, 255, 255};
const uint8_t ExcelMoistOrder[4] = {0, 3, 1, 2};

namespace {

using namespace certmap;

bool IsHeatCode(int code) { return code == 11 || code == 13 || code == 18; }

std::string Printf(const char* fmt, int a, int b, int c, int d = 0, int e = 0, int f = 0, int g = 0, int h = 0) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, a, b, c, d, e, f, g, h);
    return buf;
}

bool Put(sheet::Worksheet& ws, int row, int col, const std::string& text) {
    return ws.Cells(row, col).SetValue(text);
}

// The serial number, object and period cells of both certificates.
bool WriteHeading(sheet::Worksheet& ws, const CertificateInput& in, const std::string& period) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "Серійний номер хроматографа %u;  %s", unsigned(in.serial), in.lineName.c_str());
    bool ok = Put(ws, kSerialRow, kSerialCol, buf);
    ok = Put(ws, kObjectRow, kObjectCol, in.objectName) && ok;
    return Put(ws, kPeriodRow, kPeriodCol, period) && ok;
}

int DigitsOf(const ReportFormatRecord& fmt, int group) { return QuantityDecimals(fmt, group); }

}  // namespace

bool ChromRowValid(const HdmArchiveRecord& r) {
    if (!RecordCrcOk(r)) return false;
    if (r.status & 0x22) return false;
    const float methane = r.Value(kParamMethane);
    return !IsFloatNanInf(methane) && methane >= 0.001f;
}

bool MoistRowValid(const WmtArchiveRecord& r) { return RecordCrcOk(r) && (r.status & 0x06) == 0; }

std::string CertificateValue(double v, int digits) {
    if (!std::isfinite(v)) return "NAN";
    return FloatToStrFixed(v, 12, std::clamp(digits, 0, kMaxDecimals));
}

bool WriteChromReportRow(sheet::Worksheet& ws, int row, const HdmArchiveRecord& r, bool oxygen,
                         const ReportFormatRecord& fmt) {
    const bool valid = ChromRowValid(r);
    bool ok = true;
    int col = kFirstChromCol;
    for (uint8_t code : ExcelColumnOrder) {
        if (code == 255) break;
        const int width = IsHeatCode(code) ? 3 : 1;
        if (code == kParamOxygen && !oxygen) {
            col += width;
            continue;
        }
        if (!valid) {
            for (int i = 0; i < width; ++i) ok = Put(ws, row, col + i, "--") && ok;
        } else {
            const float f = r.Value(code);
            const double v = IsFloatNanInf(f) ? NAN : double(f);
            if (width == 3) {
                ok = Put(ws, row, col, CertificateValue(v * kMJToKcal, DigitsOf(fmt, kQtyHeatKcal))) && ok;
                ok = Put(ws, row, col + 1, CertificateValue(v, DigitsOf(fmt, kQtyHeatMJ))) && ok;
                ok = Put(ws, row, col + 2, CertificateValue(v * kMJToKWh, DigitsOf(fmt, kQtyHeatKWh))) && ok;
            } else {
                ok = Put(ws, row, col, CertificateValue(v, ParamDecimals(fmt, code))) && ok;
            }
        }
        col += width;
    }
    if (valid) {
        const float t = r.Value(kParamGasTemperature);
        ok = Put(ws, row, kTemperatureCol,
                 CertificateValue(IsFloatNanInf(t) ? NAN : double(t), DigitsOf(fmt, kQtyTemperature))) &&
             ok;
    }
    return ok;
}

bool WriteMoistReportRow(sheet::Worksheet& ws, int row, const WmtArchiveRecord& r, const ReportFormatRecord& fmt) {
    const bool valid = MoistRowValid(r);
    bool ok = true;
    for (int i = 0; i < kWmtValueCount; ++i) {
        const int col = kFirstMoistCol + i;
        if (!valid) {
            ok = Put(ws, row, col, "--") && ok;
            continue;
        }
        const int index = ExcelMoistOrder[i];
        const float f = r.Value(index);
        double v = IsFloatNanInf(f) ? NAN : double(f);
        int digits = DigitsOf(fmt, kQtyTemperature);
        if (index == 2) {   // the pressure, in kgf/cm2
            v *= 1.019716213;
            digits = DigitsOf(fmt, kQtyPressure);
        }
        ok = Put(ws, row, col, CertificateValue(v, digits)) && ok;
    }
    return ok;
}

bool WriteDayReport(sheet::Worksheet& ws, const CertificateInput& in) {
    const std::size_t n = std::min<std::size_t>({in.chrom.size(), in.slotDates.size(), std::size_t(kDayRows)});
    std::string period;
    if (n > 0) {
        const DeviceDateTime& a = in.slotDates[0];
        const DeviceDateTime& b = in.slotDates[n - 1];
        period = Printf("За період з %02d.%02d.%02d %02d:00  по  %02d.%02d.%02d %02d:00", a.day, a.month, a.year,
                        a.hour, b.day, b.month, b.year, b.hour);
    }
    bool ok = WriteHeading(ws, in, period);
    for (std::size_t i = 0; i < n; ++i) {
        const int row = kFirstRow + int(i);
        const DeviceDateTime& s = in.slotDates[i];
        ok = Put(ws, row, kDateCol, Printf("%02d.%02d.%02d  %02d:00", s.day, s.month, s.year, s.hour)) && ok;
        ok = WriteChromReportRow(ws, row, in.chrom[i], in.oxygen, in.format) && ok;
        if (i < in.moist.size()) ok = WriteMoistReportRow(ws, row, in.moist[i], in.format) && ok;
    }
    if (in.chromSummary) ok = WriteChromReportRow(ws, kDaySummaryRow, *in.chromSummary, in.oxygen, in.format) && ok;
    if (in.moistSummary) ok = WriteMoistReportRow(ws, kDaySummaryRow, *in.moistSummary, in.format) && ok;
    return ok;
}

bool WriteMonthReport(sheet::Worksheet& ws, const CertificateInput& in) {
    const std::size_t n = std::min(in.chrom.size(), in.slotDates.size());
    std::string period;
    if (n > 0) {
        const DeviceDateTime& a = in.slotDates[0];
        const DeviceDateTime& b = in.slotDates[n - 1];
        period = Printf("За період з %02d.%02d.%02d по  %02d.%02d.%02d", a.day, a.month, a.year, b.day, b.month,
                        b.year);
    }
    bool ok = WriteHeading(ws, in, period);
    for (std::size_t i = 0; i < n; ++i) {
        // Each day in its own row: a day missing from the archive leaves
        // its row empty and moves no other day.
        const int day = in.slotDates[i].day;
        if (day < 1 || day > kMonthRows) continue;
        const int row = day + kFirstRow - 1;
        ok = WriteChromReportRow(ws, row, in.chrom[i], in.oxygen, in.format) && ok;
        if (i < in.moist.size()) ok = WriteMoistReportRow(ws, row, in.moist[i], in.format) && ok;
    }
    if (in.chromSummary) {
        const HdmArchiveRecord& s = *in.chromSummary;
        for (auto [code, col] : {std::pair{18, kInferiorHeatCol}, std::pair{11, kSuperiorHeatCol}}) {
            const float f = s.Value(code);
            const double v = IsFloatNanInf(f) ? NAN : double(f);
            ok = Put(ws, kMonthSummaryRow, col, CertificateValue(v * kMJToKcal, DigitsOf(in.format, kQtyHeatKcal))) &&
                 ok;
            ok = Put(ws, kMonthSummaryRow, col + 1, CertificateValue(v, DigitsOf(in.format, kQtyHeatMJ))) && ok;
            ok = Put(ws, kMonthSummaryRow, col + 2, CertificateValue(v * kMJToKWh, DigitsOf(in.format, kQtyHeatKWh))) &&
                 ok;
        }
    }
    return ok;
}

HdmArchiveRecord MonthSummary(std::span<const HdmArchiveRecord> records) {
    double sums[kGasParamCount] = {};
    int n = 0;
    for (const HdmArchiveRecord& r : records) {
        if (!ChromRowValid(r)) continue;
        for (int k = 0; k < kGasParamCount; ++k) sums[k] += double(r.Value(k));
        ++n;
    }
    HdmArchiveRecord s;
    for (int k = 0; k < kGasParamCount; ++k) s.SetValue(k, n ? float(sums[k] / n) : 0.0f);
    return s;
}

DeviceDateTime RecordSlotDate(const HdmArchiveRecord& r) { return {r.year, r.month, r.day, r.startHour, 0, 0}; }
DeviceDateTime RecordSlotDate(const WmtArchiveRecord& r) { return {r.year, r.month, r.day, r.startHour, 0, 0}; }

namespace {

DeviceDateTime ByUnit(DeviceDateTime d, int unit) {
    d.minute = d.second = 0;
    if (unit != 0) d.hour = 0;
    return d;
}

}  // namespace

bool AssignSlots(std::span<const DeviceDateTime> dates, std::span<const uint8_t> crcOk, const DeviceDateTime& first,
                 const DeviceDateTime& last, int unit, std::vector<DeviceDateTime>& slotDates) {
    slotDates.clear();
    const DeviceDateTime end = ByUnit(last, unit);
    DeviceDateTime expected = ByUnit(first, unit);
    bool past = false;   // expected has run beyond the last hour (day) of 2255
    for (std::size_t i = 0; i < dates.size(); ++i) {
        const DeviceDateTime d = ByUnit(dates[i], unit);
        const bool ok = i < crcOk.size() && crcOk[i];
        const bool fits = IsValidRec(d) && !past && CompareRecByUnit(d, expected, unit) >= 0 &&
                          CompareRecByUnit(d, end, unit) <= 0;
        DeviceDateTime slot;
        if (fits) {
            slot = d;
        } else if (ok || past || CompareRecByUnit(expected, end, unit) > 0) {
            return false;
        } else {
            slot = expected;
        }
        slotDates.push_back(slot);
        expected = slot;
        const DeviceDateTime before = expected;
        IncRec(expected, unit);
        if (CompareRecByUnit(expected, before, unit) <= 0) past = true;
    }
    return true;
}

bool PairSlots(std::vector<DeviceDateTime>& chromSlots, std::span<const uint8_t> chromOk,
               std::vector<DeviceDateTime>& moistSlots, std::span<const uint8_t> moistOk, int unit) {
    const std::size_t n = std::min(chromSlots.size(), moistSlots.size());
    for (std::size_t i = 0; i < n; ++i) {
        const bool a = i < chromOk.size() && chromOk[i];
        const bool b = i < moistOk.size() && moistOk[i];
        if (a && b) {
            if (CompareRecByUnit(chromSlots[i], moistSlots[i], unit) != 0) return false;
        } else if (a) {
            moistSlots[i] = chromSlots[i];
        } else if (b) {
            chromSlots[i] = moistSlots[i];
        }
    }
    // A borrowed slot must still keep the rows in order.
    for (std::size_t i = 1; i < n; ++i)
        if (CompareRecByUnit(chromSlots[i - 1], chromSlots[i], unit) >= 0) return false;
    return true;
}

std::string CertificateNamePart(const std::string& utf8) {
    std::string out = utf8;
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '/' || c == '\\') c = '_';
    }
    const std::size_t b = out.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    const std::size_t e = out.find_last_not_of(' ');
    return out.substr(b, e - b + 1);
}

std::string CertificateFileName(int kind, const std::string& objectName, const std::string& lineName,
                                const ReportDate& d) {
    char tail[32];
    if (kind == 0)
        std::snprintf(tail, sizeof tail, "_day_%02d%02d%02d.xlsx", d.year, d.month, d.day);
    else
        std::snprintf(tail, sizeof tail, "_mon_%02d%02d.xlsx", d.year, d.month);
    return platform::InWorkDir("REPORT/" + CertificateNamePart(objectName) + "_" + CertificateNamePart(lineName) +
                               tail);
}
