#include "data/ShortDate.h"

#include <cstdio>
#include <string>

#include "config/ArchiveDefaults.h"
#include "common/Question.h"
#include "config/ConfigImage.h"
#include "data/Period.h"

namespace {

std::string Format(const char* pattern, int a, int b, int c, int d = 0) {
    char buf[160];
    std::snprintf(buf, sizeof buf, pattern, a, b, c, d);
    return buf;
}

// Keeps year, month, day and (hourly) the hour.
DeviceDateTime ByUnit(DeviceDateTime r, int unit) {
    r.minute = 0;
    r.second = 0;
    if (unit != 0) r.hour = 0;
    return r;
}

constexpr int kHourlyHeight = 238;
constexpr int kDailyHeight = 208;

}  // namespace

TFormShortDate::TFormShortDate(ui::Component* owner) : ui::Form(owner, "FormShortDate") {
    SetCaption(" Введення періоду часу даних, що запитуються");
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetBounds(0, 0, 590, 280);

    // Hourly panel.
    pn_hou.SetBounds(0, 0, 574, kHourlyHeight);
    pn_hou.SetBevelOuter(ui::Bevel::None);
    for (ui::Control* c : std::initializer_list<ui::Control*>{&Label9, &Label10, &Label11, &Label12, &tdHb, &tdHe,
                                                              &ComboBox6, &ComboBox7, &RadioGroup3, &BitBtn3, &BitBtn4})
        c->SetParent(&pn_hou);
    Label9.SetBounds(12, 8, 550, 16);
    Label10.SetBounds(12, 28, 550, 16);
    Label11.SetCaption("Початок періоду (дата, година)");
    Label11.SetBounds(12, 56, 260, 16);
    Label12.SetCaption("Кінець періоду (дата, година)");
    Label12.SetBounds(300, 56, 260, 16);
    tdHb.SetBounds(12, 76, 180, 21);
    ComboBox6.SetBounds(200, 76, 60, 21);
    tdHe.SetBounds(300, 76, 180, 21);
    ComboBox7.SetBounds(488, 76, 60, 21);
    FillNumberList(ComboBox6, 24);
    FillNumberList(ComboBox7, 24);
    LimitPicker(tdHb);
    LimitPicker(tdHe);
    RadioGroup3.SetCaption(" Завдання періоду");
    RadioGroup3.SetItems({"За останню добу", "Заданий період"});
    RadioGroup3.SetColumns(2);
    RadioGroup3.SetBounds(12, 110, 550, 60);
    RadioGroup3.OnClick = [this] { RadioGroup3Click(); };
    BitBtn3.SetBounds(160, 186, 110, 30);
    BitBtn4.SetBounds(300, 186, 110, 30);
    BitBtn3.OnClick = [this] { BitBtn3Click(); };

    // Daily panel.
    pn_day.SetBounds(0, 0, 574, kDailyHeight);
    pn_day.SetBevelOuter(ui::Bevel::None);
    for (ui::Control* c : std::initializer_list<ui::Control*>{&Label17, &Label18, &Label19, &Label20, &tdDb, &tdDe,
                                                              &RadioGroup2, &BitBtn5, &BitBtn6})
        c->SetParent(&pn_day);
    Label17.SetBounds(12, 8, 550, 16);
    Label18.SetBounds(12, 28, 550, 16);
    Label19.SetCaption("Початок періоду");
    Label19.SetBounds(12, 56, 200, 16);
    Label20.SetCaption("Кінець періоду");
    Label20.SetBounds(300, 56, 200, 16);
    tdDb.SetBounds(12, 76, 180, 21);
    tdDe.SetBounds(300, 76, 180, 21);
    LimitPicker(tdDb);
    LimitPicker(tdDe);
    RadioGroup2.SetCaption(" Завдання періоду");
    RadioGroup2.SetItems({"За останній місяць", "Заданий період"});
    RadioGroup2.SetColumns(2);
    RadioGroup2.SetBounds(12, 106, 550, 56);
    RadioGroup2.OnClick = [this] { RadioGroup2Click(); };
    BitBtn5.SetBounds(160, 170, 110, 30);
    BitBtn6.SetBounds(300, 170, 110, 30);
    BitBtn5.OnClick = [this] { BitBtn5Click(); };

    for (ui::Button* b : {&BitBtn3, &BitBtn5}) {
        b->SetCaption("Прийняти");
        b->SetGlyph(ui::Glyph::Ok);
        b->SetDefault(true);  // Enter (one of the two panels shows)
    }
    for (ui::Button* b : {&BitBtn4, &BitBtn6}) {
        b->SetCaption("Відмінити");
        b->SetGlyph(ui::Glyph::Cancel);
        b->SetCancel(true);
        b->SetModalResult(ui::mrCancel);
    }

    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormShortDate::FormCreate() {
    accepted = 0;
    Range = nullptr;
    pn_hou.Hide();
    pn_day.Hide();
    Begin = {};
    End = {};
}

void TFormShortDate::FormShow() {
    accepted = 0;
    if (const uint8_t* clock = TablePtr(2)) ControllerTime = LoadRec6(clock);
    QueryPeriod range{};
    if (Range) range = *Range;
    const DeviceDateTime first = ToRec6(range.from), last = ToRec6(range.to);
    const uint32_t kind = ArchiveRequestDefaults.PeriodKind;

    if (Mode == 0) {
        pn_day.Hide();
        pn_hou.Show();
        SetClientHeight(kHourlyHeight);
        DeviceDateTime e = ByUnit(last, 0);
        DeviceDateTime b = e;
        if (!DecRecWithin(b, 1) || CompareRecByUnit(b, first, 0) < 0) b = ByUnit(first, 0);
        ShowHours(b, e);
        Label9.SetCaption(Format("Дата та час найстарішого запису в архіві:  %02d.%02d.%02d %02dч", first.day,
                                 first.month, first.year, first.hour));
        Label10.SetCaption(Format("Дата та час останнього запису в архіві:  %02d.%02d.%02d %02dч", last.day,
                                  last.month, last.year, last.hour));
        const int lastItem = int(RadioGroup3.Items().size()) - 1;
        SelectRadio(RadioGroup3, kind > uint32_t(lastItem) ? lastItem : int(kind));
    } else {
        pn_hou.Hide();
        pn_day.Show();
        SetClientHeight(kDailyHeight);
        DeviceDateTime e = ByUnit(last, 1);
        DeviceDateTime b = e;
        DecMonthClamped(b);
        if (CompareRecByUnit(b, first, 1) < 0) b = ByUnit(first, 1);
        ShowDays(b, e);
        Label18.SetCaption(Format("Дата та час останнього запису в архіві:  %02d.%02d.%02d", last.day, last.month,
                                  last.year));
        Label17.SetCaption(Format("Дата та час найстарішого запису в архіві:  %02d.%02d.%02d", first.day,
                                  first.month, first.year));
        const int lastItem = int(RadioGroup2.Items().size()) - 1;
        SelectRadio(RadioGroup2, kind > uint32_t(lastItem) ? lastItem : int(kind));
    }
}

void TFormShortDate::ShowHours(const DeviceDateTime& b, const DeviceDateTime& e) {
    tdHb.SetDateTime(RecDateValue(b));
    tdHe.SetDateTime(RecDateValue(e));
    SelectNumber(ComboBox6, b.hour);
    SelectNumber(ComboBox7, e.hour);
}

void TFormShortDate::ShowDays(const DeviceDateTime& b, const DeviceDateTime& e) {
    tdDb.SetDateTime(RecDateValue(b));
    tdDe.SetDateTime(RecDateValue(e));
}

void TFormShortDate::RadioGroup3Click() {
    const int kind = RadioGroup3.ItemIndex();
    if (kind < 0) return;
    ArchiveRequestDefaults.PeriodKind = uint32_t(kind);
    const bool given = kind != 0;
    if (!given) {
        // The last 24 complete hours of the controller's clock.
        DeviceDateTime e = ByUnit(ControllerTime, 0);
        DecRecWithin(e, 0);
        DeviceDateTime b = e;
        for (int i = 0; i < 23; ++i)
            if (!DecRecWithin(b, 0)) break;
        ShowHours(b, e);
    }
    for (ui::Control* c : std::initializer_list<ui::Control*>{&tdHb, &tdHe, &ComboBox6, &ComboBox7})
        c->SetEnabled(given);
}

void TFormShortDate::RadioGroup2Click() {
    const int kind = RadioGroup2.ItemIndex();
    if (kind < 0) return;
    ArchiveRequestDefaults.PeriodKind = uint32_t(kind);
    const bool given = kind != 0;
    if (!given) {
        // A month back from yesterday by the controller's clock.
        DeviceDateTime e = ByUnit(ControllerTime, 1);
        DecRecWithin(e, 1);
        DeviceDateTime b = e;
        DecMonthClamped(b);
        ShowDays(b, e);
    }
    for (ui::Control* c : std::initializer_list<ui::Control*>{&tdDb, &tdDe}) c->SetEnabled(given);
}

bool TFormShortDate::Accept(DeviceDateTime b, DeviceDateTime e, int unit) {
    b = ByUnit(b, unit);
    e = ByUnit(e, unit);
    if (CompareRecByUnit(e, b, unit) < 0) {
        MessageKind = 2;
        ShowQues("Дата і час кінця опитування мають бути", "більше дати та часу початку опитування");
        return false;
    }
    QueryPeriod range{};
    if (Range) range = *Range;
    const DeviceDateTime first = ByUnit(ToRec6(range.from), unit), last = ByUnit(ToRec6(range.to), unit);
    const bool allBefore = CompareRecByUnit(b, first, unit) < 0 && CompareRecByUnit(e, first, unit) < 0;
    const bool allAfter = CompareRecByUnit(b, last, unit) > 0 && CompareRecByUnit(e, last, unit) > 0;
    if (allBefore || allAfter) {
        MessageKind = 2;
        ShowQues("В архіві немає даних за вказаний період", "(див. період наявних в архіві даних)");
        return false;
    }
    if (CompareRecByUnit(b, first, unit) < 0) b = first;
    if (CompareRecByUnit(e, last, unit) > 0) e = last;
    Begin = b;
    End = e;
    accepted = 1;
    SetModalResult(ui::mrOk);
    return true;
}

void TFormShortDate::BitBtn3Click() {
    const int hb = SelectedNumber(ComboBox6), he = SelectedNumber(ComboBox7);
    if (hb < 0 || he < 0) {
        MessageKind = 2;
        ShowQues("Уведені не всі параметри", "");
        return;
    }
    DeviceDateTime b, e;
    PickerDate(tdHb, b);
    PickerDate(tdHe, e);
    b.hour = uint8_t(hb);
    e.hour = uint8_t(he);
    Accept(b, e, 0);
}

void TFormShortDate::BitBtn5Click() {
    DeviceDateTime b, e;
    PickerDate(tdDb, b);
    PickerDate(tdDe, e);
    Accept(b, e, 1);
}
