#include "config/FunInfo.h"

#include <string>

#include "config/ConfigImage.h"

namespace {
constexpr int kWidth = 508, kHeight = 202;
constexpr int kTitleWidth = 360, kStateLeft = 370, kStateWidth = 116, kRowHeight = 24;
}  // namespace

TFormFunInfo::TFormFunInfo(ui::Component* owner) : ui::Form(owner, "FormFunInfo") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::MainFormCenter);
    SetCaption(" Можливість виконання контролером його функцій");
    SetBounds(0, 0, kWidth, kHeight);

    ui::Font head;
    head.Bold = true;
    Panel1.SetCaption("Найменування функції");
    Panel1.SetBounds(10, 8, kTitleWidth, kRowHeight);
    Panel2.SetCaption("Виконання");
    Panel2.SetBounds(kStateLeft, 8, kStateWidth, kRowHeight);
    for (ui::Panel* p : {&Panel1, &Panel2}) p->SetFont(head);

    const char* names[2] = {" Автоматичний перехід на зимній/літній час",
                            " Обмін даними з обчислювачами витрат газу "};
    for (int n = 1; n <= 2; ++n) {
        ui::Panel& name = Make<ui::Panel>("pn" + std::to_string(n));
        ui::Panel& state = Make<ui::Panel>("pi" + std::to_string(n));
        const int top = 8 + n * kRowHeight;
        name.SetCaption(names[n - 1]);
        name.SetAlignment(ui::TextAlign::Left);
        name.SetBevelOuter(ui::Bevel::Lowered);
        name.SetBounds(10, top, kTitleWidth, kRowHeight);
        state.SetBevelOuter(ui::Bevel::Lowered);
        state.SetColor(ui::clWindow);
        state.SetBounds(kStateLeft, top, kStateWidth, kRowHeight);
    }
    for (int n = 1; n <= 2; ++n) {
        pn[n - 1] = Find<ui::Panel>("pn" + std::to_string(n));
        pi[n - 1] = Find<ui::Panel>("pi" + std::to_string(n));
    }

    Panel3.SetCaption("  См. информацию о состоянии таблиц параметров конфигурации");
    Panel3.SetAlignment(ui::TextAlign::Left);
    Panel3.SetBevelOuter(ui::Bevel::None);
    Panel3.SetFontColor(ui::clNavy);
    Panel3.SetBounds(10, 8 + 3 * kRowHeight + 6, kTitleWidth + kStateWidth, 20);

    BitBtn2.SetCaption("Вихід");
    BitBtn2.SetGlyph(ui::Glyph::Close);
    BitBtn2.SetCancel(true);
    BitBtn2.SetDefault(true);
    BitBtn2.SetModalResult(ui::mrOk);
    BitBtn2.SetBounds((kWidth - 6 - 100) / 2, 128, 100, 28);

    OnShow = [this] { FormShow(); };
}

void TFormFunInfo::FormShow() {
    const uint8_t* t8 = RowPtr(8, 0);
    for (int i = 0; i < 2; ++i) {
        if (pi[i]) pi[i]->SetCaption(t8[i] != 0 ? "Можливе" : "Неможливе");
    }
}
