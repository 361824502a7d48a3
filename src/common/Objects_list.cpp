#include "common/Objects_list.h"

#include <algorithm>
#include <cstring>

#include "common/IniPaths.h"
#include "common/ListFiles.h"
#include "common/ListForms.h"
#include "common/Object.h"
#include "common/Question.h"

namespace {

using listforms::Format;

bool SameList(const ObjectListRecord& a, const ObjectListRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TFormObjects_List::TFormObjects_List(ui::Component* owner) : ui::Form(owner, "FormObjects_List") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetCaption(" Список об'єктів");
    SetBounds(0, 0, 545, 500);

    listforms::LayOutColumns({{&Panel3, "№", 40}, {&Panel4, "Найменування", 370}, {&Panel7, " Адреса", 113}},
                             StringGrid1, 523, 372);
    listforms::SortButton(SpeedButton1, Panel4, "Сортувати за найменуванням");
    listforms::SortButton(SpeedButton2, Panel7, "Сортувати за адресою");
    SpeedButton2.SetEnabled(false);
    listforms::ListButtons({{&BitBtn1, 8}, {&BitBtn2, 110}, {&BitBtn3, 212}, {&BitBtn4, 329}, {&BitBtn5, 431}}, 418, 96);

    StringGrid1.OnClick = [this] { StringGrid1Click(); };
    StringGrid1.OnDblClick = [this] { StringGrid1DblClick(); };
    SpeedButton1.OnClick = [this] { SpeedButton1Click(); };
    SpeedButton2.OnClick = [this] { SpeedButton2Click(); };
    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    BitBtn3.OnClick = [this] { BitBtn3Click(); };
    BitBtn4.OnClick = [this] { BitBtn4Click(); };
    BitBtn5.OnClick = [this] { BitBtn5Click(); };
    OnShow = [this] { FormShow(); };
    OnClose = [this](ui::CloseAction& a) { FormClose(a); };
    accepted = 0;
}

void TFormObjects_List::FormShow() {
    SetBounds(Left(), Top(), 545, 500);
    obj_backup = ObjectList;
    ShowObjectList();
}

void TFormObjects_List::ShowObjectList() {
    ObjectListRecord& l = ObjectList;
    const int n = std::min<int>(l.obj_num, MaxObjects);
    if (n == 0) {
        // A grid keeps at least one row: it stays, empty. The sort
        // buttons keep their state.
        listforms::ShowEmptyList(StringGrid1, BitBtn1, BitBtn2, BitBtn3);
        return;
    }
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
    StringGrid1.SetRow(l.obj_index);
    BitBtn1.SetEnabled(true);
    BitBtn2.SetEnabled(n < MaxObjects);
    BitBtn3.SetEnabled(true);
}

void TFormObjects_List::StringGrid1Click() {
    if (ObjectList.obj_num == 0) return;
    ObjectList.obj_index = std::uint8_t(std::clamp(StringGrid1.Row(), 0, std::min<int>(ObjectList.obj_num, MaxObjects) - 1));
}

void TFormObjects_List::StringGrid1DblClick() {
    StringGrid1Click();
    BitBtn1Click();
}

void TFormObjects_List::SpeedButton1Click() {
    ObjectList.sort_prz = 0;
    ShowObjectList();
}

void TFormObjects_List::SpeedButton2Click() {
    ObjectList.sort_prz = 1;
    ShowObjectList();
}

void TFormObjects_List::BitBtn1Click() {
    ObjectListRecord& l = ObjectList;
    if (l.obj_num == 0 || l.obj_index >= l.obj_num || l.obj_index >= MaxObjects) return;
    TFormObject f(this);
    f.edit_mode = 1;
    f.obj_rec = &l.objs[l.obj_index];
    f.ShowModal();
    if (f.accepted) ShowObjectList();
}

void TFormObjects_List::BitBtn2Click() {
    ObjectListRecord& l = ObjectList;
    if (l.obj_num >= MaxObjects) return;
    TFormObject f(this);
    f.edit_mode = 0;
    f.obj_rec = &l.objs[l.obj_num];
    f.ShowModal();
    if (!f.accepted) return;
    l.obj_index = l.obj_num;
    ++l.obj_num;
    ShowObjectList();
}

void TFormObjects_List::BitBtn3Click() {
    ObjectListRecord& l = ObjectList;
    if (l.obj_num == 0) return;
    MessageKind = 3;
    ShowQues("Ви дійсно хочете", "видалити цей об'єкт?");
    if (!MessageAnswer) return;
    ui::HourGlass hourglass;
    const int n = std::min<int>(l.obj_num, MaxObjects);
    const int at = std::min<int>(l.obj_index, n - 1);
    listforms::RemoveAt(l.objs, n, at);
    l.obj_index = std::uint8_t(at > 0 ? at - 1 : 0);
    l.obj_num = std::uint8_t(n - 1);
    ShowObjectList();
}

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

void TFormObjects_List::BitBtn5Click() { Close(); }

void TFormObjects_List::FormClose(ui::CloseAction&) {
    if (accepted == 0 && !SameList(ObjectList, obj_backup)) ObjectList = obj_backup;
}
