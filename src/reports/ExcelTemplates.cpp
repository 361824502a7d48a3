#include "reports/ExcelTemplates.h"

#include <cstdio>

#include "reports/ExcelCertificate.h"
#include "sheet/Workbook.h"

namespace {

using namespace certmap;

constexpr const char* kFont = "Times New Roman";

struct Form {
    sheet::Worksheet ws;
    bool ok = true;

    sheet::Range R(int r1, int c1, int r2, int c2) { return ws.Range(ws.Cells(r1, c1), ws.Cells(r2, c2)); }

    // A label over the rectangle (merged when more than one cell).
    void Label(int r1, int c1, int r2, int c2, const char* text, sheet::HAlign h = sheet::HAlign::Center,
               bool bold = false, double size = 9, bool wrap = true) {
        sheet::Range rg = R(r1, c1, r2, c2);
        ok = rg.Merge() && ok;
        ok = ws.Cells(r1, c1).SetValue(text) && ok;
        ok = rg.SetHorizontalAlignment(h) && ok;
        ok = rg.SetVerticalAlignment(sheet::VAlign::Center) && ok;
        ok = rg.SetFontSize(size) && ok;
        if (bold) ok = rg.SetFontBold(true) && ok;
        if (wrap) ok = rg.SetWrapText(true) && ok;
    }
    // Thin lines around every cell of the rectangle.
    void Grid(int r1, int c1, int r2, int c2) {
        sheet::Range rg = R(r1, c1, r2, c2);
        for (sheet::Border b : {sheet::Border::Left, sheet::Border::Right, sheet::Border::Top, sheet::Border::Bottom})
            ok = rg.SetBorder(b) && ok;
    }
};

struct Column {
    int col;
    const char* name;
    const char* unit;
};

// The chromatograph's single-value columns (2..14) in ExcelColumnOrder.
const Column kComponents[] = {
    {2, "Метан CH4", "%"},           {3, "Етан C2H6", "%"},
    {4, "Пропан C3H8", "%"},         {5, "і-Бутан i-C4H10", "%"},
    {6, "н-Бутан n-C4H10", "%"},     {7, "нео-Пентан neo-C5H12", "%"},
    {8, "і-Пентан i-C5H12", "%"},    {9, "н-Пентан n-C5H12", "%"},
    {10, "Гексани і вищі C6+", "%"}, {11, "Кисень O2", "%"},
    {12, "Азот N2", "%"},            {13, "Діоксид вуглецю CO2", "%"},
};

const char* const kHeatGroups[3] = {"Теплота згоряння нижча", "Теплота згоряння вища", "Число Воббе вище"};
const char* const kHeatUnits[3] = {"ккал/м3", "МДж/м3", "кВт·год/м3"};

const Column kMoisture[] = {
    {24, "Т. роси за водою при Р роб.", "°С"},
    {25, "Т. роси за водою, привед. до Р абс.", "°С"},
    {26, "Т. роси за вуглеводнями при Р роб.", "°С"},
    {27, "Тиск газу надлишк.", "кгс/см2"},
};

int LastDataRow(int kind) { return kind == 0 ? kFirstRow + kDayRows - 1 : kFirstRow + kMonthRows - 1; }
int SummaryRow(int kind) { return kind == 0 ? kDaySummaryRow : kMonthSummaryRow; }

}  // namespace

int CertificateTemplateLastRow(int kind) { return SummaryRow(kind) + 5; }

bool MakeCertificateTemplate(int kind, const std::string& path, std::string& error) {
    sheet::Workbook wb;
    if (!wb.Add()) {
        error = wb.LastError();
        return false;
    }
    Form f{wb.ActiveSheet()};
    sheet::Worksheet& ws = f.ws;
    const bool day = kind == 0;
    const int last = CertificateTemplateLastRow(kind);
    const int summary = SummaryRow(kind);

    f.ok = ws.SetName("Паспорт") && f.ok;
    // Everything in the form's font.
    f.ok = f.R(1, 1, last, kLastCol).SetFontName(kFont) && f.ok;
    f.ok = f.R(1, 1, last, kLastCol).SetFontSize(9) && f.ok;

    // Widths: the date column, the components, the rest.
    f.ok = ws.SetColumnWidth(kDateCol, day ? 14 : 8) && f.ok;
    for (int c = kFirstChromCol; c <= kLastCol; ++c) f.ok = ws.SetColumnWidth(c, c <= 13 ? 7 : 8.5) && f.ok;

    // Title, source, object, period.
    f.Label(1, 1, 1, kLastCol, day ? "ПАСПОРТ ЯКОСТІ ГАЗУ ЗА ДОБУ" : "ПАСПОРТ ЯКОСТІ ГАЗУ ЗА МІСЯЦЬ",
            sheet::HAlign::Center, true, 14, false);
    f.ok = f.R(1, 1, 1, 1).SetRowHeight(24) && f.ok;
    f.Label(2, 1, 2, 16,
            "Показники якості природного газу за даними потокового хроматографа і вологоміра контролера ЗБР",
            sheet::HAlign::Left, false, 10, false);
    // The program's serial-number text stands right-aligned in the last
    // column and runs to the left over the empty cells before it.
    f.ok = ws.Cells(kSerialRow, kSerialCol).SetHorizontalAlignment(sheet::HAlign::Right) && f.ok;
    f.ok = ws.Cells(kSerialRow, kSerialCol).SetFontSize(10) && f.ok;
    f.Label(kObjectRow, 1, kObjectRow, 1, "Об'єкт:", sheet::HAlign::Left, true, 10, false);
    {
        sheet::Range object = f.R(kObjectRow, kObjectCol, kObjectRow, 16);
        f.ok = object.Merge() && f.ok;
        f.ok = object.SetHorizontalAlignment(sheet::HAlign::Left) && f.ok;
        f.ok = object.SetFontSize(10) && f.ok;
        f.ok = object.SetFontBold(true) && f.ok;
        f.ok = object.SetBorder(sheet::Border::Bottom) && f.ok;
    }
    f.Label(kPeriodRow, 1, kPeriodRow, 12,
            day ? "Середньогодинні значення за газову добу" : "Середньодобові значення за місяць",
            sheet::HAlign::Left, false, 10, false);
    {
        sheet::Range period = f.R(kPeriodRow, kPeriodCol, kPeriodRow, kLastCol);
        f.ok = period.Merge() && f.ok;
        f.ok = period.SetHorizontalAlignment(sheet::HAlign::Right) && f.ok;
        f.ok = period.SetFontSize(10) && f.ok;
    }

    // Column headings, rows 6..9.
    const int h1 = 6, h4 = 9;
    f.Label(h1, kDateCol, h4, kDateCol, day ? "Дата, година початку" : "Число місяця");
    f.Label(h1, 2, h1, 13, "Компонентний склад газу, молярна частка");
    for (const Column& c : kComponents) {
        f.Label(h1 + 1, c.col, h4 - 1, c.col, c.name);
        f.Label(h4, c.col, h4, c.col, c.unit);
    }
    f.Label(h1, 14, h4 - 1, 14, "Густина газу за ст. умов");
    f.Label(h4, 14, h4, 14, "кг/м3");
    for (int g = 0; g < 3; ++g) {
        const int c0 = kInferiorHeatCol + 3 * g;
        f.Label(h1, c0, h1 + 1, c0 + 2, kHeatGroups[g]);
        for (int i = 0; i < 3; ++i) f.Label(h1 + 2, c0 + i, h4, c0 + i, kHeatUnits[i]);
    }
    f.Label(h1, kFirstMoistCol, h1, kLastMoistCol, "Вологомір");
    for (const Column& c : kMoisture) {
        f.Label(h1 + 1, c.col, h4 - 1, c.col, c.name);
        f.Label(h4, c.col, h4, c.col, c.unit);
    }
    f.Label(h1, kTemperatureCol, h4 - 1, kTemperatureCol, "Температура газу");
    f.Label(h4, kTemperatureCol, h4, kTemperatureCol, "°С");
    f.ok = f.R(h1, 1, h4, kLastCol).SetInteriorColor(sheet::kHeadingGrey) && f.ok;
    f.ok = f.R(h1 + 1, 1, h1 + 2, 1).SetRowHeight(30) && f.ok;
    f.Grid(h1, 1, h4, kLastCol);

    // The value rows and the summary row, framed and centred.
    const int lastData = LastDataRow(kind);
    {
        sheet::Range body = f.R(kFirstRow, 1, summary, kLastCol);
        f.ok = body.SetHorizontalAlignment(sheet::HAlign::Center) && f.ok;
        f.ok = body.SetVerticalAlignment(sheet::VAlign::Center) && f.ok;
        f.ok = body.SetFontSize(8) && f.ok;
        f.Grid(kFirstRow, 1, summary, kLastCol);
        f.ok = f.R(kFirstRow, 1, summary, 1).SetFontSize(9) && f.ok;
    }
    if (!day) {
        // The day labels are texts, "01" as well as "31".
        f.ok = f.R(kFirstRow, kDateCol, lastData, kDateCol).SetNumberFormat("@") && f.ok;
        for (int d = 1; d <= kMonthRows; ++d) {
            const char text[3] = {char('0' + d / 10), char('0' + d % 10), 0};
            f.ok = ws.Cells(kFirstRow + d - 1, kDateCol).SetValue(text) && f.ok;
        }
    }
    for (int r = lastData + 1; r < summary; ++r) f.ok = f.R(r, 1, r, 1).SetRowHeight(4) && f.ok;
    if (day) {
        f.Label(summary, kDateCol, summary, kDateCol, "За добу", sheet::HAlign::Center, true);
    } else {
        f.Label(summary, kDateCol, summary, kInferiorHeatCol - 1, "Середні за місяць значення теплоти згоряння",
                sheet::HAlign::Right, true, 9, false);
        sheet::Range rest = f.R(summary, kSuperiorHeatCol + 3, summary, kLastCol);
        f.ok = rest.Merge() && f.ok;
    }
    f.ok = f.R(summary, 1, summary, kLastCol).SetInteriorColor(sheet::kHeadingGrey) && f.ok;
    f.ok = f.R(summary, 1, summary, kLastCol).SetFontBold(true) && f.ok;

    // Notes and signatures.
    f.Label(summary + 1, 1, summary + 1, kLastCol,
            "\"--\" - немає достовірних даних за інтервал (контролер вимкнений, немає зв'язку з приладом або "
            "запис архіву пошкоджений).",
            sheet::HAlign::Left, false, 8, false);
    f.Label(summary + 3, 1, summary + 3, 10, "Відповідальна особа:  ______________________  (підпис)",
            sheet::HAlign::Left, false, 10, false);
    f.Label(summary + 3, 12, summary + 3, 22, "______________________________  (прізвище, ініціали)",
            sheet::HAlign::Left, false, 10, false);
    f.Label(summary + 5, 1, summary + 5, 10, "Дата складання:  \"____\" ________________ 20____ р.",
            sheet::HAlign::Left, false, 10, false);
    f.Label(summary + 5, 20, summary + 5, kLastCol, "Сформовано програмою zbr_11", sheet::HAlign::Right, false, 8,
            false);

    // One A4 page across, landscape.
    sheet::PageSetup page;
    page.landscape = true;
    page.fitWidth = 1;
    page.fitHeight = 1;
    page.left = page.right = 0.4;
    page.top = page.bottom = 0.5;
    page.header = page.footer = 0.2;
    page.centerHorizontally = true;
    f.ok = ws.SetPageSetup(page) && f.ok;
    f.ok = ws.SetPrintArea(f.R(1, 1, last, kLastCol)) && f.ok;

    if (!f.ok || wb.Failed()) {
        error = wb.LastError();
        return false;
    }
    if (!wb.SaveAs(path)) {
        error = wb.LastError();
        return false;
    }
    wb.Close();
    return true;
}
