// The table-state window: lists the controller's configuration tables with
// their damaged state, lets the operator mark tables for a restore from a
// configuration file, and resets the controller's non-volatile data
// (command 25).
//
//   TableCheckBlock block = MakeTableCheckBlock(ConfigImage.data() + cfgofs::kTableStates);
//   TFormTableInfo f(FormMain);
//   f.Block = &block;
//   f.StatusBar = &FormMain->StatusBar1;
//   f.ShowModal();
//   switch (f.Result) { ... }   // 0 "Вихід", 1 write marked, 2 write all, 3 reset done
#pragma once
#include <cstdint>

#include "config/ConfigImage.h"
#include "config/TableCheckBlock.h"  // the 141 bytes handed to the window by its caller
#include "ui/Ui.h"


// Flags from the table directory, states from the 47 bytes given (table 7
// as read, or all 1), marks 0.
TableCheckBlock MakeTableCheckBlock(const uint8_t* states);

class TFormTableInfo : public ui::Form {
public:
    explicit TFormTableInfo(ui::Component* owner);

    // Set by the caller.
    TableCheckBlock* Block = nullptr;
    ui::StatusBar* StatusBar = nullptr;
    // Read back: 0 closed ("Вихід"), 1 write the marked tables, 2 write all
    // tables, 3 the non-volatile data were reset.
    uint8_t Result = 0;

    static constexpr int kRows = 50;
    static constexpr int kRowHeight = 17;
    static constexpr int kVisibleRows = 27;

    ui::Panel Panel1{this, "Panel1"};          // column headings
    ui::Label Label1{this, "Label1"};          // "Пору-"
    ui::Label Label2{this, "Label2"};          // "шена"
    ui::Label Label3{this, "Label3"};          // "Записати"
    ui::Label Label4{this, "Label4"};          // "таблицю"
    ui::ScrollBox ScrollBox1{this, "ScrollBox1"};
    ui::Panel Panel2{this, "Panel2"};          // buttons
    ui::Button BitBtn2{this, "BitBtn2"};       // "Вихід"
    ui::Button BitBtn1{this, "BitBtn1"};       // "Записати всі таблиці"
    ui::Button BitBtn3{this, "BitBtn3"};       // "Записати обрані таблиці"
    ui::Button BitBtn4{this, "BitBtn4"};       // "Скинути енергонезалежні дані"

    // Row n (1..50): title panel, state panel, check box.
    ui::Panel& pn(int n) { return *pn_[n - 1]; }
    ui::Panel& pw(int n) { return *pw_[n - 1]; }
    ui::CheckBox& cb(int n) { return *cb_[n - 1]; }
    // Rows in use after the window was shown.
    int RowCount() const { return rowCount_; }

    void BuildTableList();

private:
    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    // Table 2 only when damaged, table 4 exactly when damaged.
    void AdjustSpecialMarks();

    ui::Panel* pn_[kRows] = {};
    ui::Panel* pw_[kRows] = {};
    ui::CheckBox* cb_[kRows] = {};
    int rowCount_ = 0;
};
