#include "config/About.h"

#include <string>


namespace {
constexpr int kWidth = 540, kHeight = 546;
}

TFormAbout::TFormAbout(ui::Component* owner) : ui::Form(owner, "FormAbout") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::MainFormCenter);
    SetCaption(" Про програму");
    SetBounds(0, 0, kWidth, kHeight);

    Panel1.SetBounds(12, 12, 510, 126);
    Panel1.SetBevelOuter(ui::Bevel::Lowered);
    Panel1.SetColor(0xE8DCC8);
    Panel1.SetCaption({});
    for (ui::Label* l : {&Label1, &Label2, &Label3}) {
        l->SetParent(&Panel1);
        l->SetAlignment(ui::TextAlign::Center);
        l->SetTransparent(true);
    }
    ui::Font title;
    title.Name = "Arial";
    title.Height = 26;
    title.Bold = true;
    title.Color = 0x804020;
    Label1.SetFont(title);
    Label1.SetCaption("zbr_Orvix7200");
    Label1.SetBounds(4, 14, 502, 34);
    Label2.SetCaption("Програма обслуговування контролера ЗБР");
    Label2.SetFontBold(true);
    Label2.SetBounds(4, 56, 502, 20);
    Label3.SetCaption("Версія    11.05");
    Label3.SetBounds(4, 88, 502, 20);

    Memo1.SetBounds(12, 150, 510, 150);
    Memo1.SetReadOnly(true);
    Memo1.SetLines({"Обслуговування контролера якості газу ЗБР (версія ПЗ 11) з хроматографом Orvix7200:",
                    "- читання та запис параметрів конфігурації контролера;",
                    "- збереження конфігурації у файлах та її відновлення;",
                    "- читання архівів хроматографа та вологоміра, діагностичних повідомлень",
                    "  і повідомлень про втручання оператора;",
                    "- миттєві дані та поточний стан контролера;",
                    "- звіти та паспорти якості газу.",
                    "",
                    "Зв'язок з контролером: послідовний порт, телефонний модем, Ethernet."});

    // Where the program keeps what it writes: what a technician asks for
    // when a file has to be found or sent on.
    struct Contact {
        ui::Panel* panel;
        std::string text;
    };
    const Contact contacts[] = {
        {&Panel2, " Програма для Linux: zbr"},
        {&Panel3, " Опис програми: README.md у її вихідних текстах"},
        {&Panel4, " Налаштування: тека INI поруч з програмою"},
        {&Panel5, " Файли конфігурації, архіви, звіти: теки поруч з програмою"},
    };
    int top = 314;
    for (const Contact& c : contacts) {
        c.panel->SetBounds(12, top, 510, 26);
        c.panel->SetBevelOuter(ui::Bevel::Lowered);
        c.panel->SetAlignment(ui::TextAlign::Left);
        c.panel->SetCaption(c.text);
        top += 32;
    }

    BitBtn1.SetCaption("OK");
    BitBtn1.SetGlyph(ui::Glyph::Ok);
    BitBtn1.SetDefault(true);
    BitBtn1.SetCancel(true);
    BitBtn1.SetModalResult(ui::mrOk);
    BitBtn1.SetBounds((kWidth - 6 - 100) / 2, 452, 100, 30);
}
