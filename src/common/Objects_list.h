// The object list (ObjectList) in a grid, with change, add, delete and sort.
//
//   TFormObjects_List f(owner);
//   f.ShowModal();
//   if (f.accepted) ...   // refill the caller's own view of ObjectList
//
// The window edits ObjectList itself. "Прийняти" writes "objects.ini"
// (ObjectsIniPath()) when the list differs from the one the window was
// shown with (sort order and selection count); a failed write is reported
// and the window stays open. Closing it any other way restores the list.
#pragma once
#include <cstdint>

#include "common/ListRecords.h"
#include "ui/Ui.h"

class TFormObjects_List : public ui::Form {
public:
    explicit TFormObjects_List(ui::Component* owner = nullptr);

    ui::Panel Panel3{this, "Panel3"};  // "№"
    ui::Panel Panel4{this, "Panel4"};  // "Найменування"
    ui::Button SpeedButton1{this, "SpeedButton1"};  // sort by name
    ui::Panel Panel7{this, "Panel7"};  // " Адреса"
    ui::Button SpeedButton2{this, "SpeedButton2"};  // sort by address
    ui::StringGrid StringGrid1{this, "StringGrid1"};
    ui::Button BitBtn1{this, "BitBtn1"};  // "Змінити"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Додати"
    ui::Button BitBtn3{this, "BitBtn3"};  // "Видалити"
    ui::Button BitBtn4{this, "BitBtn4"};  // "Прийняти"
    ui::Button BitBtn5{this, "BitBtn5"};  // "Відмінити"

    ObjectListRecord obj_backup{};  // ObjectList as it was when the window was shown
    std::uint8_t accepted = 0;      // 1 when closed with "Прийняти"

    void FormShow();
    void ShowObjectList();
    void StringGrid1Click();
    void StringGrid1DblClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void BitBtn1Click();  // "Змінити"
    void BitBtn2Click();  // "Додати"
    void BitBtn3Click();  // "Видалити"
    void BitBtn4Click();  // "Прийняти"
    void BitBtn5Click();  // "Відмінити"
    void FormClose(ui::CloseAction& action);
};
