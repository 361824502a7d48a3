#include "common/Objects_list.h"

#include <algorithm>
#include <cstring>

#include "common/IniPaths.h"
#include "common/ListFiles.h"
#include "common/Object.h"
#include "common/Question.h"

namespace {

using listforms::Format;

bool SameList(const ObjectListRecord& a, const ObjectListRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TFormObjects_List::TFormObjects_List(ui::Component* owner)
    : listforms::ListWindow(owner, "FormObjects_List", MaxObjects, "видалити цей об'єкт?") {
    SetCaption(" Список об'єктів");
    SetBounds(0, 0, 545, 500);

    listforms::LayOutColumns({{&Panel3, "№", 40}, {&Panel4, "Найменування", 370}, {&Panel7, " Адреса", 113}},
                             StringGrid1, 523, 372);
    listforms::SortButton(SpeedButton1, Panel4, "Сортувати за найменуванням");
    listforms::SortButton(SpeedButton2, Panel7, "Сортувати за адресою");
    SpeedButton2.SetEnabled(false);
    listforms::ListButtons({{&BitBtn1, 8}, {&BitBtn2, 110}, {&BitBtn3, 212}, {&BitBtn4, 329}, {&BitBtn5, 431}}, 418, 96);

    OnShow = [this] { FormShow(); };
    OnClose = [this](ui::CloseAction& a) { FormClose(a); };
}

void TFormObjects_List::FormShow() {
    SetBounds(Left(), Top(), 545, 500);
    obj_backup = ObjectList;
    ShowObjectList();
}

listforms::ListWindow::Header TFormObjects_List::ListHeader() {
    return {&ObjectList.obj_num, &ObjectList.obj_index, &ObjectList.sort_prz};
}

void TFormObjects_List::ShowObjectList() {
    ObjectListRecord& l = ObjectList;
    const int n = std::min<int>(l.obj_num, MaxObjects);
    // An empty list: the sort buttons keep their state.
    if (n == 0) return ShowEmptyGrid();
    StringGrid1.SetRowCount(n);
    if (n >= 2) {
        SortObjectList(l);
        listforms::ShowSortOrder(l.sort_prz, SpeedButton1, SpeedButton2);
    } else {
        SpeedButton1.SetEnabled(false);
        SpeedButton2.SetEnabled(false);
    }
    for (int i = 0; i < n; ++i) {
        const ObjectRecord& o = l.objs[i];
        StringGrid1.SetRowTexts(i, {Format("  %u", unsigned(i + 1)), " " + o.Name(), Format("  %u", o.contr_adr)});
    }
    FinishRefresh(n, l.obj_index);
}

bool TFormObjects_List::EditEntry(int slot, int mode) {
    TFormObject f(this);
    f.edit_mode = std::uint8_t(mode);
    f.obj_rec = &ObjectList.objs[slot];
    f.ShowModal();
    return f.accepted != 0;
}

void TFormObjects_List::RemoveEntry(int n, int at) { listforms::RemoveAt(ObjectList.objs, n, at); }

void TFormObjects_List::BitBtn4Click() {
    if (!SameList(ObjectList, obj_backup)) {
        const std::string path = ObjectsIniPath();
        bool ok;
        {
            ui::HourGlass hourglass;
            ok = WriteObjectList(path);
        }
        if (!ok) {
            // Nothing was stored: the window stays with the edits, so the
            // operator can try again or cancel.
            MessageKind = 1;
            ShowQues("Помилка роботи з файлом", path);
            return;
        }
    }
    accepted = 1;
    SetModalResult(ui::mrOk);
}

void TFormObjects_List::FormClose(ui::CloseAction&) {
    if (accepted == 0 && !SameList(ObjectList, obj_backup)) ObjectList = obj_backup;
}
