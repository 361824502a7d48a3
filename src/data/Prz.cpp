#include "data/Prz.h"

#include <cstdio>
#include <cstring>

#include "config/Conffun.h"
#include "config/ConfigImage.h"
#include "config/Globals.h"
#include "config/ImageCounts.h"
#include "config/VichInf.h"

namespace {

constexpr int kWidth = 532, kHeight = 530;
constexpr int kLabelLeft = 10, kLabelWidth = 330, kPanelLeft = 350, kPanelWidth = 146, kPanelHeight = 24;
constexpr ui::Color kAbnormal = ui::clRed;
constexpr ui::Color kNormal = ui::clWindowText;

void SetState(ui::Panel& p, bool abnormal, const std::string& abnormalText, const std::string& normalText) {
    p.SetCaption(abnormal ? abnormalText : normalText);
    p.SetFontColor(abnormal ? kAbnormal : kNormal);
}

std::string ErrorCodeText(int code) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "Код помилки %d", code);
    return buf;
}

void Swap16(uint8_t* p) {
    const uint8_t t = p[0];
    p[0] = p[1];
    p[1] = t;
}

}  // namespace

TFormPrz::TFormPrz(ui::Component* owner) : LiveMonitorForm(owner, "FormPrz") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::MainFormCenter);
    SetCaption(" Поточний стан контролера");
    SetBounds(0, 0, kWidth, kHeight);

    ui::Font value;
    value.Bold = true;
    auto panel = [&](ui::Panel& p, ui::Control* parent, int top) {
        p.SetParent(parent);
        p.SetBevelOuter(ui::Bevel::Lowered);
        p.SetColor(ui::clWindow);
        p.SetFont(value);
        p.SetCaption({});
        p.SetBounds(kPanelLeft, top, kPanelWidth, kPanelHeight);
    };
    auto label = [&](ui::Label& l, ui::Control* parent, const char* text, int top, int height = 16) {
        l.SetParent(parent);
        l.SetCaption(text);
        l.SetLayout(ui::TextLayout::Center);
        l.SetBounds(kLabelLeft, top + (kPanelHeight - height) / 2, kLabelWidth, height);
    };

    label(LabelDate, this, "Дата і час останньої зміни стану", 10);
    LabelDate.SetLeft(18);
    panel(pnDate, this, 10);
    pnDate.SetLeft(kPanelLeft + 8);

    GroupBox1.SetCaption(" Нештатні ситуації ");
    GroupBox1.SetBounds(8, 44, 510, 246);
    struct Row {
        ui::Label* label;
        ui::Panel* panel;
        const char* text;
        int lines;
    };
    const Row rows[] = {
        {&LabelOvg, &pnOvg, "Нештатні ситуації, пов'язані з обміном\nз обчислювачами ВГ", 2},
        {&LabelChrom, &pnChrom, "Нештатні ситуації, пов'язані з опитуванням хроматографа", 2},
        {&LabelLine1, &pnLine1, "Нитка 1 хроматографа", 1},
        {&LabelLine2, &pnLine2, "Нитка 2 хроматографа", 1},
        {&LabelWmt, &pnWmt, "Нештатні ситуації, пов'язані з опитуванням вологоміра", 2},
        {&LabelSelf, &pnSelf, "Нештатні ситуації, пов'язані із самодіагностикою", 1},
    };
    int top = 22;
    for (const Row& r : rows) {
        label(*r.label, &GroupBox1, r.text, top, r.lines * 15 + 2);
        // A caption of one line that is too long for the column wraps.
        r.label->SetWordWrap(r.lines > 1);
        panel(*r.panel, &GroupBox1, top);
        top += 36;
    }

    GroupBox2.SetCaption(" Зв'язок ");
    GroupBox2.SetBounds(8, 296, 510, 84);
    label(LabelChromLink, &GroupBox2, "Зв'язок з хроматографом", 20);
    panel(pnChromLink, &GroupBox2, 20);
    label(LabelWmtLink, &GroupBox2, "Зв'язок з вологоміром", 50);
    panel(pnWmtLink, &GroupBox2, 50);

    lbState.SetBounds(10, 386, 508, 16);
    lbState.SetCaption({});

    BitBtn6.SetCaption("Стан обміну з обчислювачами");
    BitBtn6.SetBounds(8, 408, 250, 30);
    BitBtn1.SetCaption("Стан таблиць конфігурації");
    BitBtn1.SetBounds(268, 408, 250, 30);
    BitBtn10.SetBounds(8, 448, 250, 30);
    BitBtn2.SetCaption("Вихід");
    BitBtn2.SetGlyph(ui::Glyph::Close);
    BitBtn2.SetCancel(true);
    BitBtn2.SetBounds(408, 448, 110, 30);

    AttachRefresh(Timer1, BitBtn10, lbState, kTickMs, BeforeTick::ProcessMessages);
    BitBtn6.OnClick = [this] { BitBtn6Click(); };
    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    OnShow = [this] { FormShow(); };
}

TFormPrz::~TFormPrz() { Timer1.SetEnabled(false); }

void TFormPrz::FormShow() {
    Result = 0;
    const uint8_t* sys = RowPtr(6, 0);
    const bool wmt = sys[8] != 0, ovg = sys[9] != 0;
    for (ui::Control* c : {static_cast<ui::Control*>(&LabelWmt), static_cast<ui::Control*>(&pnWmt),
                           static_cast<ui::Control*>(&LabelWmtLink), static_cast<ui::Control*>(&pnWmtLink)})
        c->SetVisible(wmt);
    for (ui::Control* c : {static_cast<ui::Control*>(&LabelOvg), static_cast<ui::Control*>(&pnOvg),
                           static_cast<ui::Control*>(&BitBtn6)})
        c->SetVisible(ovg);
    RefreshByTimer();
}

// The abnormal situations, then (while refreshing stays on and the window
// open) the links.
bool TFormPrz::ReadAndShow() {
    bool ok = true;
    if (ReadRows({16, 0, 18})) ShowSituationFlags();
    else ok = false;
    ui::Application::ProcessMessages();
    if (Refreshing() && !Closing()) {
        if (ReadRows({33, 0, 2})) {
            const uint8_t* link = RowPtr(33, 0);
            SetState(pnChromLink, link[0] == 0, "Связи нет", "Норма");
            if (pnWmtLink.Visible()) SetState(pnWmtLink, link[1] == 0, "Связи нет", "Норма");
        } else {
            ok = false;
        }
    }
    return ok;
}

void TFormPrz::ShowSituationFlags() {
    uint8_t* f = RowPtr(16, 0);
    // Two 16-bit words of the table come high byte first from a controller
    // that says so; they are put right in the image (not shown here).
    if (ConfigImage[cfgofs::kByteOrder] == 0) {
        Swap16(f + 12);
        Swap16(f + 16);
    }
    char date[64];
    std::snprintf(date, sizeof date, "%02d.%02d.%02d  %02d:%02d:%02d", f[2], f[1], f[0], f[3], f[4], f[5]);
    pnDate.SetCaption(date);
    SetState(pnOvg, f[6] != 0, "Є", "Норма");
    SetState(pnChrom, f[7] != 0, ErrorCodeText(f[7]), "Норма");
    SetState(pnLine1, f[10] != 0, "Є", "Нема");
    SetState(pnLine2, f[11] != 0, "Є", "Нема");
    SetState(pnWmt, f[8] != 0, ErrorCodeText(f[8]), "Норма");
    SetState(pnSelf, f[9] != 0, "Є", "Норма");
}

void TFormPrz::SetButtons(bool enabled) {
    for (ui::Button* b : {&BitBtn6, &BitBtn1, &BitBtn10, &BitBtn2}) b->SetEnabled(enabled);
}

void TFormPrz::BitBtn6Click() {
    ExchangeGuard guard(this);
    if (!guard || Busy()) return;
    SetBusy(true);
    Timer1.SetEnabled(false);
    SetButtons(false);
    uint8_t block[TFormVichInf::kBlockBytes] = {};
    bool ok;
    {
        ui::HourGlass wait;
        ok = ReadTableRange({9, 0, 1}, StatusBar, true);
        // The count comes from the controller: never more rows than the
        // tables have, and no request for none.
        const int n = ok ? FlowComputerCount() : 0;
        const int tables[3] = {18, 34, 35};
        for (int i = 0; ok && n > 0 && i < 3; ++i) {
            ok = ReadTableRange({uint8_t(tables[i]), 0, uint8_t(n)}, StatusBar, true);
            if (ok) std::memcpy(block + 16 * i, RowPtr(tables[i], 0), std::size_t(n));
        }
    }
    SetBusy(false);
    RestartMessageTimer();
    if (ok && !Closing()) {
        TFormVichInf f(this);
        f.Block = block;
        f.ShowModal();
    }
    SetButtons(true);
    RestartTimer();
}

void TFormPrz::BitBtn1Click() {
    ExchangeGuard guard(this);
    if (!guard || Busy()) return;
    SetBusy(true);
    Timer1.SetEnabled(false);
    SetButtons(false);
    bool ok;
    {
        ui::HourGlass wait;
        ok = ReadTableRange({7, 0, 47}, StatusBar, true);
    }
    SetBusy(false);
    RestartMessageTimer();
    if (ok && Block && !Closing()) {
        std::memcpy(Block->States, RowPtr(7, 0), kTableCount);
        std::memset(Block->Marks, 0, sizeof Block->Marks);
        for (int t = 0; t < kTableCount; ++t) Block->Flags[t] = ConfigTableDir[t].configFlag ? 1 : 0;
        Result = 1;
        SetButtons(true);
        SetModalResult(ui::mrOk);
        return;
    }
    SetButtons(true);
    RestartTimer();
}

void TFormPrz::BitBtn2Click() {
    Result = 0;
    SetModalResult(ui::mrCancel);
    StopExchange();
}
