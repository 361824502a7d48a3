// The controller's MODBUS link to the chromatograph (table 14, 14 bytes):
// address, baud code, MODBUS mode, parity, reply time-out, failed polls,
// chromatograph type, the lines in use with the oxygen flag, two clock
// synchronisation flags (kept as they are), and for each line the flow
// computer and pipeline whose gas temperature the chromatograph gets.
//
//   TFormConHGC f(owner);
//   f.Block = RowPtr(14, 0);
//   f.Names = RowPtr(5, 0);            // controller and line names, 3 x 20 bytes (Windows-1251)
//   f.OvgCount = n;                    // flow computers, 0 when none are configured
//   f.OvgAddresses = RowPtr(18, 0);    // their addresses
//   f.Mode = 1;
//   f.ShowModal();
#pragma once
#include <cstdint>

#include "ui/Ui.h"

class TFormConHGC : public ui::Form {
public:
    explicit TFormConHGC(ui::Component* owner = nullptr);

    uint8_t accepted = 0;
    uint8_t* Block = nullptr;                 // 14 bytes
    uint8_t Mode = 0;                         // 0 "Прийняти", 1 "Записати в пристрій"
    uint8_t OvgCount = 0;                     // flow computers (more than 16 are taken as 16)
    const uint8_t* OvgAddresses = nullptr;    // OvgCount addresses
    const uint8_t* Names = nullptr;           // table 5: controller, line 1, line 2 names

    ui::Label Label1{this, "Label1"};  // "Адреса хроматографа"
    ui::ComboBox ComboBox3{this, "ComboBox3"};
    ui::Label Label2{this, "Label2"};  // "Швидкість обміну"
    ui::ComboBox ComboBox5{this, "ComboBox5"};
    ui::Label Label3{this, "Label3"};  // "Режим обміну MODBUS протоколу"
    ui::ComboBox ComboBox6{this, "ComboBox6"};
    ui::Label Label4{this, "Label4"};  // "Тип парності"
    ui::ComboBox ComboBox7{this, "ComboBox7"};
    ui::Label Label5{this, "Label5"};  // "Таймаут очікування відповіді"
    ui::ComboBox ComboBox8{this, "ComboBox8"};
    ui::Label Label6{this, "Label6"};  // "сс"
    ui::Label Label7{this, "Label7"};  // "Кільк. невдалих опитувань хроматографа ..."
    ui::ComboBox ComboBox9{this, "ComboBox9"};
    ui::Label Label8{this, "Label8"};  // "Тип хроматографа"
    ui::ComboBox ComboBox10{this, "ComboBox10"};
    ui::CheckBox CheckBox1{this, "CheckBox1"};  // line 1 in use
    ui::CheckBox CheckBox2{this, "CheckBox2"};  // line 2 in use
    ui::CheckBox CheckBox3{this, "CheckBox3"};  // oxygen in the component set
    ui::GroupBox GroupBox2{this, "GroupBox2"};  // gas temperature for line 1
    ui::Label Label9{this, "Label9"};           // "Індекс ОВГ"
    ui::ComboBox ComboBox1{this, "ComboBox1"};
    ui::Label Label10{this, "Label10"};         // "Номер нитки"
    ui::ComboBox ComboBox2{this, "ComboBox2"};
    ui::GroupBox GroupBox3{this, "GroupBox3"};  // gas temperature for line 2
    ui::Label Label11{this, "Label11"};
    ui::ComboBox ComboBox4{this, "ComboBox4"};
    ui::Label Label12{this, "Label12"};
    ui::ComboBox ComboBox11{this, "ComboBox11"};
    ui::Button BitBtn3{this, "BitBtn3"};  // "Прийняти" (mode 0)
    ui::Button BitBtn1{this, "BitBtn1"};  // "Записати в пристрій" (mode 1)
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

    // The gas-temperature group of line 1 or 2: caption colour 0x800000,
    // labels and combos enabled, the stored flow computer and pipeline
    // selected; or colour 0x808080, disabled and nothing selected.
    void EnableThreadGroup(int line);
    void DisableThreadGroup(int line);

private:
    struct Group {
        ui::GroupBox* box;
        ui::Label *indexLabel, *pipeLabel;
        ui::ComboBox *index, *pipe;
        int byte;  // block byte of the flow-computer index; the pipeline follows
    };
    Group GroupOf(int line);
    // The group's caption colour and whether its controls take input.
    Group SetThreadGroup(int line, bool on);
    int Count() const;
    void FormShow();
    void CheckBox1Click();
    void CheckBox2Click();
    void BitBtn1Click();
};
