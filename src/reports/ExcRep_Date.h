// The parameters of a gas-quality certificate: the day (or month) and the
// object whose name goes into the certificate and its file name.
//
//   TFormExcRep_Date f(nullptr);
//   f.Bounds = &range;        // first and last day of the daily archive
//   f.Mode = 0;               // 0 day, 1 month
//   f.ShowModal();
//   if (f.accepted) ... f.Result ...   // {yy, mm, dd, contract hour}
//
// The object is chosen from the object list (ObjectList), which the dialog
// edits: "Новый объект" adds one, "Список об'єктів" opens the list window;
// the chosen object becomes the list's current object.
#pragma once
#include <cstdint>

#include "common/Dtfun.h"
#include "reports/ExcelCertificate.h"
#include "ui/Ui.h"

class TFormExcRep_Date : public ui::Form {
public:
    explicit TFormExcRep_Date(ui::Component* owner = nullptr);

    // Set by the caller.
    const QueryPeriod* Bounds = nullptr;
    uint8_t Mode = 0;  // 0 day, 1 month
    // Results.
    ReportDate Result;
    uint8_t accepted = 0;

    ui::Label Label4{this, "Label4"};  // oldest record
    ui::Label Label5{this, "Label5"};  // newest record
    ui::Label Label2{this, "Label2"};  // "Рік"
    ui::Panel Panel3{this, "Panel3"};  // the year
    ui::UpDown UpDown1{this, "UpDown1"};
    ui::Label Label3{this, "Label3"};  // "Місяць"
    ui::ComboBox ComboBox2{this, "ComboBox2"};  // month
    ui::Label Label6{this, "Label6"};  // "День"
    ui::ComboBox ComboBox3{this, "ComboBox3"};  // day
    ui::Label Label1{this, "Label1"};  // "Найменування об'єкту"
    ui::ComboBox ComboBox1{this, "ComboBox1"};  // objects, then "Новый объект"
    ui::Button BitBtn1{this, "BitBtn1"};  // "Список об'єктів"
    ui::Button BitBtn5{this, "BitBtn5"};  // "Прийняти"
    ui::Button BitBtn6{this, "BitBtn6"};  // "Відмінити"

    // The entry that adds an object (while the list has room).
    static constexpr const char* kNewObject = "Новый объект";

private:
    void FormCreate();
    void FormShow();
    void UpDown1Click();
    void ComboBox2Change();
    void ComboBox3Change();
    void ComboBox1Change();
    void BitBtn1Click();
    void BitBtn5Click();
    void FillDays();
    void FillObjects();
    void ShowYear();
};
