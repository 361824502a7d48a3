// One flow computer of the list: address, type, byte order, write password
// (16 characters, or with the "SOU" layout 12 characters and a 4-digit
// identification code), and for each pipeline of its type whether gas
// values are written and from which chromatograph line.
//
//   TFormOvgPar f(owner);
//   f.RowNumber = i + 1;
//   f.Row = &rows[i];
//   f.LayoutFlag = &layouts[i];
//   f.ThreadByte = linesByte;        // table 14 byte 7: lines in use
//   f.ShowModal();
//   if (f.accepted && f.changed) ...  // the password differs from the row's
#pragma once
#include <array>
#include <cstdint>

#include "config/OvgRows.h"
#include "ui/Ui.h"

class TFormOvgPar : public ui::Form {
public:
    explicit TFormOvgPar(ui::Component* owner = nullptr);

    int RowNumber = 1;              // shown in the caption
    OvgRow* Row = nullptr;          // changed only on accept
    uint8_t* LayoutFlag = nullptr;  // 1: 12-character password and a 4-digit code
    uint8_t ThreadByte = 0;         // bit 0 line 1 in use, bit 1 line 2 in use
    OvgRow Work{};                  // the row as edited
    uint8_t Layout = 0;
    int Pipelines = 3;              // pipelines of the chosen type
    uint8_t changed = 0;            // 1: the password bytes differ from the row's
    uint8_t accepted = 0;

    ui::Label Label1{this, "Label1"};  // "Адреса  (1...254)"
    ui::ComboBox ComboBox1{this, "ComboBox1"};
    ui::Label Label2{this, "Label2"};  // "Тип"
    ui::ComboBox cn1{this, "cn1"};
    ui::Label Label3{this, "Label3"};  // "Порядок байтів в" / "багатобайтних змінних"
    ui::ComboBox cp1{this, "cp1"};
    ui::CheckBox CheckBox1{this, "CheckBox1"};  // "SOU"
    ui::Panel pn_p16{this, "pn_p16"};
    ui::Label Label4{this, "Label4"};  // "Пароль на запись" / "(до 16 символов)"
    ui::Edit Edit2{this, "Edit2"};
    ui::Panel pn_p12{this, "pn_p12"};
    ui::Label Label5{this, "Label5"};  // "Пароль на запис" / "(до 12 символів)"
    ui::Edit Edit4{this, "Edit4"};
    ui::Label Label6{this, "Label6"};  // "Код ідентифікації" / "(до 4 символів)"
    ui::Edit Edit3{this, "Edit3"};
    ui::GroupBox GroupBox1{this, "GroupBox1"};  // "Необхідність запису параметрів газу"
    ui::Button BitBtn3{this, "BitBtn3"};  // "Прийняти"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

    // By pipeline 0..2, found by name: gb1..gb3, cb1..cb3, rb1_1..rb3_1
    // (line 1), rb1_2..rb3_2 (line 2).
    std::array<ui::GroupBox*, 3> gb{};
    std::array<ui::CheckBox*, 3> cb{};
    std::array<ui::RadioButton*, 3> rbLine1{}, rbLine2{};

private:
    void FormShow();
    void cn1Click();
    void cbClick(int p);
    void CheckBox1Click();
    void EnablePipeline(int p);
    void DisablePipeline(int p);
    // The password edits into the working row (as leaving them does).
    void Edit2Exit();
    void Edit4Exit();
    void Edit3Exit();
    void BitBtn3Click();
};
