#include "common/Question.h"

#include <algorithm>

std::uint32_t MessageKind = 0;
std::uint8_t MessageAnswer = 0;

namespace {
constexpr int kButtonWidth = 90, kButtonHeight = 28;
}

TFormQues::TFormQues(ui::Component* owner) : ui::Form(owner, "FormQues") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetColor(0xD4D4D4);
    SetBounds(0, 0, 300, 124);
    ui::Font f;
    f.Name = "Arial";
    f.Height = 15;
    int top = 10;
    for (ui::Label* l : {&Label1, &Label2, &Label3}) {
        l->SetFont(f);
        l->SetAlignment(ui::TextAlign::Center);
        l->SetBounds(4, top, 286, 20);
        top += 26;
    }
    BitBtn1.SetCaption("Так");
    BitBtn1.SetGlyph(ui::Glyph::Yes);
    BitBtn2.SetCaption("Ні");
    BitBtn2.SetGlyph(ui::Glyph::No);
    BitBtn2.SetCancel(true);
    BitBtn3.SetGlyph(ui::Glyph::Close);
    BitBtn3.SetCancel(true);
    for (ui::Button* b : {&BitBtn1, &BitBtn2, &BitBtn3}) b->SetBounds(0, 0, kButtonWidth, kButtonHeight);
    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    BitBtn3.OnClick = [this] { BitBtn3Click(); };
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormQues::FormCreate() { MessageAnswer = 0; }

void TFormQues::Prepare(std::uint32_t kind, const std::string& line1, const std::string& line2) {
    Kind = kind;
    SetCaption({});
    Label3.SetCaption({});
    BitBtn1.Hide();
    BitBtn2.Hide();
    BitBtn3.Show();
    switch (kind) {
    case 1: SetCaption("Помилка"); break;
    case 2: SetCaption("Помилка вводу параметрів"); break;
    case 3:
        BitBtn1.Show();
        BitBtn2.Show();
        BitBtn3.Hide();
        break;
    case 4: Label3.SetCaption("(див. поточний стан контролера)"); break;
    case 5: SetCaption("Результат обміну з пристроєм"); break;
    case 7:
        Label3.SetCaption("Повторити спробу?");
        BitBtn1.Show();
        BitBtn2.Show();
        BitBtn3.Hide();
        break;
    default: break;  // 6 and any unknown kind: a plain message with the close button
    }
    Label1.SetCaption(line1);
    Label2.SetCaption(line2);
}

void TFormQues::FormShow() {
    int h = 124;
    if (!Label3.Caption().empty()) h = 175;
    else if (!Label2.Caption().empty()) h = 150;
    int chars = 0;
    for (const std::string* s : {&Caption(), &Label1.Caption(), &Label2.Caption(), &Label3.Caption()})
        chars = std::max(chars, ui::utf8::Length(*s));
    int w = std::max(10 * chars + 20, BitBtn1.Width() + BitBtn2.Width() + 60);
    // Ten pixels a character is too little for the title bar's bold font
    // with its icon and close button: the caption would show cut short.
    w = std::max(w, CaptionWidth());
    // A very long line (a deep file path) must not push the box and its
    // buttons past the screen's edge.
    if (ui::Screen::Width() > 0) w = std::min(w, ui::Screen::Width());
    SetBounds(Left(), Top(), w, h);
    for (ui::Label* l : {&Label1, &Label2, &Label3})
        l->SetBounds((ClientWidth() - (w - 14)) / 2, l->Top(), w - 14, l->Height());
    int buttonTop = ClientHeight() - kButtonHeight - 10;
    if (BitBtn1.Visible()) {
        int gap = (w - BitBtn1.Width() - BitBtn2.Width()) / 3 - 3;
        BitBtn2.SetBounds(gap, buttonTop, BitBtn2.Width(), BitBtn2.Height());
        BitBtn1.SetBounds(BitBtn2.Left() + BitBtn2.Width() + gap, buttonTop, BitBtn1.Width(), BitBtn1.Height());
        BitBtn1.SetFocus();
    } else {
        BitBtn3.SetBounds((w - BitBtn3.Width()) / 2, buttonTop, BitBtn3.Width(), BitBtn3.Height());
        BitBtn3.SetFocus();
    }
}

void TFormQues::BitBtn1Click() {
    MessageAnswer = 1;
    Close();
}

void TFormQues::BitBtn2Click() {
    MessageAnswer = 0;
    Close();
}

void TFormQues::BitBtn3Click() { Close(); }

ui::MessageInfo TFormQues::Describe() const {
    ui::MessageInfo m;
    m.kind = int(Kind);
    m.caption = Caption();
    m.lines[0] = Label1.Caption();
    m.lines[1] = Label2.Caption();
    m.lines[2] = Label3.Caption();
    for (const ui::Button* b : {&BitBtn2, &BitBtn1, &BitBtn3})
        if (b->Visible()) m.buttons.push_back(b->Caption().empty() ? b->Name() : b->Caption());
    m.question = BitBtn1.Visible();
    m.width = Width();
    m.height = Height();
    return m;
}

void TFormQues::Answer(bool yes) {
    if (BitBtn1.Visible()) (yes ? BitBtn1 : BitBtn2).Click();
    else BitBtn3.Click();
}

void ShowQues(const std::string& line1, const std::string& line2) {
    TFormQues form(nullptr);
    form.Prepare(MessageKind, line1, line2);
    form.ShowModal();
}

void ShowQues(std::uint32_t kind, const std::string& line1, const std::string& line2) {
    MessageKind = kind;
    ShowQues(line1, line2);
}
