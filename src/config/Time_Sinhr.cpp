#include "config/Time_Sinhr.h"

namespace {
constexpr int kWidth = 362, kHeight = 318;
}

TFormTime_Sinhr::TFormTime_Sinhr(ui::Component* owner) : ui::Form(owner, "FormTime_Sinhr") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::MainFormCenter);
    SetCaption(" Синхронізація часу");
    SetBounds(0, 0, kWidth, kHeight);

    GroupBox1.SetCaption(" Синхронізувати час контролера ");
    GroupBox1.SetBounds(10, 8, 336, 80);
    CheckBox1.SetParent(&GroupBox1);
    CheckBox1.SetCaption("З часом обчислювача");
    CheckBox1.SetBounds(16, 24, 300, 18);
    CheckBox2.SetParent(&GroupBox1);
    CheckBox2.SetCaption("З часом ЕОМ");
    CheckBox2.SetBounds(16, 50, 300, 18);

    GroupBox2.SetCaption(" Синхронізувати час хроматографа ");
    GroupBox2.SetBounds(10, 96, 336, 132);
    struct Flag {
        ui::CheckBox* box;
        ui::Label *line1, *line2;
        const char* text2;
        int top;
    };
    for (const Flag& f : {Flag{&CheckBox3, &Label1, &Label2, "контролера з часом обчислювача", 24},
                          Flag{&CheckBox4, &Label5, &Label6, "контролера з часом ЕОМ", 74}}) {
        f.box->SetParent(&GroupBox2);
        f.box->SetCaption({});
        f.box->SetBounds(16, f.top + 6, 18, 18);
        f.line1->SetParent(&GroupBox2);
        f.line1->SetCaption("В момент синхронізації часу");
        f.line1->SetBounds(38, f.top, 280, 16);
        f.line2->SetParent(&GroupBox2);
        f.line2->SetCaption(f.text2);
        f.line2->SetBounds(38, f.top + 16, 280, 16);
    }

    BitBtn1.SetCaption("Прийняти");
    BitBtn14.SetCaption("Записати в пристрій");
    for (ui::Button* b : {&BitBtn1, &BitBtn14}) {
        b->SetGlyph(ui::Glyph::Ok);
        b->SetDefault(true);
        b->SetBounds(10, 242, 180, 30);
        b->OnClick = [this] { BitBtn1Click(); };
    }
    BitBtn2.SetCaption("Відмінити");
    BitBtn2.SetGlyph(ui::Glyph::Cancel);
    BitBtn2.SetCancel(true);
    BitBtn2.SetModalResult(ui::mrCancel);
    BitBtn2.SetBounds(216, 242, 130, 30);

    CheckBox1.OnClick = [this] { CheckBox1Click(); };
    CheckBox2.OnClick = [this] { CheckBox2Click(); };
    OnShow = [this] { FormShow(); };
}

void TFormTime_Sinhr::FormShow() {
    accepted = 0;
    BitBtn14.SetVisible(Mode != 0);
    BitBtn1.SetVisible(Mode == 0);
    if (!Block) return;
    // The click handlers run whatever the state was, so the chromatograph
    // boxes always follow.
    CheckBox1.SetChecked(Block[0] != 0);
    CheckBox1Click();
    CheckBox2.SetChecked(Block[1] != 0);
    CheckBox2Click();
}

void TFormTime_Sinhr::CheckBox1Click() {
    const bool on = CheckBox1.Checked();
    for (ui::Control* c : {static_cast<ui::Control*>(&Label1), static_cast<ui::Control*>(&Label2),
                           static_cast<ui::Control*>(&CheckBox3)})
        c->SetEnabled(on);
    CheckBox3.SetChecked(on && Block && Block[2] != 0);
}

void TFormTime_Sinhr::CheckBox2Click() {
    const bool on = CheckBox2.Checked();
    for (ui::Control* c : {static_cast<ui::Control*>(&Label5), static_cast<ui::Control*>(&Label6),
                           static_cast<ui::Control*>(&CheckBox4)})
        c->SetEnabled(on);
    CheckBox4.SetChecked(on && Block && Block[3] != 0);
}

void TFormTime_Sinhr::BitBtn1Click() {
    if (!Block) return;
    Block[0] = CheckBox1.Checked() ? 1 : 0;
    Block[1] = CheckBox2.Checked() ? 1 : 0;
    Block[2] = CheckBox3.Checked() ? 1 : 0;
    Block[3] = CheckBox4.Checked() ? 1 : 0;
    accepted = 1;
    SetModalResult(ui::mrOk);
}
