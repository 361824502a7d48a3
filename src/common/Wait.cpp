#include "common/Wait.h"

#include <iterator>

namespace {
struct WaitTexts {
    const char* line1;
    const char* line2;
    const char* line3;
};
constexpr WaitTexts kTexts[] = {
    {"Очікуйте...", "Виконується перевірка", "всіх параметрів конфігурації"},
    {"Очікуйте...", "Виконується читання даних", "Esc - перервати читання"},
    {"Очікуйте...", "Виконується запис параметрів", "конфігурації в контролер"},
    {"Очікуйте...", "Виконується читання", "параметрів конфігурації"},
    {"Очікуйте...", "Виконується створення", "таблиці у форматі Excel"},
    {"Команда передана. Виконується перевірка", "відновлення зв'язку з контролером", "Очікуйте..."},
};
}  // namespace

TFormWait::TFormWait(ui::Component* owner) : ui::Form(owner, "FormWait") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(0);
    SetPosition(ui::Position::ScreenCenter);
    SetBounds(0, 0, 332, 126);
    ui::Font f;
    f.Name = "Arial";
    f.Height = 15;
    int top = 6;
    for (ui::Label* l : {&Label1, &Label2, &Label3}) {
        l->SetFont(f);
        l->SetAlignment(ui::TextAlign::Center);
        l->SetBounds(8, top, ClientWidth() - 16, 20);
        top += 22;
    }
    Label1.SetCaption("Очікуйте...");
    ProgressBar1.SetBounds(8, 74, ClientWidth() - 16, 16);
    ProgressBar1.SetRange(0, 100);
    ProgressBar1.SetSmooth(true);
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormWait::FormCreate() { Mode = 0; }

void TFormWait::FormShow() {
    SetBounds(Left(), Top(), 332, 126);
    if (Mode < std::size(kTexts)) {
        Label1.SetCaption(kTexts[Mode].line1);
        Label2.SetCaption(kTexts[Mode].line2);
        Label3.SetCaption(kTexts[Mode].line3);
    } else {
        // Unknown mode: only the request to wait.
        Label1.SetCaption("Очікуйте...");
        Label2.SetCaption({});
        Label3.SetCaption({});
    }
}
