#include "reports/ExcelExport.h"

#include <cstdio>

#include "common/GasParams.h"
#include "data/WmtCaptions.h"
#include "platform/Paths.h"
#include "platform/Codepage.h"

namespace {

using sheet::Border;
using sheet::HAlign;

constexpr const char* kFont = "Times New Roman";

const ExcelMemberInfo kMembers[] = {
    // ChromMeas
    {22, 22, 12, 6, true, true, "Вибір файлу для збереження даних", "Помилка", "Дані збережені в файлі %s.",
     "Помилка роботи з файлом"},
    // ChromHourDay
    {23, 22, 12, 6, true, false, "Вибір файлу для збереження даних", "Ошибка", "Дані збережені в файлі %s.",
     "Помилка роботи з файлом!"},
    // WmtMeas
    {6, 6, 11, 6, false, false, "Вибір файлу для збереження даних", "Помилка", "Дані збережені в файлі %s.",
     "Ошибка работы с файлом!"},
    // WmtHourDay
    {7, 7, 12, 6, false, false, "Вибір файлу для збереження даних", "Ошибка", "Дані збережені в файлі %s.",
     "Помилка роботи з файлом!"},
    // Verif
    {24, 23, 12, 6, true, false, "Вибір файлу для збереження даних", "Ошибка", "Дані збережені в файлі %s",
     "Помилка роботи з файлом!"},
    // Calib
    {24, 24, 12, 4, true, false, "Введіть ім'я файлу для збереження даних", "Помилка", "Дані збережені в файлі %s",
     "Помилка роботи з файлом"},
};

struct Sheet {
    sheet::Worksheet& ws;
    bool ok = true;
    sheet::Range R(int r1, int c1, int r2, int c2) { return ws.Range(ws.Cells(r1, c1), ws.Cells(r2, c2)); }
    void Text(int r, int c, const std::string& t) { ok = ws.Cells(r, c).SetValue(t) && ok; }
    void Line(sheet::Range rg, Border b) { ok = rg.SetBorder(b) && ok; }
    void Line(const char* address, Border b) { ok = ws.Range(address).SetBorder(b) && ok; }
    void Width(int c1, int c2, double w) {
        for (int c = c1; c <= c2; ++c) ok = ws.SetColumnWidth(c, w) && ok;
    }
};

// Fixed headings of the hourly/daily members (chromatograph and moisture).
void HourDayHeadings(Sheet& s) {
    s.Line("A4:C4", Border::Top);
    s.Text(2, 1, "                            Початок");
    s.Text(2, 3, "Кінець");
    s.Line("C2:C5", Border::Left);
    s.Line("C2:C5", Border::Right);
    s.Text(4, 1, "Дата");
    s.Line("A4:A5", Border::Right);
    s.Text(4, 2, "Час");
    s.Text(4, 3, "Час");
    s.Line("C2:C4", Border::Right);
}

}  // namespace

const ExcelMemberInfo& ExcelMemberOf(ExcelMember m) { return kMembers[static_cast<int>(m)]; }

std::string ExcelFolder(ExcelMember m, int mode) {
    switch (m) {
        case ExcelMember::ChromMeas:
        case ExcelMember::WmtMeas: return platform::InWorkDir("MOMDATA");
        case ExcelMember::ChromHourDay:
        case ExcelMember::WmtHourDay:
            return platform::InWorkDir(mode == 1 || mode == 7 ? "DAYDATA" : "HOURDATA");
        case ExcelMember::Verif: return platform::InWorkDir("VERIFARHIV");
        case ExcelMember::Calib: return platform::InWorkDir("CALIBRARHIV");
    }
    return platform::WorkDir();
}

std::string ExcelDefaultFileName(ExcelMember m, const std::string& folder, const ArchiveFileHeader& h,
                                 const DeviceDateTime& today) {
    char date[16];
    std::snprintf(date, sizeof date, "%02d%02d%02d", int(today.year), int(today.month), int(today.day));
    char head[32];
    const int version = kArchiveProgramVersion, address = h.ControllerAddress;
    switch (m) {
        case ExcelMember::ChromMeas:
        case ExcelMember::ChromHourDay:
            std::snprintf(head, sizeof head, "zbr%02d_", version);
            return folder + "/" + head + SafeFileNamePart(h.LineNameText()) + "_" + date + ".xlsx";
        case ExcelMember::WmtMeas:
        case ExcelMember::WmtHourDay: std::snprintf(head, sizeof head, "wmt%02d_%03d_", version, address); break;
        case ExcelMember::Verif: std::snprintf(head, sizeof head, "zbr%02d-%03d_verif_", version, address); break;
        case ExcelMember::Calib: std::snprintf(head, sizeof head, "zbr%02d-%03d_", version, address); break;
    }
    return folder + "/" + head + date + ".xlsx";
}

std::string ExcelWithExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ".xlsx";
    return path;
}

bool WriteChromExcelHeader(sheet::Worksheet& ws, int firstColumn, uint8_t fractionWording, uint8_t heatUnitKcal) {
    Sheet s{ws};
    for (int p = 0; p < kGasParamCount; ++p) {
        const int c = firstColumn + p;
        const int code = ParamCodeAt(p);
        for (int line = 0; line < 3; ++line) s.Text(2 + line, c, ParamCaptionLine(code, line, fractionWording));
        s.Text(5, c, ParamUnit(code, heatUnitKcal));
        s.Line(s.R(2, c, 5, c), Border::Right);
    }
    return s.ok;
}

bool WriteMoistExcelHeader(uint8_t meterType, sheet::Worksheet& ws, int firstColumn) {
    Sheet s{ws};
    const auto* captions = WmtCaptionsFor(meterType);
    for (int p = 0; p < kWmtValueCount; ++p) {
        const int c = firstColumn + p;
        for (int line = 0; line < 4; ++line) s.Text(2 + line, c, captions[p][line]);
        s.Line(s.R(2, c, 5, c), Border::Right);
    }
    return s.ok;
}

bool FillExcelSheet(sheet::Worksheet& ws, const ExcelSheetContent& in, const std::function<void()>& step) {
    const ExcelMemberInfo& info = ExcelMemberOf(in.member);
    const int cols = info.columns;
    const int n = in.rows > 0 ? in.rows : 0;
    auto progress = [&] {
        if (step) step();
    };
    Sheet s{ws};

    // Column widths.
    switch (in.member) {
        case ExcelMember::ChromMeas: s.Width(1, 2, 9); s.Width(3, 22, 10); break;
        case ExcelMember::ChromHourDay: s.Width(1, 3, 9); s.Width(4, 23, 10); break;
        case ExcelMember::WmtMeas: s.Width(1, 2, 9); s.Width(3, 6, 12); break;
        case ExcelMember::WmtHourDay: s.Width(1, 3, 9); s.Width(4, 7, 12); break;
        case ExcelMember::Verif: s.Width(1, 2, 9); s.Width(3, 4, 8); s.Width(5, 24, 9); break;
        case ExcelMember::Calib:
            s.Width(1, 2, 9);
            s.Width(3, 3, 11);
            s.Width(4, 4, 6);
            s.Width(5, 24, 18);
            break;
    }

    // Title row.
    sheet::Range title = s.R(1, 1, 1, info.titleColumns);
    s.Line(title, Border::Top);
    s.Line(title, Border::Bottom);
    s.ok = title.SetHorizontalAlignment(HAlign::General) && s.ok;
    s.ok = title.SetRowHeight(18) && s.ok;
    s.ok = title.SetFontSize(info.titleFontSize) && s.ok;
    s.Text(1, 1, in.caption);

    // Heading block.
    const int lastHead = info.firstDataRow - 1;
    sheet::Range head = s.R(2, 1, lastHead, cols);
    s.ok = head.SetInteriorColor(sheet::kHeadingGrey) && s.ok;
    s.ok = head.SetHorizontalAlignment(HAlign::Center) && s.ok;
    s.ok = head.SetFontSize(10) && s.ok;
    if (in.member == ExcelMember::Calib) s.Line(s.R(2, 1, 2, cols), Border::Top);
    s.Line(s.R(lastHead, 1, lastHead, cols), Border::Bottom);

    // Fixed headings and the parameter headings.
    switch (in.member) {
        case ExcelMember::ChromMeas:
            s.Text(3, 1, "Дата");
            s.Line("A2:A5", Border::Left);
            s.Line("A2:A5", Border::Right);
            s.Text(3, 2, "Час");
            s.Line("B2:B5", Border::Right);
            progress();
            s.ok = WriteChromExcelHeader(ws, 3, in.fractionWording, in.heatUnitKcal) && s.ok;
            progress();
            break;
        case ExcelMember::ChromHourDay:
            HourDayHeadings(s);
            progress();
            s.ok = WriteChromExcelHeader(ws, 4, in.fractionWording, in.heatUnitKcal) && s.ok;
            progress();
            break;
        case ExcelMember::WmtMeas:
            s.Text(3, 1, "Дата");
            s.Line(s.R(1, 1, 5, 1), Border::Right);
            s.Text(3, 2, "Час");
            s.Line(s.R(1, 2, 5, 2), Border::Right);
            progress();
            s.ok = WriteMoistExcelHeader(in.meterType, ws, 3) && s.ok;
            progress();
            break;
        case ExcelMember::WmtHourDay:
            HourDayHeadings(s);
            progress();
            s.ok = WriteMoistExcelHeader(in.meterType, ws, 4) && s.ok;
            progress();
            break;
        case ExcelMember::Verif:
            s.Text(3, 1, "Дата");
            s.Text(3, 2, "Час");
            s.Text(3, 3, "Стан");
            s.Text(3, 4, "Номер");
            s.Text(4, 4, "нитки");
            for (int c = 1; c <= 4; ++c) s.Line(s.R(1, c, 5, c), Border::Right);
            progress();
            s.ok = WriteChromExcelHeader(ws, 5, in.fractionWording, in.heatUnitKcal) && s.ok;
            progress();
            break;
        case ExcelMember::Calib:
            s.Text(2, 1, "Дата");
            s.Text(2, 2, "Час");
            s.Text(2, 3, "Стан");
            s.Text(2, 4, "Нитка");
            for (int c = 1; c <= 4; ++c) s.Line(s.R(2, c, 3, c), Border::Right);
            for (int c = 5; c <= 24; ++c) {
                const std::size_t i = std::size_t(c - 5);
                for (int r = 0; r < 2; ++r)
                    s.Text(2 + r, c, i < in.calibHeadings[r].size() ? std::string(platform::TrimBlanks(in.calibHeadings[r][i])) : "");
                s.Line(s.R(2, c, 3, c), Border::Right);
            }
            progress();
            progress();
            break;
    }

    // Data block: for the calibration exactly the record rows, for the
    // others one row beyond them.
    const int first = info.firstDataRow;
    const int blockEnd = in.member == ExcelMember::Calib ? first + n - 1 : first + n;
    if (blockEnd >= first) {
        sheet::Range block = s.R(first, 1, blockEnd, cols);
        s.ok = block.SetFontSize(10) && s.ok;
        s.ok = block.SetHorizontalAlignment(HAlign::Center) && s.ok;
    }
    // Every cell in the sheet's font.
    s.ok = s.R(1, 1, std::max(blockEnd, lastHead), cols).SetFontName(kFont) && s.ok;

    std::vector<std::string> cells;
    for (int i = 0; i < n && s.ok; ++i) {
        cells.assign(std::size_t(cols), std::string());
        if (in.row) in.row(i, cells);
        for (int c = 0; c < cols && c < int(cells.size()); ++c)
            if (!cells[std::size_t(c)].empty()) s.Text(first + i, c + 1, cells[std::size_t(c)]);
        progress();
    }
    return s.ok;
}
