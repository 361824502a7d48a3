#include "config/ContrName.h"

#include <cstring>

#include "common/Question.h"
#include "platform/Codepage.h"

namespace {

constexpr int kWidth = 482, kHeight = 234;

}  // namespace

std::string TFormContrName::NameText(const uint8_t* row) {
    std::size_t n = 0;
    while (n < std::size_t(kNameBytes) && row[n] != 0) ++n;
    // Trimmed in the code page, where a control character is one byte.
    const std::string_view bytes = platform::TrimSpace(std::string_view(reinterpret_cast<const char*>(row), n));
    return platform::Cp1251ToUtf8(bytes);
}

TFormContrName::TFormContrName(ui::Component* owner) : ui::Form(owner, "FormContrName") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::MainFormCenter);
    SetCaption(" Найменування");
    SetBounds(0, 0, kWidth, kHeight);

    const char* captions[3] = {"Найменування контролера", "Найменування нитки 1 \nхроматографа",
                               "Найменування нитки 2 \nхроматографа"};
    ui::Label* labels[3] = {&Label1, &Label2, &Label3};
    ui::Edit* edits[3] = {&Edit1, &Edit2, &Edit3};
    for (int i = 0; i < 3; ++i) {
        const int top = 16 + i * 44;
        labels[i]->SetCaption(captions[i]);
        labels[i]->SetLayout(ui::TextLayout::Center);
        labels[i]->SetBounds(16, top - 6, 190, 34);
        edits[i]->SetBounds(214, top, 240, 21);
        edits[i]->SetMaxLength(kNameBytes);
    }

    BitBtn1.SetCaption("Записати в пристрій");
    BitBtn3.SetCaption("Прийняти");
    for (ui::Button* b : {&BitBtn1, &BitBtn3}) {
        b->SetGlyph(ui::Glyph::Ok);
        b->SetDefault(true);
        b->SetBounds(60, 156, 180, 30);
        b->OnClick = [this] { BitBtn1Click(); };
    }
    BitBtn2.SetCaption("Відмінити");
    BitBtn2.SetGlyph(ui::Glyph::Cancel);
    BitBtn2.SetCancel(true);
    BitBtn2.SetModalResult(ui::mrCancel);
    BitBtn2.SetBounds(270, 156, 130, 30);

    OnShow = [this] { FormShow(); };
}

void TFormContrName::FormShow() {
    accepted = 0;
    BitBtn1.SetVisible(Mode != 0);
    BitBtn3.SetVisible(Mode == 0);
    if (!Block) return;
    ui::Edit* edits[3] = {&Edit1, &Edit2, &Edit3};
    for (int i = 0; i < 3; ++i) edits[i]->SetText(NameText(Block + i * kNameBytes));
    Edit1.SetFocus();
}

void TFormContrName::BitBtn1Click() {
    ui::Edit* edits[3] = {&Edit1, &Edit2, &Edit3};
    for (ui::Edit* e : edits) {
        // Blanks alone would read back as an empty name.
        if (platform::TrimSpace(e->Text()).empty()) {
            MessageKind = 2;
            ShowQues("Уведені не всі параметри", "");
            e->SetFocus();
            return;
        }
    }
    if (!Block) return;
    uint8_t out[3 * kNameBytes];
    std::memcpy(out, Block, sizeof out);
    for (int i = 0; i < 3; ++i) {
        // A name left as it was shown keeps its bytes (its padding too), so
        // that nothing is written for it.
        uint8_t* row = out + i * kNameBytes;
        if (edits[i]->Text() == NameText(row)) continue;
        // Cut to the row in Windows-1251 bytes, zero-padded; no terminator
        // past the row.
        std::memset(row, 0, kNameBytes);
        const std::string bytes = platform::Utf8ToCp1251(edits[i]->Text());
        std::memcpy(row, bytes.data(), std::min<std::size_t>(bytes.size(), kNameBytes));
    }
    std::memcpy(Block, out, sizeof out);
    accepted = 1;
    SetModalResult(ui::mrOk);
}
