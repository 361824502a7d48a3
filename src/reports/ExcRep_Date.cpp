#include "reports/ExcRep_Date.h"

#include <algorithm>
#include <string>

#include "common/IniPaths.h"
#include "common/ListFiles.h"
#include "common/Object.h"
#include "common/Objects_list.h"
#include "common/Question.h"
#include "common/Stringi.h"
#include "config/ConfigImage.h"
#include "data/ViewerTexts.h"

namespace {

constexpr int kDayHeight = 325, kMonthHeight = 283;

}  // namespace

TFormExcRep_Date::TFormExcRep_Date(ui::Component* owner) : ui::Form(owner, "FormExcRep_Date") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetBounds(0, 0, 480, kDayHeight);

    Label4.SetBounds(16, 12, 440, 16);
    Label5.SetBounds(16, 32, 440, 16);

    Label2.SetCaption("Рік");
    Label2.SetBounds(16, 64, 80, 16);
    Panel3.SetBounds(16, 82, 64, 23);
    Panel3.SetBevelOuter(ui::Bevel::Lowered);
    UpDown1.SetBounds(80, 82, 17, 23);
    UpDown1.SetRange(0, 99);
    UpDown1.OnClick = [this] { UpDown1Click(); };

    Label3.SetCaption("Місяць");
    Label3.SetBounds(120, 64, 150, 16);
    ComboBox2.SetBounds(120, 82, 160, 21);
    ComboBox2.SetStyle(ui::ComboStyle::DropDownList);
    ComboBox2.SetDropDownCount(12);
    ComboBox2.OnChange = [this] { ComboBox2Change(); };

    Label6.SetCaption("День");
    Label6.SetBounds(304, 64, 80, 16);
    ComboBox3.SetBounds(304, 82, 64, 21);
    ComboBox3.SetStyle(ui::ComboStyle::DropDownList);
    ComboBox3.SetDropDownCount(16);
    ComboBox3.OnChange = [this] { ComboBox3Change(); };

    Label1.SetCaption("Найменування об'єкту");
    Label1.SetBounds(16, 124, 300, 16);
    ComboBox1.SetBounds(16, 142, 440, 21);
    ComboBox1.SetStyle(ui::ComboStyle::DropDownList);
    ComboBox1.SetDropDownCount(16);
    ComboBox1.OnChange = [this] { ComboBox1Change(); };
    BitBtn1.SetCaption("Список об'єктів");
    BitBtn1.SetBounds(16, 174, 160, 28);
    BitBtn1.OnClick = [this] { BitBtn1Click(); };

    BitBtn5.SetCaption("Прийняти");
    BitBtn5.SetGlyph(ui::Glyph::Ok);
    BitBtn5.SetDefault(true);
    BitBtn5.OnClick = [this] { BitBtn5Click(); };
    BitBtn6.SetCaption("Відмінити");
    BitBtn6.SetGlyph(ui::Glyph::Cancel);
    BitBtn6.SetCancel(true);
    BitBtn6.SetModalResult(ui::mrCancel);

    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormExcRep_Date::FormCreate() {
    accepted = 0;
    Bounds = nullptr;
    Mode = 0;
    Result = {};
}

void TFormExcRep_Date::FormShow() {
    accepted = 0;
    const bool day = Mode == 0;
    SetCaption(day ? " Параметри звіту за добу" : " Параметри звіту за місяць");
    SetBounds(Left(), Top(), 480, day ? kDayHeight : kMonthHeight);
    Label6.SetVisible(day);
    ComboBox3.SetVisible(day);
    // The buttons sit at the bottom of the window.
    const int buttonsTop = ClientHeight() - 48;
    BitBtn5.SetBounds(110, buttonsTop, 120, 30);
    BitBtn6.SetBounds(250, buttonsTop, 120, 30);

    QueryPeriod b{};
    if (Bounds) b = *Bounds;
    Label4.SetCaption(ViewerFormat("Дата найстарішого запису в архіві добових даних:  %02d.%02d.%02d", b.from.day,
                                   b.from.month, b.from.year));
    Label5.SetCaption(
        ViewerFormat("Дата останнього запису в архіві::  %02d.%02d.%02d", b.to.day, b.to.month, b.to.year));

    // The result starts as the last day of the archive.
    Result = {b.to.year, b.to.month, b.to.day, 0};
    if (Result.month < 1 || Result.month > 12) Result.month = 1;
    UpDown1.SetPosition(std::min<int>(Result.year, 99));
    Result.year = uint8_t(UpDown1.Position());
    ShowYear();
    std::vector<std::string> months;
    for (int m = 1; m <= 12; ++m) {
        const char* name = texts::MonthNames.At(m);
        months.push_back(name ? name : std::to_string(m));
    }
    ComboBox2.SetItems(months);
    ComboBox2.SetItemIndex(Result.month - 1);
    FillDays();
    FillObjects();
}

void TFormExcRep_Date::ShowYear() { Panel3.SetCaption(std::to_string(UpDown1.Position() + 2000)); }

void TFormExcRep_Date::UpDown1Click() {
    Result.year = uint8_t(UpDown1.Position());
    ShowYear();
    FillDays();
}

void TFormExcRep_Date::ComboBox2Change() {
    const int i = ComboBox2.ItemIndex();
    if (i < 0) return;
    Result.month = uint8_t(i + 1);
    FillDays();
}

// The days of the chosen month; a day beyond its end becomes its last.
void TFormExcRep_Date::FillDays() {
    const int days = std::max(1, DaysInMonth(2000u + Result.year, Result.month));
    std::vector<std::string> items;
    for (int d = 1; d <= days; ++d) items.push_back(std::to_string(d));
    ComboBox3.SetItems(items);
    if (Result.day < 1) Result.day = 1;
    if (Result.day > days) Result.day = uint8_t(days);
    ComboBox3.SetItemIndex(Result.day - 1);
}

void TFormExcRep_Date::ComboBox3Change() {
    const int i = ComboBox3.ItemIndex();
    if (i >= 0) Result.day = uint8_t(i + 1);
}

void TFormExcRep_Date::FillObjects() {
    ObjectListRecord& l = ObjectList;
    const int n = std::min<int>(l.obj_num, MaxObjects);
    std::vector<std::string> items;
    for (int i = 0; i < n; ++i) items.push_back(l.objs[i].Name());
    if (n < MaxObjects) items.push_back(kNewObject);
    ComboBox1.SetItems(items);
    ComboBox1.SetItemIndex(l.obj_index < n ? l.obj_index : -1);
}

void TFormExcRep_Date::ComboBox1Change() {
    ObjectListRecord& l = ObjectList;
    const int n = std::min<int>(l.obj_num, MaxObjects);
    const int i = ComboBox1.ItemIndex();
    if (i < 0) return;
    if (i < n) {
        l.obj_index = uint8_t(i);
        return;
    }
    // "Новый объект": the object dialog on the next free entry.
    ObjectRecord added{};
    TFormObject f(this);
    f.edit_mode = 0;
    f.obj_rec = &added;
    f.ShowModal();
    if (f.accepted) {
        l.objs[n] = added;
        l.obj_index = uint8_t(n);
        l.obj_num = uint8_t(n + 1);
        // The object stays in the list for this run; the list window or the
        // next object added writes the file again.
        if (!WriteObjectList(ObjectsIniPath())) ShowQues(1, "Помилка роботи з файлом", ObjectsIniPath());
    }
    FillObjects();
}

void TFormExcRep_Date::BitBtn1Click() {
    TFormObjects_List f(this);
    f.ShowModal();
    if (f.accepted) FillObjects();
}

void TFormExcRep_Date::BitBtn5Click() {
    const int n = std::min<int>(ObjectList.obj_num, MaxObjects);
    const int i = ComboBox1.ItemIndex();
    if (i < 0 || i >= n) {
        ShowQues(2, "Не введено найменування об'єкту", "");
        return;
    }
    ObjectList.obj_index = uint8_t(i);
    QueryPeriod b{};
    if (Bounds) b = *Bounds;
    const int unit = Mode == 0 ? 1 : 2;
    const DateRec5 chosen{Result.year, Result.month, Result.day, 0, 0};
    if (CompareRecByUnit(chosen, b.from, unit) < 0 || CompareRecByUnit(chosen, b.to, unit) > 0) {
        ShowQues(2, "У архіві нема даних за вказану дату", "(див. період наявних в архіві даних)");
        return;
    }
    if (const uint8_t* system = TablePtr(6)) Result.hour = system[6];
    accepted = 1;
    SetModalResult(ui::mrOk);
}
