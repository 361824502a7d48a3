#include "reports/PrnText.h"

#include <algorithm>
#include <fstream>

#include "common/Suplfunc.h"
#include "data/ViewerTexts.h"
#include "platform/Codepage.h"
#include "platform/FileRead.h"
#include "platform/FileWrite.h"
#include "platform/Paths.h"

// ---- the report heading ---------------------------------------------------

std::string TitleIniPath() { return platform::InWorkDir("INI/title.ini"); }

std::string ReadReportHeading(const std::string& path) {
    std::string bytes;
    if (platform::ReadRegularFile(path, bytes, kReportHeadingBytes) != platform::ReadResult::Ok) return {};
    const char* buf = bytes.data();
    const std::size_t got = bytes.size();
    const std::size_t n = std::find(buf, buf + got, '\0') - buf;
    return platform::Cp1251ToUtf8(std::string_view(buf, n));
}

namespace {
std::string HeadingBytes(const std::string& utf8) {
    std::string bytes = platform::Utf8ToCp1251(utf8);
    // A zero byte would end the heading early when it is read back.
    bytes = bytes.substr(0, std::min(bytes.find('\0'), kReportHeadingBytes));
    return bytes;
}
}  // namespace

std::string StoredReportHeading(const std::string& utf8) { return platform::Cp1251ToUtf8(HeadingBytes(utf8)); }

bool WriteReportHeading(const std::string& path, const std::string& utf8, std::string* error) {
    std::string bytes = HeadingBytes(utf8);
    bytes.resize(kReportHeadingBytes, '\0');
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) platform::EnsureDir(path.substr(0, slash));
    std::string why;
    if (platform::WriteWholeFile(path, bytes, &why) == platform::WriteResult::Ok) return true;
    if (error) *error = why.empty() ? "cannot write " + path : why;
    return false;
}

// ---- texts ---------------------------------------------------------------

std::string PrnControllerLine(const ArchiveFileHeader& h) {
    return ViewerFormat("Контролер \"%s\"  (адреса %d)", h.ControllerNameText().c_str(), h.ControllerAddress);
}

// The last letter of "контролерa" is a Latin a: the reports have always
// printed it so.
std::string PrnVersionLine() { return ViewerFormat("контролерa ЗБР_%02d", kArchiveProgramVersion); }

namespace {

std::string LongPeriod(const char* fmt, const ArchiveFileHeader& h) {
    const DeviceDateTime& f = h.FromDate;
    const DeviceDateTime& t = h.ToDate;
    return ViewerFormat(fmt, f.day, f.month, f.year, f.hour, f.minute, f.second, t.day, t.month, t.year, t.hour,
                        t.minute, t.second);
}

std::string HourPeriod(const char* fmt, const ArchiveFileHeader& h) {
    const DeviceDateTime& f = h.FromDate;
    const DeviceDateTime& t = h.ToDate;
    return ViewerFormat(fmt, f.day, f.month, f.year, f.hour, t.day, t.month, t.year, t.hour);
}

std::string DayPeriod(const char* fmt, const ArchiveFileHeader& h) {
    const DeviceDateTime& f = h.FromDate;
    const DeviceDateTime& t = h.ToDate;
    return ViewerFormat(fmt, f.day, f.month, f.year, t.day, t.month, t.year);
}

std::string MinutePeriod(const char* fmt, const ArchiveFileHeader& h) {
    const DeviceDateTime& f = h.FromDate;
    const DeviceDateTime& t = h.ToDate;
    return ViewerFormat(fmt, f.day, f.month, f.year, f.hour, f.minute, t.day, t.month, t.year, t.hour, t.minute);
}

std::string MadeBy(const char* fmt, const ArchiveFileHeader& h) {
    const DeviceDateTime& r = h.ReadTime;
    return ViewerFormat(fmt, kArchiveProgramVersion, r.day, r.month, r.year, r.hour, r.minute, r.second);
}

const char* const kDialogLongPeriod =
    "за період  з  %02d.%02d.%02d  %02d:%02d:%02d  по  %02d.%02d.%02d  %02d:%02d:%02d";

}  // namespace

std::string PrintKindText(uint8_t kind) {
    switch (kind) {
    case kPrintDiagnostic: return "Перелік діагностичних повідомлень";
    case kPrintWmtHour: return "Годинні вимірювальні дані вологоміра";
    case kPrintWmtDay: return "Добові вимірювальні дані вологоміра";
    case kPrintWmtMeas: return "Вимірювальні дані вологоміра";
    default: return {};
    }
}

std::string PrintPeriodText(const ArchiveFileHeader& h, uint8_t kind) {
    switch (kind) {
    case kPrintDiagnostic:
    case kPrintWmtMeas: return LongPeriod(kDialogLongPeriod, h);
    case kPrintWmtHour: return HourPeriod("за період  з  %02d.%02d.%02d  %02dг  по  %02d.%02d.%02d  %02dг", h);
    case kPrintWmtDay: return DayPeriod("за період  з  %02d.%02d.%02d  по  %02d.%02d.%02d", h);
    default: return {};
    }
}

std::vector<std::string> ArhivTitleLines(const ArchiveFileHeader& h, const std::string& heading) {
    return {
        heading,
        PrnControllerLine(h),
        "Перелік діагностичних повідомлень",
        PrnVersionLine(),
        LongPeriod("За період  з  %02d.%02d.%02d %02d:%02d:%02d  по  %02d.%02d.%02d %02d:%02d:%02d", h),
        MadeBy("Складено програмою zbr_%02d  %02d.%02d.%02d  %02d:%02d:%02d", h),
    };
}

std::vector<std::string> WmtTitleLines(const ArchiveFileHeader& h, const std::string& heading, uint8_t mode) {
    std::string what, period;
    switch (mode) {
    case kPrintWmtDay:
        what = "Добові вимірювальні дані вологоміра";
        // "период" is how this line has always been printed.
        period = DayPeriod("за период  з  %02d.%02d.%02d  по  %02d.%02d.%02d", h);
        break;
    case kPrintWmtMeas:
        what = "Миттєві дані вологоміра";
        period = MinutePeriod("за період  з  %02d.%02d.%02d %02d:%02d:00  по  %02d.%02d.%02d %02d:%02d:00", h);
        break;
    default:
        what = "Годинні вимірювальні дані вологоміра";
        period = HourPeriod("за період  з  %02d.%02d.%02d  %02dг  по  %02d.%02d.%02d  %02dг", h);
        break;
    }
    return {heading, PrnControllerLine(h), what, period,
            MadeBy("Складений програмою zbr_%02d  %02d.%02d.%02d  %02d:%02d:%02d", h)};
}

std::string PrnPdfFileName(const ArchiveFileHeader& h, uint8_t kind) {
    const char* what = kind == kPrintDiagnostic ? "ala"
                       : kind == kPrintWmtHour  ? "wmt_hour"
                       : kind == kPrintWmtDay   ? "wmt_day"
                                                : "wmt_meas";
    const DeviceDateTime today = PcClockRecord();
    return platform::InWorkDir(ViewerFormat("REPORT/zbr%02d_%03d_%s_%02d%02d%02d.pdf", kArchiveProgramVersion,
                                            h.ControllerAddress, what, today.year, today.month, today.day));
}

// ---- rows ---------------------------------------------------------------

AlaRowTexts AlaRowTextsOf(const DiagnosticRow& row) {
    AlaRowTexts out;
    for (int i = 0; i < DiagnosticRow::kFieldCount; ++i) out[std::size_t(i)] = platform::TrimSpace(row.Get(i));
    return out;
}

namespace {
// The viewer's texts of a row in the report's eight columns.
WmtRowTexts WmtRowOf(const std::vector<std::string>& shown) {
    WmtRowTexts c;
    for (std::size_t i = 0; i < c.size() && i < shown.size(); ++i) c[i] = shown[i];
    return c;
}
}  // namespace

WmtRowTexts WmtMomentaryRowTexts(const WmtMomentaryRecord& r, uint8_t meterType) {
    std::vector<std::string> shown;
    WmtMomentaryRecordTexts(r, meterType, shown);
    return WmtRowOf(shown);
}

WmtRowTexts WmtArchiveRowTexts(const WmtArchiveRecord& r, uint8_t meterType, bool daily) {
    std::vector<std::string> shown;
    WmtArchiveRecordTexts(r, meterType, daily, shown);
    return WmtRowOf(shown);
}

// ---- pages ----------------------------------------------------------------

std::vector<std::size_t> BlockSizesByLines(const std::vector<int>& rowLines, uint32_t linesFirst,
                                           uint32_t linesNext) {
    std::vector<std::size_t> blocks;
    long long limit = std::max<uint32_t>(linesFirst, 1);
    long long used = 0;
    for (int lines : rowLines) {
        const long long n = std::max(lines, 1);
        if (!blocks.empty() && used + n <= limit) {
            ++blocks.back();
            used += n;
            continue;
        }
        if (!blocks.empty()) limit = std::max<uint32_t>(linesNext, 1);
        blocks.push_back(1);
        used = n;
    }
    return blocks;
}

std::vector<std::size_t> AlaBlockSizes(std::size_t rows, uint32_t rowsFirst, uint32_t rowsNext) {
    return BlockSizesByLines(std::vector<int>(rows, 1), rowsFirst, rowsNext);
}

std::vector<std::size_t> WmtPageSizes(std::size_t rows) { return WmtPageSizes(std::vector<int>(rows, 1)); }

std::vector<std::size_t> WmtPageSizes(const std::vector<int>& rowLines) {
    // The line budget of the report: the title and each table heading take
    // their lines, every row its own.
    return BlockSizesByLines(rowLines, kWmtLinesPerPage - kWmtTitleLines - kWmtHeadingLines,
                             kWmtLinesPerPage - kWmtHeadingLines);
}
