#include "app/TableInfo.h"

#include <cstdio>
#include <cstring>

#include "config/Globals.h"
#include "common/LinkStatus.h"
#include "common/Question.h"
#include "common/Rd_wr_ini.h"
#include "common/Stringi.h"
#include "link/Hgcbox.h"

namespace {
constexpr int kWidth = 600, kHeight = 588;
constexpr int kHeadHeight = 30, kButtonsHeight = 55;
constexpr int kListHeight = kHeight - 113;  // 27 rows and a little
constexpr int kTitleWidth = 470, kStateLeft = 472, kStateWidth = 56, kCheckLeft = 548;
}  // namespace

TableCheckBlock MakeTableCheckBlock(const uint8_t* states) {
    TableCheckBlock b;
    for (int t = 0; t < kTableCount; ++t) {
        b.Flags[t] = ConfigTableDir[t].configFlag;
        b.States[t] = states ? states[t] : 0;
    }
    return b;
}

TFormTableInfo::TFormTableInfo(ui::Component* owner) : ui::Form(owner, "FormTableInfo") {
    SetCaption(" Стан таблиць параметрів конфігурації");
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetBounds(0, 0, kWidth, kHeight);

    Panel1.SetParent(this);
    Panel1.SetAlign(ui::Align::Top);
    Panel1.SetHeight(kHeadHeight);
    Panel1.SetBevelOuter(ui::Bevel::None);
    struct Head {
        ui::Label* label;
        const char* text;
        int left, top;
    };
    for (const Head& h : {Head{&Label1, "Пору-", kStateLeft + 2, 1}, Head{&Label2, "шена", kStateLeft + 2, 15},
                          Head{&Label3, "Записати", kCheckLeft - 22, 1}, Head{&Label4, "таблицю", kCheckLeft - 22, 15}}) {
        h.label->SetParent(&Panel1);
        h.label->SetCaption(h.text);
        h.label->SetAlignment(ui::TextAlign::Center);
        h.label->SetBounds(h.left, h.top, 64, 14);
    }

    Panel2.SetParent(this);
    Panel2.SetAlign(ui::Align::Bottom);
    Panel2.SetHeight(kButtonsHeight);
    Panel2.SetBevelOuter(ui::Bevel::None);
    struct Btn {
        ui::Button* button;
        const char* text;
        int left, width;
    };
    for (const Btn& b : {Btn{&BitBtn2, "Вихід", 8, 80}, Btn{&BitBtn1, "Записати всі таблиці", 96, 140},
                         Btn{&BitBtn3, "Записати обрані таблиці", 244, 154},
                         Btn{&BitBtn4, "Скинути енергонезалежні дані", 406, 180}}) {
        b.button->SetParent(&Panel2);
        b.button->SetCaption(b.text);
        b.button->SetBounds(b.left, 12, b.width, 30);
    }
    BitBtn2.SetGlyph(ui::Glyph::Close);
    BitBtn2.SetCancel(true);

    ScrollBox1.SetParent(this);
    ScrollBox1.SetAlign(ui::Align::Client);
    ScrollBox1.SetVertIncrement(kRowHeight);
    for (int n = 1; n <= kRows; ++n) {
        const std::string k = std::to_string(n);
        ui::Panel& title = Make<ui::Panel>("pn" + k);
        ui::Panel& state = Make<ui::Panel>("pw" + k);
        ui::CheckBox& check = Make<ui::CheckBox>("cb" + k);
        const int top = (n - 1) * kRowHeight;
        title.SetParent(&ScrollBox1);
        title.SetBounds(0, top, kTitleWidth, kRowHeight);
        title.SetAlignment(ui::TextAlign::Left);
        title.SetBevelOuter(ui::Bevel::Lowered);
        state.SetParent(&ScrollBox1);
        state.SetBounds(kStateLeft, top, kStateWidth, kRowHeight);
        state.SetBevelOuter(ui::Bevel::Lowered);
        check.SetParent(&ScrollBox1);
        check.SetBounds(kCheckLeft, top, 17, kRowHeight);
        pn_[n - 1] = &title;
        pw_[n - 1] = &state;
        cb_[n - 1] = &check;
    }

    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    BitBtn3.OnClick = [this] { BitBtn3Click(); };
    BitBtn4.OnClick = [this] { BitBtn4Click(); };
    OnShow = [this] { FormShow(); };
}

void TFormTableInfo::BuildTableList() {
    if (!Block) return;
    const bool direct = ProgramSettings.Conn_Prz == 0;
    int k = 0;
    int firstDamaged = 0;
    for (int t = 0; t < kTableCount && k < kRows; ++t) {
        if (!Block->Flags[t]) continue;
        ++k;
        ui::Panel& title = pn(k);
        ui::Panel& state = pw(k);
        ui::CheckBox& check = cb(k);
        title.SetTag(t);
        state.SetTag(t);
        check.SetTag(t);
        char buf[160];
        const char* name = texts::TableNames.At(t);
        std::snprintf(buf, sizeof buf, " Табл. %2d.  %s", t, name ? name : "");
        title.SetCaption(buf);
        title.Show();
        state.Show();
        check.Show();
        check.SetEnabled(true);
        if (Block->States[t]) {
            state.SetCaption("Так");
            state.SetFontColor(ui::clRed);
            check.SetChecked(true);
            if (!firstDamaged) firstDamaged = k;
        } else {
            state.SetCaption("Ні");
            state.SetFontColor(ui::clWindowText);
            check.SetChecked(false);
            if (t == 4) check.SetEnabled(false);
        }
        if (!direct) {
            check.SetChecked(false);
            check.SetEnabled(false);
        }
    }
    rowCount_ = k;
    for (int n = k + 1; n <= kRows; ++n) {
        pn(n).Hide();
        pw(n).Hide();
        cb(n).Hide();
    }
    if (k >= kVisibleRows) {
        SetHeight(kHeight);
        ScrollBox1.SetVertRange(0);
        if (firstDamaged > kVisibleRows) ScrollBox1.SetVertPosition((firstDamaged - kVisibleRows) * kRowHeight);
        else ScrollBox1.SetVertPosition(0);
    } else {
        // Fewer rows: list and window shrink to them, no scroll bar.
        const int list = k * kRowHeight + 4;
        SetHeight(list + 113);
        ScrollBox1.SetVertPosition(0);
    }
    (void)kListHeight;
}

void TFormTableInfo::FormShow() {
    Result = 0;
    BuildTableList();
    const uint8_t version = ConfigImage[cfgofs::kSoftwareVersion];
    const bool direct = ProgramSettings.Conn_Prz == 0;
    BitBtn1.SetEnabled(true);
    BitBtn3.SetEnabled(true);
    BitBtn4.SetEnabled(true);
    if (version != 14) {
        BitBtn1.SetEnabled(false);
        BitBtn3.SetEnabled(false);
    } else if (!direct) {
        BitBtn1.SetEnabled(false);
        BitBtn3.SetEnabled(false);
        BitBtn4.SetEnabled(false);
    } else {
        BitBtn4.SetEnabled(true);
    }
    BitBtn2.SetFocus();
}

void TFormTableInfo::AdjustSpecialMarks() {
    if (!Block->States[2]) Block->Marks[2] = 0;
    Block->Marks[4] = Block->States[4] ? 1 : 0;
}

void TFormTableInfo::BitBtn3Click() {
    if (!Block) return;
    std::memset(Block->Marks, 0, sizeof Block->Marks);
    for (int n = 1; n <= rowCount_; ++n) {
        const int t = cb(n).Tag();
        if (t < 0 || t >= kTableCount) continue;
        Block->Marks[t] = cb(n).Checked() ? 1 : 0;
    }
    // The clock goes only when it is damaged: ticked alone on a sound
    // controller, nothing is left to write.
    if (!Block->States[2]) Block->Marks[2] = 0;
    bool any = false;
    for (int t = 0; t < kTableCount; ++t) any = any || Block->Marks[t] != 0;
    if (!any) {
        MessageKind = 6;
        ShowQues("Не задані таблиці для запису", "");
        return;
    }
    AdjustSpecialMarks();
    Result = 1;
    SetModalResult(ui::mrOk);
}

void TFormTableInfo::BitBtn1Click() {
    if (!Block) return;
    for (int t = 0; t < kTableCount; ++t) Block->Marks[t] = Block->Flags[t] ? 1 : 0;
    AdjustSpecialMarks();
    Result = 2;
    SetModalResult(ui::mrOk);
}

void TFormTableInfo::BitBtn2Click() {
    Result = 0;
    SetModalResult(ui::mrCancel);
}

void TFormTableInfo::BitBtn4Click() {
    ExchangeGuard guard(this);
    if (!guard || !HgcBox) return;
    MessageKind = 3;
    ShowQues("Ви впевнені, що хочете виконати скидання", "всіх енергонезалежних даних?");
    if (MessageAnswer != 1) return;
    bool ok = false;
    {
        ui::HourGlass wait;
        ok = HgcBox->Exchange(25);
    }
    if (!ok) {
        MessageKind = 6;
        ShowQues("Команда не може бути виконана.", HgcBox->ErrorText());
        return;
    }
    BitBtn4.SetEnabled(false);
    // After the reset the controller answers at address 1 and 9600 baud.
    HgcBox->Address = 1;
    HgcBox->Baud = 9600;
    LinkParams& link = CurrentLinkParams(ProgramSettings);
    link.Adr = 1;
    link.Rate = 9600;
    ShowLinkInStatusBar(StatusBar);
    Result = 3;
    SetModalResult(ui::mrOk);
}
