#include "common/ReportFormat.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/Suplfunc.h"
#include "platform/FileRead.h"
#include "platform/FileWrite.h"
#include "platform/Paths.h"

ReportFormatRecord DefaultReportFormat() {
    ReportFormatRecord r;
    std::fill(std::begin(r.ParamDigits), std::end(r.ParamDigits), uint8_t(4));
    std::fill(std::begin(r.QuantityDigits), std::end(r.QuantityDigits), uint8_t(4));
    return r;
}

ReportFormatRecord ReportFormat = DefaultReportFormat();

std::string ReportFormatPath() { return platform::InWorkDir("INI/rep_format.ini"); }

bool LoadReportFormat(const std::string& path, ReportFormatRecord& rec) {
    std::string bytes;
    // A name that cannot be read as a file (missing, a folder, a pipe, a bad
    // disk) is no format file: the defaults apply, not a record of zero decimals.
    if (platform::ReadRegularFile(path, bytes, sizeof(ReportFormatRecord)) != platform::ReadResult::Ok) {
        rec = DefaultReportFormat();
        return false;
    }
    uint8_t buf[sizeof(ReportFormatRecord)] = {};
    std::memcpy(buf, bytes.data(), bytes.size());
    std::memcpy(&rec, buf, sizeof buf);  // unread bytes stay 0
    return true;
}

bool SaveReportFormat(const std::string& path, const ReportFormatRecord& rec, std::string* error) {
    const std::string_view bytes(reinterpret_cast<const char*>(&rec), sizeof rec);
    return platform::WriteWholeFile(path, bytes, error) == platform::WriteResult::Ok;
}

int ParamDigitGroup(int code) {
    switch (code) {
        case 11:
        case 13:
        case 17:
        case 18: return kQtyHeatMJ;
        case 12: return kQtyDensity;
        case 14: return kQtyCompressibility;
        case 16: return kQtyTemperature;
        case 19: return kQtyRelDensity;
        default: return code >= 0 && code < kGasParamCount ? kQtyMolarFraction : -1;
    }
}

void DeriveParamDigits(ReportFormatRecord& rec) {
    for (int c = 0; c < kGasParamCount; ++c) rec.ParamDigits[c] = rec.QuantityDigits[ParamDigitGroup(c)];
}

int ParamDecimals(const ReportFormatRecord& rec, int code) {
    if (code < 0 || code >= kGasParamCount) return 0;
    return std::min<int>(rec.ParamDigits[code], kMaxDecimals);
}

int QuantityDecimals(const ReportFormatRecord& rec, int group) {
    if (group < 0 || group >= kQuantityGroupCount) return 0;
    return std::min<int>(rec.QuantityDigits[group], kMaxDecimals);
}

std::string FormatGasCell(float v, int decimals) {
    if (IsFloatNanInf(v)) return "  NAN";
    std::string s = FloatToStrFixed(v, 12, std::clamp(decimals, 0, kMaxDecimals));
    if (s.size() < 10) s.insert(0, 10 - s.size(), ' ');
    return s;
}

std::string FormatGasValue(float v, int code) { return FormatGasCell(v, ParamDecimals(code)); }

std::string FormatGasValueBare(float v, int code) {
    if (IsFloatNanInf(v)) return "NAN";
    return FloatToStrFixed(v, 12, ParamDecimals(code));
}
