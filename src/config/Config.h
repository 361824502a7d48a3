// The configuration editor: a whole ConfigRecord edited without talking to
// the controller. One button per block of the record opens the editor the
// main menu opens for the controller, pointed at the record's block and in
// accept mode ("Прийняти"); the editors change the record in place.
//
//   TFormConfig f(owner);
//   f.Record = &rec;
//   f.Mode = 0;             // 0 "Прийняти", 1 "Записати в пристрій" (restore)
//   f.ShowModal();
//   if (f.accepted && (f.changed || rec[cnfofs::kSource] == 0)) SaveConfigFile(...);
//
// "Відмінити" leaves accepted 0; what the editors changed stays in the
// record, which the caller then discards.
#pragma once
#include <cstdint>
#include <functional>

#include "config/ConfigFile.h"
#include "ui/Ui.h"

class TFormConfig : public ui::Form {
public:
    explicit TFormConfig(ui::Component* owner = nullptr);

    ConfigRecord* Record = nullptr;  // the record edited in place
    uint8_t Mode = 0;                // 0 "Прийняти", 1 "Записати в пристрій"
    uint8_t changed = 0;             // 1: the record differs from its state at show
    uint8_t accepted = 0;            // 1: closed with "Прийняти" / "Записати в пристрій"
    ConfigRecord backup;             // the record as it was at show

    static constexpr ui::Color kIdleColor = 0xD3D3D3;
    static constexpr ui::Color kBusyColor = 0xB5B5B5;  // while an editor is open

    ui::Panel Panel1{this, "Panel1"};
    // Without a group.
    ui::Label Label2{this, "Label2"};  // "Найменування"
    ui::Button BitBtn19{this, "BitBtn19"};
    ui::Label Label3{this, "Label3"};  // "Параметри ідентифікації"
    ui::Button BitBtn24{this, "BitBtn24"};
    // " Параметри налаштувань "
    ui::GroupBox GroupBox1{this, "GroupBox1"};
    ui::Label Label4{this, "Label4"};  // "Системні параметри"
    ui::Button BitBtn6{this, "BitBtn6"};
    ui::Label Label5{this, "Label5"};  // "Синхронізація часу"
    ui::Button BitBtn18{this, "BitBtn18"};
    // " Параметри зв'язку "
    ui::GroupBox GroupBox2{this, "GroupBox2"};
    ui::Label Label6{this, "Label6"};  // "З верхнім рівнем"
    ui::Button BitBtn16{this, "BitBtn16"};
    ui::Label Label14{this, "Label14"};  // "З обчислювачами витрати газу"
    ui::Button BitBtn12{this, "BitBtn12"};
    ui::Label Label7{this, "Label7"};  // "З хроматографом"
    ui::Button BitBtn17{this, "BitBtn17"};
    ui::Label Label8{this, "Label8"};  // "З вологоміром"
    ui::Button BitBtn13{this, "BitBtn13"};
    ui::Label Label9{this, "Label9"};  // "Параметри Ethernet "
    ui::Button BitBtn22{this, "BitBtn22"};
    // " Параметри роботи з обчислювачами витрати газу "
    ui::GroupBox GroupBox3{this, "GroupBox3"};
    ui::Label Label27{this, "Label27"};  // "Параметри обчислювачів"
    ui::Button BitBtn3{this, "BitBtn3"};
    ui::Label Label31{this, "Label31"};  // "Необхідність запису"
    ui::Label Label28{this, "Label28"};  // "значень параметрів газу в ОВГ"
    ui::Button BitBtn4{this, "BitBtn4"};
    ui::Label Label43{this, "Label43"};  // "Період запису середніх за годину"
    ui::Label Label1{this, "Label1"};    // "значень параметрів газу в ОВГ"
    ui::Button BitBtn5{this, "BitBtn5"};
    // " Уставки параметрів газу "
    ui::GroupBox GroupBox4{this, "GroupBox4"};
    ui::Label Label10{this, "Label10"};  // "Зона нечутливості змін"
    ui::Button BitBtn7{this, "BitBtn7"};
    ui::Label Label11{this, "Label11"};  // "Нижня попереджувальна уставка"
    ui::Button BitBtn8{this, "BitBtn8"};
    ui::Label Label12{this, "Label12"};  // "Верхня попереджувальна уставка"
    ui::Button BitBtn9{this, "BitBtn9"};
    ui::Label Label13{this, "Label13"};  // "Нижня межа значень параметра"
    ui::Label Label15{this, "Label15"};  // "газу, припустимої до запису в ОВГ"
    ui::Button BitBtn10{this, "BitBtn10"};
    ui::Label Label16{this, "Label16"};  // "Верхня межа значень параметра"
    ui::Label Label17{this, "Label17"};  // "газу, припустимої до запису в ОВГ"
    ui::Button BitBtn11{this, "BitBtn11"};
    // " Доступ користувачів до запису в контролер "
    ui::GroupBox GroupBox5{this, "GroupBox5"};
    ui::Label Label18{this, "Label18"};  // "Зареєстровані коистувачі"
    ui::Button BitBtn15{this, "BitBtn15"};
    // " Константи параметрів газу "
    ui::GroupBox GroupBox6{this, "GroupBox6"};
    ui::Label Label19{this, "Label19"};  // "Нитка 1"
    ui::Button BitBtn20{this, "BitBtn20"};
    ui::Label Label20{this, "Label20"};  // "Нитка 2"
    ui::Button BitBtn21{this, "BitBtn21"};
    // The window's own buttons.
    ui::Button BitBtn1{this, "BitBtn1"};    // "Прийняти" (mode 0)
    ui::Button BitBtn14{this, "BitBtn14"};  // "Записати в пристрій" (mode 1)
    ui::Button BitBtn2{this, "BitBtn2"};    // "Відмінити"

    // Enables the flow-computer and moisture-meter controls by the presence
    // flags of the record (table 6 rows 9 and 8).
    void EnableConfigButtons();

private:
    void FormCreate();
    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();
    // The caption from the record's controller name; `leading` puts the
    // blank in front the window opens with.
    void SetNameCaption(bool leading);
    // Runs an editor with Panel1 dimmed while it is open.
    void WithEditor(const std::function<void()>& open, bool dim = true);
    // The oxygen flag of the record (table 14 row 7 bit 2).
    uint8_t Oxygen() const;

    void BitBtn19Click();  // names
    void BitBtn24Click();  // identification
    void BitBtn6Click();   // system parameters
    void BitBtn18Click();  // time synchronisation
    void BitBtn16Click();  // upper-level link
    void BitBtn12Click();  // flow-computer link
    void BitBtn17Click();  // chromatograph link
    void BitBtn13Click();  // moisture-meter link
    void BitBtn22Click();  // Ethernet
    void BitBtn3Click();   // flow computers
    void BitBtn4Click();   // gas parameters written into the flow computers
    void BitBtn5Click();   // averaging period
    void LimitsClick(int kind);
    void BitBtn15Click();  // users
    void ConstClick(int line);
};
