#include "reports/ExcelViewers.h"

#include <filesystem>
#include <initializer_list>
#include <memory>

#include "common/GasParams.h"
#include "common/Question.h"
#include "common/ReportFormat.h"
#include "common/Suplfunc.h"
#include "common/Wait.h"
#include "data/ArhMeas_Chr.h"
#include "data/ArhMeas_Wmt.h"
#include "data/ArhivHDM_Chr.h"
#include "data/ArhivHD_Wmt.h"
#include "data/Arhiv_Clb.h"
#include "data/Arhiv_Verif.h"
#include "data/ViewerBody.h"
#include "data/ViewerTexts.h"
#include "platform/FileWrite.h"
#include "reports/ExcelExport.h"
#include "sheet/Workbook.h"
#include "ui/Ui.h"
#include "platform/Codepage.h"

namespace {

// The value texts of the 20 display positions, from sheet column `first`
// (0-based index into `cells`); `text(code)` gives a code's text.
template <class F>
void Values(std::vector<std::string>& cells, std::size_t first, F&& text) {
    for (int p = 0; p < kGasParamCount; ++p) cells[first + std::size_t(p)] = text(ParamCodeAt(p));
}

// A viewer's date-time grid texts (column 0, the spacer, left out) from
// sheet column 1 on.
void DateCells(std::vector<std::string>& cells, const std::vector<std::string>& shown) {
    for (std::size_t c = 1; c < shown.size() && c - 1 < cells.size(); ++c) cells[c - 1] = shown[c];
}

std::string Replace(const char* pattern, const std::string& name) {
    std::string s = pattern;
    const std::size_t at = s.find("%s");
    if (at != std::string::npos) s.replace(at, 2, name);
    return s;
}

// The columns `which` of a viewer's row texts (empty where it has none).
std::vector<std::string> Pick(const std::vector<std::string>& shown, std::initializer_list<std::size_t> which) {
    std::vector<std::string> cells;
    cells.reserve(which.size());
    for (std::size_t c : which) cells.push_back(c < shown.size() ? shown[c] : std::string());
    return cells;
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// The steps every member shares; `content` holds the member's texts.
void RunExport(ArchiveViewerForm& v, ExcelMember member, int mode, ExcelSheetContent content) {
    const ExcelMemberInfo& info = ExcelMemberOf(member);
    const std::string folder = ExcelFolder(member, mode);

    ui::SaveDialog& d = v.SaveDialog1;
    d.Title = info.dialogTitle;
    d.InitialDir = folder;
    d.Filter = "DataFiles (*.xlsx)|*.xlsx";
    d.FilterIndex = 1;
    d.DefaultExt.clear();   // the extension rule is the export's own
    d.HideReadOnly = true;
    d.NoChangeDir = true;
    d.OverwritePrompt = false;
    d.FileName = ExcelDefaultFileName(member, folder, v.Hdr(), PcClockRecord());
    if (!d.Execute()) return;
    const std::string path = ExcelWithExtension(d.FileName);
    const std::string name = platform::BaseName(path);

    if (info.askReplace && FileExists(path)) {
        MessageKind = 3;
        ShowQues("Файл " + name + " уже есть.", "Ви бажаєте замінити існуючий файл?");
        if (MessageAnswer != 1) return;
    }

    // Wait state: the hourglass, the wait box, the viewer disabled.
    ui::Screen::SetCursor(ui::Cursor::HourGlass);
    auto wait = std::make_unique<TFormWait>(&v);
    wait->Mode = 4;
    wait->ProgressBar1.SetRange(0, content.rows + 5);
    wait->ProgressBar1.SetPosition(0);
    v.SetEnabled(false);
    wait->Show();
    auto step = [&wait] { wait->ProgressBar1.SetPosition(wait->ProgressBar1.Position() + 1); };

    sheet::Workbook wb;
    if (!wb.Add()) {
        ui::Application::MessageBox("Неможливо створити книгу Excel!\n" + wb.LastError(), info.startFailureCaption,
                                    ui::MB_OK | ui::MB_ICONERROR);
    } else {
        step();
        sheet::Worksheet ws = wb.ActiveSheet();
        step();
        FillExcelSheet(ws, content, step);
        if (wb.SaveAs(path)) {
            MessageKind = 6;
            ShowQues(Replace(info.savedMessage, name), "");
        } else {
            // A failed fill or save leaves no file: the book is written
            // whole or not at all.
            ui::Application::MessageBox(std::string(info.saveFailure) + "\n" + wb.LastError(), ui::Application::Title,
                                        ui::MB_OK);
        }
        if (!wb.Close())
            ui::Application::MessageBox("Помилка закриття Excel. Закрийте програму самі.", ui::Application::Title,
                                        ui::MB_OK);
        step();
    }

    ui::Screen::SetCursor(ui::Cursor::Default);
    wait->Hide();
    wait.reset();
    v.SetEnabled(true);
    v.Activate();
}

ExcelSheetContent Content(ArchiveViewerForm& v, ExcelMember member, int rows) {
    ExcelSheetContent c;
    c.member = member;
    c.caption = v.Caption();
    c.rows = rows;
    c.meterType = v.Hdr().MoistureMeterType;
    c.fractionWording = ReportFormat.FractionWording;
    c.heatUnitKcal = ReportFormat.HeatUnitKcal;
    return c;
}

// Texts of a record row, trimmed when the member trims.
template <class R, class F>
std::function<void(int, std::vector<std::string>&)> Rows(std::span<const R> records, bool trim, F&& make) {
    return [records, trim, make](int i, std::vector<std::string>& cells) {
        std::vector<std::string> row = make(records[std::size_t(i)]);
        for (std::size_t c = 0; c < cells.size() && c < row.size(); ++c)
            cells[c] = trim ? std::string(platform::TrimBlanks(row[c])) : std::move(row[c]);
    };
}

}  // namespace

// ---- the cell texts -----------------------------------------------------------

std::vector<std::string> ExcelChromMeasRow(const ChromMeasRecord& r, bool oxygen) {
    std::vector<std::string> cells(22);
    std::vector<std::string> shown;
    ChromMeasDateTexts(r, shown);
    DateCells(cells, shown);
    if (!RecordCrcOk(r)) return cells;
    const GasValueFormat gas = FormatGasValue;
    Values(cells, 2, [&](int code) { return ChromMeasValueText(r, code, oxygen, gas); });
    return cells;
}

std::vector<std::string> ExcelHdmRow(const HdmArchiveRecord& r, bool daily, bool oxygen) {
    std::vector<std::string> cells(23);
    std::vector<std::string> shown;
    HdmDateTexts(r, daily, shown);
    shown.resize(std::min<std::size_t>(shown.size(), 4));  // no measurement count in the sheet
    DateCells(cells, shown);
    if (!RecordCrcOk(r)) return cells;
    const GasValueFormat gas = FormatGasValue;
    Values(cells, 3, [&](int code) { return HdmValueText(r, code, oxygen, gas); });
    return cells;
}

std::vector<std::string> ExcelWmtMeasRow(const WmtMomentaryRecord& r, uint8_t meterType) {
    std::vector<std::string> shown;
    WmtMomentaryRecordTexts(r, meterType, shown);
    // The viewer's row without the controller status and the meter's state.
    return Pick(shown, {0, 1, 4, 5, 6, 7});
}

std::vector<std::string> ExcelWmtArchiveRow(const WmtArchiveRecord& r, bool daily, uint8_t meterType) {
    std::vector<std::string> shown;
    WmtArchiveRecordTexts(r, meterType, daily, shown);
    // The viewer's row without the controller status.
    return Pick(shown, {0, 1, 2, 4, 5, 6, 7});
}

std::vector<std::string> ExcelVerifRow(const VerifRecord& r, bool oxygen) {
    std::vector<std::string> cells(24);
    std::vector<std::string> shown;
    VerifDateTexts(r, shown);
    DateCells(cells, shown);
    if (!RecordCrcOk(r)) return cells;
    const GasValueFormat gas = FormatGasValue;
    Values(cells, 4, [&](int code) { return VerifValueText(r, code, oxygen, gas); });
    return cells;
}

std::vector<std::string> ExcelCalibRow(const CalibRecord& r, bool oxygen) {
    std::vector<std::string> cells(24);
    std::vector<std::string> shown;
    CalibDateTexts(r, shown);
    DateCells(cells, shown);
    if (!RecordCrcOk(r)) return cells;
    const GasValueFormat bare = FormatGasValueBare;
    Values(cells, 4, [&](int code) { return CalibValueText(r, code, oxygen, bare); });
    return cells;
}

void ExcelCalibHeadings(std::vector<std::string>& names, std::vector<std::string>& units) {
    names.assign(kGasParamCount, {});
    units.assign(kGasParamCount, {});
    for (int p = 0; p < kGasParamCount; ++p) {
        const int c = ParamCodeAt(p);
        names[std::size_t(p)] = ParamShortName(c);
        units[std::size_t(p)] = CalibUnitHeading(c);
    }
}

// ---- the buttons ----------------------------------------------------------------

void ExportChromMeas(TFormArhMeas_Chr& v) {
    const bool oxygen = v.OxygenShown();
    ExcelSheetContent c = Content(v, ExcelMember::ChromMeas, int(v.Records.size()));
    c.row = Rows(v.Records, true, [oxygen](const ChromMeasRecord& r) { return ExcelChromMeasRow(r, oxygen); });
    RunExport(v, ExcelMember::ChromMeas, -1, std::move(c));
}

void ExportChromHourDay(TFormArhivHDM_Chr& v) {
    const bool oxygen = v.OxygenShown(), daily = v.Daily();
    ExcelSheetContent c = Content(v, ExcelMember::ChromHourDay, int(v.Records.size()));
    c.row = Rows(v.Records, true,
                 [oxygen, daily](const HdmArchiveRecord& r) { return ExcelHdmRow(r, daily, oxygen); });
    RunExport(v, ExcelMember::ChromHourDay, v.Mode, std::move(c));
}

void ExportWmtMeas(TFormArhMeas_Wmt& v) {
    const uint8_t type = v.Hdr().MoistureMeterType;
    ExcelSheetContent c = Content(v, ExcelMember::WmtMeas, int(v.Records.size()));
    c.row = Rows(v.Records, false, [type](const WmtMomentaryRecord& r) { return ExcelWmtMeasRow(r, type); });
    RunExport(v, ExcelMember::WmtMeas, -1, std::move(c));
}

void ExportWmtHourDay(TFormArhivHD_Wmt& v) {
    const uint8_t type = v.Hdr().MoistureMeterType;
    const bool daily = v.Daily();
    ExcelSheetContent c = Content(v, ExcelMember::WmtHourDay, int(v.Records.size()));
    c.row = Rows(v.Records, false,
                 [type, daily](const WmtArchiveRecord& r) { return ExcelWmtArchiveRow(r, daily, type); });
    RunExport(v, ExcelMember::WmtHourDay, v.Mode, std::move(c));
}

void ExportVerif(TFormArhiv_Verif& v) {
    const bool oxygen = v.OxygenShown();
    ExcelSheetContent c = Content(v, ExcelMember::Verif, int(v.Records.size()));
    c.row = Rows(v.Records, true, [oxygen](const VerifRecord& r) { return ExcelVerifRow(r, oxygen); });
    RunExport(v, ExcelMember::Verif, -1, std::move(c));
}

void ExportCalib(TFormArhiv_Clb& v) {
    const bool oxygen = v.OxygenShown();
    ExcelSheetContent c = Content(v, ExcelMember::Calib, int(v.Records.size()));
    ExcelCalibHeadings(c.calibHeadings[0], c.calibHeadings[1]);
    c.row = Rows(v.Records, true, [oxygen](const CalibRecord& r) { return ExcelCalibRow(r, oxygen); });
    RunExport(v, ExcelMember::Calib, -1, std::move(c));
}

void RegisterExcelExports() {
    TFormArhMeas_Chr::ExcelAction = ExportChromMeas;
    TFormArhivHDM_Chr::ExcelAction = ExportChromHourDay;
    TFormArhMeas_Wmt::ExcelAction = ExportWmtMeas;
    TFormArhivHD_Wmt::ExcelAction = ExportWmtHourDay;
    TFormArhiv_Verif::ExcelAction = ExportVerif;
    TFormArhiv_Clb::ExcelAction = ExportCalib;
}

void UnregisterExcelExports() {
    TFormArhMeas_Chr::ExcelAction = nullptr;
    TFormArhivHDM_Chr::ExcelAction = nullptr;
    TFormArhMeas_Wmt::ExcelAction = nullptr;
    TFormArhivHD_Wmt::ExcelAction = nullptr;
    TFormArhiv_Verif::ExcelAction = nullptr;
    TFormArhiv_Clb::ExcelAction = nullptr;
}
