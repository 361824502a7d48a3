#include "config/VichInf.h"

#include <string>

#include "config/ImageCounts.h"

namespace {
constexpr int kWidth = 380;
constexpr int kNumberWidth = 30, kAddressWidth = 96, kLinkWidth = 96, kWriteWidth = 132;
constexpr int kLeft = 8;
}  // namespace

TFormVichInf::TFormVichInf(ui::Component* owner) : ui::Form(owner, "FormVichInf") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::MainFormCenter);
    SetCaption(" Стан обміну з обчислювачами ВГ");
    SetBounds(0, 0, kWidth, kFirstRowTop + 94);

    ui::Font head;
    head.Bold = true;
    int x = kLeft + kNumberWidth;
    struct Head {
        ui::Panel* panel;
        const char* text;
        int width;
    };
    for (const Head& h : {Head{&Panel1, "Адреса\nобчислювача", kAddressWidth},
                          Head{&Panel2, "Наявність\nзв'язку", kLinkWidth},
                          Head{&Panel3, "Стан процесу\nзапису параметрів", kWriteWidth}}) {
        h.panel->SetCaption(h.text);
        h.panel->SetFont(head);
        h.panel->SetBounds(x, 8, h.width, 36);
        x += h.width;
    }

    for (int i = 0; i < kRows; ++i) {
        const std::string k = std::to_string(i + 1);
        ui::Panel& row = Make<ui::Panel>("pn" + k);
        row.SetBevelOuter(ui::Bevel::Lowered);
        row.SetColor(ui::clWindow);
        row.SetCaption({});
        row.SetBounds(kLeft, kFirstRowTop + i * (kRowHeight - 1), kNumberWidth + kAddressWidth + kLinkWidth + kWriteWidth,
                      kRowHeight);
        struct Cell {
            const char* prefix;
            int left, width;
        };
        for (const Cell& c : {Cell{"ln", 0, kNumberWidth}, Cell{"la", kNumberWidth, kAddressWidth},
                              Cell{"lc", kNumberWidth + kAddressWidth, kLinkWidth},
                              Cell{"lw", kNumberWidth + kAddressWidth + kLinkWidth, kWriteWidth}}) {
            ui::Label& l = Make<ui::Label>(c.prefix + k);
            l.SetParent(&row);
            l.SetAlignment(ui::TextAlign::Center);
            l.SetLayout(ui::TextLayout::Center);
            l.SetTransparent(true);
            l.SetBounds(c.left + 1, 2, c.width - 2, kRowHeight - 4);
        }
    }

    BitBtn2.SetCaption("Вихід");
    BitBtn2.SetGlyph(ui::Glyph::Close);
    BitBtn2.SetCancel(true);
    BitBtn2.SetDefault(true);
    BitBtn2.SetModalResult(ui::mrOk);

    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormVichInf::FormCreate() {
    Block = nullptr;
    for (int i = 0; i < kRows; ++i) {
        const std::string k = std::to_string(i + 1);
        pn[i] = Find<ui::Panel>("pn" + k);
        ln[i] = Find<ui::Label>("ln" + k);
        la[i] = Find<ui::Label>("la" + k);
        lc[i] = Find<ui::Label>("lc" + k);
        lw[i] = Find<ui::Label>("lw" + k);
        ln[i]->SetCaption(k);
        pn[i]->Hide();
    }
}

void TFormVichInf::FormShow() {
    // The count comes from the controller: never more rows than exist.
    rows_ = Block ? FlowComputerCount() : 0;
    const int height = rows_ * (kRowHeight - 1) + kFirstRowTop + 94;
    SetBounds(Left(), Top(), kWidth, height);
    BitBtn2.SetBounds((kWidth - 6 - 100) / 2, height - 25 - 6 - 42, 100, 28);
    for (int i = 0; i < kRows; ++i) {
        pn[i]->SetVisible(i < rows_);
        if (i >= rows_) continue;
        la[i]->SetCaption(std::to_string(Block[i]));
        const bool linked = Block[16 + i] != 0, writing = Block[32 + i] != 0;
        lc[i]->SetCaption(linked ? "Є" : "Ні");
        lc[i]->SetFontColor(linked ? ui::clWindowText : ui::clRed);
        lw[i]->SetCaption(writing ? "Записується" : "Не записується");
        lw[i]->SetFontColor(writing ? ui::clWindowText : ui::clRed);
    }
}
