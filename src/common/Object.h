// One object (a named site with its controller address) edited in a modal
// window.
//
//   TFormObject f(owner);
//   f.edit_mode = 1;                                  // 1 change, 0 new (boxes start empty)
//   f.obj_rec = &ObjectList.objs[ObjectList.obj_index];
//   f.ShowModal();
//   if (f.accepted) ...                               // the record holds the input
//
// When adding, the caller passes the free slot at obj_num and, once
// accepted, selects it (obj_index := obj_num) and counts it (obj_num + 1).
#pragma once
#include <cstdint>

#include "common/ListRecords.h"
#include "ui/Ui.h"

class TFormObject : public ui::Form {
public:
    explicit TFormObject(ui::Component* owner = nullptr);

    ui::Label Label1{this, "Label1"};  // "Найменування об'єкту"
    ui::Label Label3{this, "Label3"};  // "(до 49 символів)"
    ui::Edit Edit1{this, "Edit1"};     // object name, up to 49 characters
    ui::Label Label2{this, "Label2"};  // "Адреса контролеру ЗБР"
    ui::ComboBox ComboBox1{this, "ComboBox1"};  // "1".."255", editable
    ui::Button BitBtn4{this, "BitBtn4"};  // "Прийняти"
    ui::Button BitBtn5{this, "BitBtn5"};  // "Відмінити"

    ObjectRecord* obj_rec = nullptr;  // set by the caller
    std::uint8_t edit_mode = 0;       // 1 show the record's values, 0 new object
    std::uint8_t accepted = 0;        // 1 once the input is stored in the record

    void FormCreate();
    void FormShow();
    void BitBtn4Click();  // "Прийняти"
    void BitBtn5Click();  // "Відмінити"
    void ComboBox1KeyPress(char32_t& key);
};
