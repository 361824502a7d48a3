#include "reports/Xls_Report.h"

#include <filesystem>

#include "common/ListFiles.h"
#include "common/Question.h"
#include "common/ReportFormat.h"
#include "config/ConfigImage.h"
#include "platform/Codepage.h"
#include "platform/FileWrite.h"
#include "platform/Paths.h"
#include "reports/ExcelExport.h"
#include "sheet/Workbook.h"

namespace {

// The name of measuring line `line` (table 5 row line + 1).
std::string LineName(int line) {
    const uint8_t* p = ConfigImage.data() + cfgofs::kNames + std::size_t(line == 1 ? 2 : 1) * kNameWidth;
    return std::string(platform::TrimBlanks(platform::ReadField(p, kNameWidth, platform::CodePage::Cp1251, true)));
}

std::string CurrentObjectName() {
    const ObjectListRecord& l = ObjectList;
    if (l.obj_index >= l.obj_num || l.obj_index >= MaxObjects) return {};
    return std::string(platform::TrimBlanks(l.objs[l.obj_index].Name()));
}

}  // namespace

TFormXls_Report::TFormXls_Report(ui::Component* owner) : ui::Form(owner, "FormXls_Report") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(0);
    SetPosition(ui::Position::ScreenCenter);
    SetCaption(" ЗБР");
    SetBounds(0, 0, 280, 130);
    Label1.SetCaption("Очікуйте");
    Label2.SetCaption("Виконується формування");
    Label3.SetCaption("звіту у форматі Excel");
    int top = 16;
    for (ui::Label* l : {&Label1, &Label2, &Label3}) {
        l->SetBounds(8, top, 256, 20);
        l->SetAlignment(ui::TextAlign::Center);
        top += 24;
    }
    ui::Font bold = Label1.Font();
    bold.Bold = true;
    Label1.SetFont(bold);
    Timer1.SetEnabled(false);
    Timer1.SetInterval(100);
    Timer1.OnTimer = [this] { Timer1Timer(); };
    OnShow = [this] { FormShow(); };
}

void TFormXls_Report::FormShow() {
    Written = false;
    Timer1.SetEnabled(true);
}

void TFormXls_Report::Timer1Timer() {
    Timer1.SetEnabled(false);
    WriteReport();
    ui::Screen::SetCursor(ui::Cursor::Default);
    SetModalResult(Written ? ui::mrOk : ui::mrCancel);
}

bool TFormXls_Report::WriteReport() {
    Written = false;
    if (!Date) return false;
    const std::string lineName = LineName(Line);
    const std::string objectName = CurrentObjectName();
    FileName = CertificateFileName(Kind, objectName, lineName, *Date);
    const std::string name = platform::BaseName(FileName);
    platform::EnsureDir(platform::InWorkDir("REPORT"));

    std::error_code ec;
    if (std::filesystem::exists(FileName, ec)) {
        MessageKind = 3;
        ShowQues("Файл звіту " + name + " вже є.", "Ви бажаєте замінити існуючий звіт?");
        // "Ні" keeps the old certificate as it is; "Так" replaces it only
        // once the new one is written whole.
        if (MessageAnswer != 1) return false;
    }

    ui::HourGlass busy;
    const char* templateName = Kind == 0 ? kDayTemplateName : kMonthTemplateName;
    sheet::Workbook wb;
    if (!wb.Open(platform::InWorkDir(templateName))) {
        ShowQues(1, std::string("Помилка відкриття шаблону звіту ") + templateName, wb.LastError());
        return false;
    }
    CertificateInput in;
    in.kind = Kind;
    in.line = Line;
    in.date = *Date;
    const std::size_t n = Count;
    if (ChromRecords) in.chrom = {ChromRecords, n};
    if (Slots) in.slotDates = {Slots, n};
    if (MoistRecords) in.moist = {MoistRecords, n};
    in.chromSummary = ChromSummary;
    in.moistSummary = MoistSummary;
    in.serial = GetU32(ConfigImage.data() + cfgofs::kChromSerial);
    in.lineName = lineName;
    in.objectName = objectName;
    in.oxygen = (ConfigImage[cfgofs::kChromLink + 7] & 0x04) != 0;
    in.format = ReportFormat;
    sheet::Worksheet ws = wb.ActiveSheet();
    const bool filled = Kind == 0 ? WriteDayReport(ws, in) : WriteMonthReport(ws, in);
    if (!filled || wb.Failed()) {
        // Nothing is saved from a template that could not be filled.
        ShowQues(1, std::string("Помилка заповнення шаблону звіту ") + templateName, wb.LastError());
        wb.Close();
        return false;
    }
    if (wb.SaveAs(FileName)) {
        Written = true;
        ShowQues(6, "Дані збережені в файлі " + name, "");
    } else {
        ui::Application::MessageBox("Помилка роботи з файлом!\n" + wb.LastError(), ui::Application::Title, ui::MB_OK);
    }
    if (!wb.Close())
        ui::Application::MessageBox("Помилка закриття Excel. Закрийте програму самі.", ui::Application::Title,
                                    ui::MB_OK);
    return Written;
}
