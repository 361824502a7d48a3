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
// The grid and the buttons work as in every list window
// (listforms::ListWindow).
#pragma once
#include <cstdint>

#include "common/ListForms.h"
#include "common/ListRecords.h"
#include "ui/Ui.h"

class TFormObjects_List : public listforms::ListWindow {
public:
    explicit TFormObjects_List(ui::Component* owner = nullptr);

    ObjectListRecord obj_backup{};  // ObjectList as it was when the window was shown

    void FormShow();
    void ShowObjectList();
    void BitBtn4Click() override;  // "Прийняти"
    void FormClose(ui::CloseAction& action);

private:
    Header ListHeader() override;
    void Refresh() override { ShowObjectList(); }
    bool EditEntry(int slot, int mode) override;
    void RemoveEntry(int n, int at) override;
};
