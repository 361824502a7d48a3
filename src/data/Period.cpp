#include "data/Period.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "config/ArchiveDefaults.h"
#include "common/DateTime.h"
#include "common/Question.h"
#include "common/Suplfunc.h"

// ---- helpers -------------------------------------------------------------------

double FirstPickerDate() { return EncodeDate(2000, 1, 1); }
double LastPickerDate() { return EncodeDate(2255, 12, 31); }

void KeepPickerInRange(ui::DateTimePicker& p) {
    const double v = p.DateTime();
    if (!std::isfinite(v)) {
        p.SetDateTime(FirstPickerDate());
        return;
    }
    const double day = std::floor(v);
    if (day < FirstPickerDate()) p.SetDate(FirstPickerDate());
    else if (day > LastPickerDate()) p.SetDate(LastPickerDate());
}

void LimitPicker(ui::DateTimePicker& p) {
    p.SetMinDate(FirstPickerDate());
    p.SetMaxDate(LastPickerDate());
    p.OnChange = [&p] { KeepPickerInRange(p); };
}

double RecDateValue(const DeviceDateTime& r) {
    const int year = 2000 + r.year;
    const int month = std::clamp<int>(r.month, 1, 12);
    const int day = std::clamp<int>(r.day, 1, DaysInMonth(uint32_t(year), month));
    return EncodeDate(year, month, day);
}

void PickerDate(const ui::DateTimePicker& p, DeviceDateTime& r) {
    double v = p.DateTime();
    if (!std::isfinite(v)) v = FirstPickerDate();
    v = std::clamp(std::floor(v), FirstPickerDate(), LastPickerDate());
    int y = 0, m = 0, d = 0;
    DecodeDate(v, y, m, d);
    r.year = static_cast<uint8_t>(std::clamp(y - 2000, 0, 255));
    r.month = static_cast<uint8_t>(m);
    r.day = static_cast<uint8_t>(d);
}

void DecMonthClamped(DeviceDateTime& r) {
    if (r.year == 0 && r.month <= 1) {
        r.month = 1;
        r.day = 1;
        return;
    }
    DecRec(r, 2);
    const int last = DaysInMonth(uint32_t(r.year) + 2000, r.month);
    if (last > 0 && r.day > last) r.day = static_cast<uint8_t>(last);
}

// The date steps wrap the year byte round; a step that did is undone.
bool IncRecWithin(DeviceDateTime& r, int unit) {
    const DeviceDateTime before = r;
    IncRec(r, unit);
    if (r.year >= before.year) return true;
    r = before;
    return false;
}

bool DecRecWithin(DeviceDateTime& r, int unit) {
    const DeviceDateTime before = r;
    DecRec(r, unit);
    if (r.year <= before.year) return true;
    r = before;
    return false;
}

void FillNumberList(ui::ComboBox& c, int n) {
    std::vector<std::string> items;
    for (int i = 0; i < n; ++i) items.push_back(std::to_string(i));
    c.SetStyle(ui::ComboStyle::DropDownList);
    c.SetItems(std::move(items));
    c.SetDropDownCount(12);
    c.OnKeyPress = [&c](char32_t& key) { KeyFilterDigits(c.Text(), 0, key); };
}

void SelectNumber(ui::ComboBox& c, int v) { c.SetItemIndex(v); }

int SelectedNumber(const ui::ComboBox& c) {
    const int i = c.ItemIndex();
    return i >= 0 && i < c.ItemCount() ? i : -1;
}

void SelectRadio(ui::RadioGroup& g, int index) {
    if (g.ItemIndex() != index) {
        g.SetItemIndex(index);  // fires OnClick
        if (g.ItemIndex() == index) return;
    }
    if (g.OnClick) g.OnClick();
}

// ---- the dialog ---------------------------------------------------------------

namespace {

constexpr const char* kEndBeforeBegin1 = "Дата і час кінця опитування мають бути";
constexpr const char* kEndBeforeBegin2 = "більше дати та часу початку опитування";

// The PC clock split into its parts.
struct ClockParts {
    double now;
    int h, n, s;
};
ClockParts Split(double now) {
    ClockParts c;
    c.now = now;
    int ms = 0;
    DecodeTime(c.now, c.h, c.n, c.s, ms);
    return c;
}

}  // namespace

TFormPeriod::TFormPeriod(ui::Component* owner) : ui::Form(owner, "FormPeriod") {
    SetCaption(" Введення періоду часу даних, що запитуються");
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetBounds(0, 0, 614, 288);

    GroupBox1.SetCaption("Початок періоду");
    GroupBox1.SetBounds(8, 8, 290, 130);
    GroupBox2.SetCaption("Кінець періоду");
    GroupBox2.SetBounds(308, 8, 290, 130);
    struct Row {
        ui::GroupBox* box;
        ui::DateTimePicker* date;
        ui::ComboBox* lists[3];
        ui::Label* labels[4];
    };
    const Row rows[2] = {{&GroupBox1, &tdDb, {&ComboBox3, &ComboBox1, &ComboBox2}, {&Label1, &Label2, &Label3, &Label4}},
                         {&GroupBox2, &tdDe, {&ComboBox4, &ComboBox5, &ComboBox6}, {&Label5, &Label6, &Label7, &Label8}}};
    const char* captions[4] = {"Дата", "Година", "Хвилини", "Секунди"};
    for (const Row& r : rows) {
        r.date->SetParent(r.box);
        r.date->SetBounds(12, 40, 266, 21);
        LimitPicker(*r.date);
        for (int i = 0; i < 4; ++i) {
            r.labels[i]->SetParent(r.box);
            r.labels[i]->SetCaption(captions[i]);
        }
        r.labels[0]->SetBounds(12, 20, 100, 16);
        for (int i = 0; i < 3; ++i) {
            r.lists[i]->SetParent(r.box);
            r.lists[i]->SetBounds(12 + i * 92, 92, 80, 21);
            r.labels[i + 1]->SetBounds(12 + i * 92, 72, 80, 16);
        }
        FillNumberList(*r.lists[0], 24);
        FillNumberList(*r.lists[1], 60);
        FillNumberList(*r.lists[2], 60);
    }

    RadioGroup1.SetCaption(" Завдання періоду ");
    RadioGroup1.SetItems({"За останню годину", "За останню добу", "Заданний період"});
    RadioGroup1.SetBounds(8, 146, 590, 60);
    RadioGroup1.SetColumns(3);
    RadioGroup1.OnClick = [this] { RadioGroup1Click(); };

    BitBtn1.SetCaption("Прийняти");
    BitBtn1.SetGlyph(ui::Glyph::Ok);
    BitBtn1.SetBounds(180, 216, 110, 30);
    BitBtn1.SetDefault(true);
    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    BitBtn2.SetCaption("Вихід");
    BitBtn2.SetGlyph(ui::Glyph::Close);
    BitBtn2.SetBounds(320, 216, 110, 30);
    BitBtn2.SetCancel(true);
    BitBtn2.SetModalResult(ui::mrCancel);

    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormPeriod::FormCreate() { accepted = 0; }

void TFormPeriod::FormShow() {
    accepted = 0;
    const int last = int(RadioGroup1.Items().size()) - 1;
    const uint32_t kind = ArchiveRequestDefaults.PeriodKind;
    SelectRadio(RadioGroup1, kind > uint32_t(last) ? last : int(kind));
}

void TFormPeriod::EnableInputs(bool on) {
    for (ui::Control* c : std::initializer_list<ui::Control*>{&tdDb, &tdDe, &ComboBox1, &ComboBox2, &ComboBox3,
                                                              &ComboBox4, &ComboBox5, &ComboBox6})
        c->SetEnabled(on);
}

void TFormPeriod::RadioGroup1Click() {
    const int kind = RadioGroup1.ItemIndex();
    if (kind < 0) return;
    ArchiveRequestDefaults.PeriodKind = uint32_t(kind);
    const ClockParts c = Split(Clock ? Clock() : Now());
    const double today = std::floor(c.now);
    switch (kind) {
        case 0:  // the last hour
            tdDe.SetDateTime(c.now);
            tdDb.SetDateTime(c.now);
            SelectNumber(ComboBox4, c.h);
            SelectNumber(ComboBox5, c.n);
            SelectNumber(ComboBox6, c.s);
            SelectNumber(ComboBox1, c.n);
            SelectNumber(ComboBox2, c.s);
            if (c.h == 0) {
                SelectNumber(ComboBox3, 23);
                tdDb.SetDate(today - 1);
            } else {
                SelectNumber(ComboBox3, c.h - 1);
            }
            EnableInputs(false);
            break;
        case 1:  // the last day
            tdDe.SetDateTime(c.now);
            tdDb.SetDateTime(c.now);
            tdDb.SetDate(today - 1);
            for (ui::ComboBox* h : {&ComboBox3, &ComboBox4}) SelectNumber(*h, c.h);
            for (ui::ComboBox* n : {&ComboBox1, &ComboBox5}) SelectNumber(*n, c.n);
            for (ui::ComboBox* s : {&ComboBox2, &ComboBox6}) SelectNumber(*s, c.s);
            EnableInputs(false);
            break;
        default: {  // the period given last
            const double values[2] = {ArchiveRequestDefaults.PeriodBegin, ArchiveRequestDefaults.PeriodEnd};
            ui::DateTimePicker* pickers[2] = {&tdDb, &tdDe};
            ui::ComboBox* lists[2][3] = {{&ComboBox3, &ComboBox1, &ComboBox2}, {&ComboBox4, &ComboBox5, &ComboBox6}};
            for (int i = 0; i < 2; ++i) {
                double v = values[i];
                // A damaged record must not put a wild date into the pickers.
                if (!std::isfinite(v) || std::floor(v) < FirstPickerDate() || std::floor(v) > LastPickerDate())
                    v = c.now;
                pickers[i]->SetDateTime(v);
                int h = 0, n = 0, s = 0, ms = 0;
                DecodeTime(v, h, n, s, ms);
                SelectNumber(*lists[i][0], h);
                SelectNumber(*lists[i][1], n);
                SelectNumber(*lists[i][2], s);
            }
            EnableInputs(true);
            break;
        }
    }
}

void TFormPeriod::BitBtn1Click() {
    const bool given = RadioGroup1.ItemIndex() == 2;
    const ui::ComboBox* lists[6] = {&ComboBox3, &ComboBox1, &ComboBox2, &ComboBox4, &ComboBox5, &ComboBox6};
    for (const ui::ComboBox* c : lists) {
        // Without a given period the lists are always filled by the dialog.
        if (SelectedNumber(*c) < 0) {
            MessageKind = 2;
            ShowQues("Уведені не всі параметри", "");
            return;
        }
    }
    DeviceDateTime b, e;
    PickerDate(tdDb, b);
    b.hour = uint8_t(SelectedNumber(ComboBox3));
    b.minute = uint8_t(SelectedNumber(ComboBox1));
    b.second = uint8_t(SelectedNumber(ComboBox2));
    PickerDate(tdDe, e);
    e.hour = uint8_t(SelectedNumber(ComboBox4));
    e.minute = uint8_t(SelectedNumber(ComboBox5));
    e.second = uint8_t(SelectedNumber(ComboBox6));
    if (CompareRec6(e, b) < 0) {
        MessageKind = 2;
        ShowQues(kEndBeforeBegin1, kEndBeforeBegin2);
        return;
    }
    Begin = b;
    End = e;
    if (given) {
        ArchiveRequestDefaults.PeriodBegin = RecToDateTime(b);
        ArchiveRequestDefaults.PeriodEnd = RecToDateTime(e);
    }
    accepted = 1;
    SetModalResult(ui::mrOk);
}
