#include "data/Momwmt.h"

#include <cstdio>
#include <cstring>

#include "common/Suplfunc.h"
#include "config/Conffun.h"
#include "config/ConfigImage.h"

namespace {

constexpr int kWidth = 676;
constexpr int kTop = 44, kRowHeight = 22;
constexpr int kTitleWidth = 500, kValueLeft = 516, kValueWidth = 140;
constexpr double kBarToKgf = 1.019716213;

// Names of PV21 .. PV25 (with units) as a type-1 meter reports them.
const char* const kNames[TFormMomWmt::kRows] = {
    " PV21 – Температура точки роси газу WDP при робочому тиску,  °С",
    " PV22 – Температура точки роси газу HDP при робочому тиску,  °С",
    " PV23 – Надлишковий тиск газу WDP,  bar",
    " PV24 – Наведена температура точки роси газу WDP до P абс.,  °С",
    " PV25 – Надлишковий тиск газу HDP,  bar",
};

}  // namespace

TFormMomWmt::TFormMomWmt(ui::Component* owner) : LiveMonitorForm(owner, "FormMomWmt") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::MainFormCenter);
    SetCaption(" Миттєві дані вологоміра");
    SetBounds(0, 0, kWidth, 254);

    LabelDate.SetCaption("Дата і час останнього вимірювання");
    LabelDate.SetBounds(10, 14, 230, 16);
    pnDate.SetBevelOuter(ui::Bevel::Lowered);
    pnDate.SetColor(ui::clWindow);
    pnDate.SetFontBold(true);
    pnDate.SetBounds(246, 8, 180, 26);

    for (int i = 0; i < kRows; ++i) {
        const std::string k = std::to_string(i + 1);
        const int top = kTop + i * kRowHeight;
        ui::Label& name = Make<ui::Label>("pn" + k);
        name.SetBounds(8, top, kTitleWidth, kRowHeight - 2);
        name.SetLayout(ui::TextLayout::Center);
        ui::Label& value = Make<ui::Label>("v" + k);
        value.SetBounds(kValueLeft, top, kValueWidth, kRowHeight - 2);
        value.SetLayout(ui::TextLayout::Center);
        value.SetColor(ui::clWindow);
        value.SetFontBold(true);
    }

    BitBtn2.SetCaption("Вихід");
    BitBtn2.SetGlyph(ui::Glyph::Close);
    BitBtn2.SetCancel(true);

    AttachRefresh(Timer1, BitBtn1, lbState, kTickMs, BeforeTick::Nothing);
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    OnShow = [this] { FormShow(); };
    FormCreate();
}

TFormMomWmt::~TFormMomWmt() { Timer1.SetEnabled(false); }

void TFormMomWmt::FormCreate() {
    for (int i = 0; i < kRows; ++i) {
        const std::string k = std::to_string(i + 1);
        pn[i] = Find<ui::Label>("pn" + k);
        v[i] = Find<ui::Label>("v" + k);
        pn[i]->SetCaption(kNames[i]);
        v[i]->SetCaption({});
    }
}

void TFormMomWmt::FormShow() {
    type_ = ConfigImage[ConfigTableDir[15].offset + 6];
    for (int i = 0; i < kRows; ++i) {
        pn[i]->SetCaption(kNames[i]);
        pn[i]->Show();
        v[i]->Show();
        v[i]->SetCaption({});
    }
    int height = 254;
    rows_ = kRows;
    if (type_ == 0) {
        pn[2]->SetCaption(" PV23 – Надлишковий тиск газу WDP,  кгc/см2");
        pn[4]->SetCaption(" PV25 – Надлишковий тиск газу HDP,  кгc/см2");
    } else if (type_ == 2) {
        rows_ = 4;
        pn[4]->Hide();
        v[4]->Hide();
        pn[2]->SetCaption(" PV23 – Тиск газу,  bar");
        height = 232;
    }
    SetBounds(Left(), Top(), kWidth, height);
    const int bottom = kTop + rows_ * kRowHeight;
    lbState.SetBounds(10, bottom + 2, 650, 16);
    BitBtn1.SetBounds(8, bottom + 20, 220, 28);
    BitBtn2.SetBounds(kWidth - 6 - 8 - 110, bottom + 20, 110, 28);
    pnDate.SetCaption({});
    RefreshAtOnce();
}

bool TFormMomWmt::ReadAndShow() {
    bool ok;
    {
        ui::HourGlass wait;
        ok = ReadRows({37, 0, 7});
    }
    if (ok) {
        std::memcpy(Values, RowPtr(37, 0), kValueBytes);
        ShowWmtMomentaryValues();
    }
    return ok;
}

void TFormMomWmt::ShowWmtMomentaryValues() {
    const uint8_t* d = Values;
    char date[64];
    std::snprintf(date, sizeof date, "%02d.%02d.%02d %02d:%02d:%02d", d[2], d[1], d[0], d[4], d[5], d[6]);
    pnDate.SetCaption(date);
    for (int i = 0; i < rows_; ++i) {
        double value = GetF32(d + 8 + 4 * i);
        if (type_ == 0 && (i == 2 || i == 4)) value *= kBarToKgf;
        v[i]->SetCaption("  " + FormatValueWmt(float(value)));
    }
}

void TFormMomWmt::BitBtn2Click() {
    SetModalResult(ui::mrCancel);
    StopExchange();
}
