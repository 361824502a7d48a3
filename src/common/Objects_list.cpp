#include "common/Objects_list.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/IniPaths.h"
#include "common/ListFiles.h"
#include "common/Object.h"
#include "common/Question.h"

namespace {

std::string Format(const char* fmt, unsigned v) {
    char buf[100];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

bool SameList(const ObjectListRecord& a, const ObjectListRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TFormObjects_List::TFormObjects_List(ui::Component* owner) : ui::Form(owner, "FormObjects_List") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetCaption(" Список об'єктів");
    SetBounds(0, 0, 545, 500);

    const int widths[3] = {40, 370, 113};
    ui::Panel* heads[3] = {&Panel3, &Panel4, &Panel7};
    const char* captions[3] = {"№", "Найменування", " Адреса"};
    int x = 8;
    for (int i = 0; i < 3; ++i) {
        heads[i]->SetCaption(captions[i]);
        heads[i]->SetBounds(x, 8, widths[i], 24);
        x += widths[i];
    }
    struct S { ui::Button* b; ui::Panel* head; const char* hint; };
    for (const S& s : {S{&SpeedButton1, &Panel4, "Сортувати за найменуванням"},
                       S{&SpeedButton2, &Panel7, "Сортувати за адресою"}}) {
        s.b->SetParent(s.head);
        s.b->SetCaption("▼");
        s.b->SetFlat(true);
        s.b->Hint = s.hint;
        s.b->SetBounds(s.head->Width() - 23, 2, 20, 20);
    }
    SpeedButton2.SetEnabled(false);

    StringGrid1.SetBounds(8, 32, 523, 372);
    StringGrid1.SetColCount(3);
    StringGrid1.SetRowCount(1);
    StringGrid1.SetFixedCols(0);
    StringGrid1.SetFixedRows(0);
    StringGrid1.SetDefaultRowHeight(20);
    for (int c = 0; c < 3; ++c) StringGrid1.SetColWidth(c, widths[c] - 1);
    ui::GridOptions o;
    o.rowSelect = true;
    StringGrid1.SetOptions(o);
    StringGrid1.SetScrollBars(ui::ScrollBars::Vertical);

    struct B { ui::Button* b; const char* caption; int left; };
    for (const B& b : {B{&BitBtn1, "Змінити", 8}, B{&BitBtn2, "Додати", 110}, B{&BitBtn3, "Видалити", 212},
                       B{&BitBtn4, "Прийняти", 329}, B{&BitBtn5, "Відмінити", 431}}) {
        b.b->SetCaption(b.caption);
        b.b->SetBounds(b.left, 418, 96, 32);
    }
    BitBtn4.SetGlyph(ui::Glyph::Ok);
    BitBtn5.SetGlyph(ui::Glyph::Cancel);
    BitBtn5.SetCancel(true);

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
        StringGrid1.SetRowCount(1);
        for (int c = 0; c < StringGrid1.ColCount(); ++c) StringGrid1.SetCell(c, 0, {});
        BitBtn1.SetEnabled(false);
        BitBtn3.SetEnabled(false);
        BitBtn2.SetEnabled(true);
        return;
    }
    StringGrid1.SetRowCount(n);
    if (n >= 2) {
        SortObjectList(l);
        // The button of the order in force is the disabled one.
        if (l.sort_prz == 0) {
            SpeedButton1.SetEnabled(false);
            SpeedButton2.SetEnabled(true);
        } else if (l.sort_prz == 1) {
            SpeedButton2.SetEnabled(false);
            SpeedButton1.SetEnabled(true);
        }
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
    for (int i = at; i < n - 1; ++i) l.objs[i] = l.objs[i + 1];
    std::memset(&l.objs[n - 1], 0, sizeof l.objs[n - 1]);
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
