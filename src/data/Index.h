// The index dialog of the diagnostic and intervention archives: a range of
// record indices inside the archive's bounds.
//
//   TFormIndex f(nullptr);
//   f.Archive = 0;                 // 0 diagnostic messages, 1 interventions
//   f.Oldest = 5; f.Newest = 60;   // index bounds (table 10 or 11)
//   f.ShowModal();
//   if (f.accepted) { ... f.First, f.Count ... }
//
// The choice made last is ArchiveRequestDefaults.IndexKind.
#pragma once
#include <cstdint>
#include <string>

#include "ui/Ui.h"

class TFormIndex : public ui::Form {
public:
    explicit TFormIndex(ui::Component* owner = nullptr);

    // Set by the caller.
    uint8_t Archive = 0;
    uint32_t Oldest = 0;
    uint32_t Newest = 0;
    // Results.
    uint8_t accepted = 0;
    uint32_t First = 0;
    uint32_t Count = 0;

    ui::Label Label1{this, "Label1"};  // "Індекс найстарішого запису"
    ui::Label Label2{this, "Label2"};  // "Індекс найновішого запису"
    ui::Panel Panel2{this, "Panel2"};  // oldest index
    ui::Panel Panel3{this, "Panel3"};  // newest index
    ui::Label Label3{this, "Label3"};  // "Індекс запису початку читання"
    ui::Label Label4{this, "Label4"};  // "Кількість записів для читання"
    ui::Edit Edit1{this, "Edit1"};
    ui::Edit Edit2{this, "Edit2"};
    ui::RadioGroup RadioGroup1{this, "RadioGroup1"};
    ui::Button BitBtn1{this, "BitBtn1"};  // "Прийняти"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Вихід"

private:
    void FormCreate();
    void FormShow();
    void RadioGroup1Click();
    void BitBtn1Click();
};
