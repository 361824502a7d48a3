// The program's message box: one modal window for every message, error and
// yes/no question.
//
//   MessageKind = 3;
//   ShowQues("Файл zbr.hch вже є.", "Ви бажаєте замінити існуючий файл?");
//   if (MessageAnswer) ...
//
// Kinds: 1 error ("Помилка"), 2 wrong input ("Помилка вводу параметрів"),
// 3 yes/no question, 4 controller error (adds "(див. поточний стан
// контролера)"), 5 exchange result ("Результат обміну з пристроєм"),
// 6 information, 7 retry question (adds "Повторити спробу?", yes/no).
#pragma once
#include <cstdint>
#include <string>

#include "ui/Ui.h"

// The kind of the next message: set it right before ShowQues.
extern std::uint32_t MessageKind;
// The answer to the last question: 1 "Так", 0 "Ні" or closed otherwise.
extern std::uint8_t MessageAnswer;

// Shows the message box modally with the given two lines; returns when it
// is closed.
void ShowQues(const std::string& line1, const std::string& line2);
// The same with MessageKind set to `kind` first.
void ShowQues(std::uint32_t kind, const std::string& line1, const std::string& line2);

class TFormQues : public ui::Form, public ui::MessageBoxForm {
public:
    explicit TFormQues(ui::Component* owner = nullptr);

    std::uint32_t Kind = 0;  // the message kind it shows (set by ShowQues)

    ui::Label Label1{this, "Label1"};
    ui::Label Label2{this, "Label2"};
    ui::Label Label3{this, "Label3"};
    ui::Button BitBtn1{this, "BitBtn1"};  // "Так"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Ні", Esc
    ui::Button BitBtn3{this, "BitBtn3"};  // close

    // Fills caption, third line and buttons for a kind (ShowQues step 2-3).
    void Prepare(std::uint32_t kind, const std::string& line1, const std::string& line2);

    ui::MessageInfo Describe() const override;
    void Answer(bool yes) override;

private:
    void FormCreate();
    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
};
