#include "config/Chrom_Ser_Num.h"

#include <cstdio>

namespace {
constexpr int kWidth = 268, kHeight = 148;
}

TFormChrom_Ser_Num::TFormChrom_Ser_Num(ui::Component* owner) : ui::Form(owner, "FormChrom_Ser_Num") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::MainFormCenter);
    SetCaption(" Хроматограф");
    SetBounds(0, 0, kWidth, kHeight);

    Label1.SetCaption("Серійний номер хроматографа");
    Label1.SetAlignment(ui::TextAlign::Center);
    Label1.SetBounds(8, 10, 246, 16);
    Panel7.SetBevelOuter(ui::Bevel::Lowered);
    Panel7.SetColor(ui::clWindow);
    Panel7.SetFontBold(true);
    Panel7.SetBounds(44, 32, 174, 26);
    Panel7.SetCaption({});

    BitBtn1.SetCaption("OK");
    BitBtn1.SetGlyph(ui::Glyph::Ok);
    BitBtn1.SetDefault(true);
    BitBtn1.SetCancel(true);
    BitBtn1.SetModalResult(ui::mrOk);
    BitBtn1.SetBounds(86, 72, 90, 28);

    OnShow = [this] { FormShow(); };
}

void TFormChrom_Ser_Num::FormShow() {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%u", unsigned(SerialNumber));
    Panel7.SetCaption(buf);
}
