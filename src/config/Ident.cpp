#include "config/Ident.h"

#include <cstdio>

namespace {

constexpr int kWidth = 490, kHeight = 416;
constexpr int kLabelLeft = 12, kLabelWidth = 250, kPanelLeft = 270, kPanelWidth = 196;

std::string Fmt(const char* fmt, int a, int b = 0, int c = 0) {
    char buf[96];
    std::snprintf(buf, sizeof buf, fmt, a, b, c);
    return buf;
}

// "%02d" of a value within its range, else "**".
std::string Part(int v, int lo, int hi) { return v >= lo && v <= hi ? Fmt("%02d", v) : "**"; }

}  // namespace

TFormIdent::TFormIdent(ui::Component* owner) : ui::Form(owner, "FormIdent") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::MainFormCenter);
    SetCaption(" Параметри ідентифікації контролера");
    SetBounds(0, 0, kWidth, kHeight);

    struct Row {
        const char* text;
        int lines;
    };
    const Row rows[kRows] = {
        {"Код типу контролера", 1},
        {"Версія програмного забезпечення", 1},
        {"Версія апаратного забезпечення", 1},
        {"Дата створення ПЗ", 1},
        {"Порядок розташування байтів", 1},
        {"Наявність зруйнованих таблиць", 1},
        {"Можливість роботи на різних\nшвидкостях обміну", 2},
        {"Можливість зміни адреси\nконтролера", 2},
        {"Номер останньої версії протоколу\nQTR-PD41-K, яка підтримується\nконтролером", 3},
    };
    int top = 10;
    for (int r = 0; r < kRows; ++r) {
        const int height = rows[r].lines == 1 ? 24 : rows[r].lines * 15 + 4;
        ui::Label& l = RowLabel(r);
        l.SetCaption(rows[r].text);
        l.SetLayout(ui::TextLayout::Center);
        l.SetBounds(kLabelLeft, top, kLabelWidth, height);
        ui::Panel& p = RowPanel(r);
        p.SetBevelOuter(ui::Bevel::Lowered);
        p.SetColor(ui::clWindow);
        p.SetCaption({});
        p.SetBounds(kPanelLeft, top + (height - 24) / 2, kPanelWidth, 24);
        top += height + 6;
    }

    BitBtn1.SetCaption("Вихід");
    BitBtn1.SetGlyph(ui::Glyph::Close);
    BitBtn1.SetCancel(true);
    BitBtn1.SetDefault(true);
    BitBtn1.SetModalResult(ui::mrOk);
    BitBtn1.SetBounds((kWidth - 6 - 110) / 2, 344, 110, 30);

    OnShow = [this] { FormShow(); };
}

ui::Label& TFormIdent::RowLabel(int r) {
    ui::Label* l[kRows] = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6, &Label7, &Label8, &Label9};
    return *l[r < 0 || r >= kRows ? 0 : r];
}

ui::Panel& TFormIdent::RowPanel(int r) {
    ui::Panel* p[kRows] = {&pn1, &pn2, &pn3, &pn4, &pn5, &pn6, &pn7, &pn8, &pn9};
    return *p[r < 0 || r >= kRows ? 0 : r];
}

std::string TFormIdent::SoftwareDateText(const uint8_t* d) {
    // Bytes: year, month, day, hour, minute, second.
    return Part(d[2], 1, 31) + "." + Part(d[1], 1, 12) + "." + Part(d[0], 0, 99) + "  " + Part(d[3], 0, 23) + ":" +
           Part(d[4], 0, 59) + ":" + Part(d[5], 0, 59);
}

void TFormIdent::FormShow() {
    for (int r = 0; r < kRows; ++r) {
        RowPanel(r).SetCaption({});
        RowPanel(r).SetFontColor(ui::clWindowText);
        RowLabel(r).SetEnabled(FullView || r < 2);
    }
    if (!Ident) return;
    const uint8_t* b = Ident;
    pn1.SetCaption(Fmt("%d", b[1]));
    pn2.SetCaption(Fmt("%d", b[3]));
    if (!FullView) return;
    pn3.SetCaption(Fmt("%d", b[2]));
    pn4.SetCaption(SoftwareDateText(b + 4));
    pn5.SetCaption(b[10] == 0 ? "Мол. адреса - ст. байт" : b[10] == 1 ? "Мол. адреса - мол. байт" : " ? ");
    if (b[0] != 0) {
        pn6.SetCaption(Fmt("Порушена таблиця %d", b[0]));
        pn6.SetFontColor(ui::clRed);
    } else {
        pn6.SetCaption("Порушених таблиць немає");
    }
    pn7.SetCaption(b[11] != 0 ? "Есть" : "Нет");
    pn8.SetCaption(b[13] == 0 ? "Є" : Fmt("Немає. Адреса = %d", b[13]));
    pn9.SetCaption(Fmt("%d.%d.%d", b[14], b[15], b[16]));
}
