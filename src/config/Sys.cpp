#include "config/Sys.h"

#include <cstdio>
#include <string>
#include <vector>

#include "common/Question.h"
#include "common/Stringi.h"

namespace {

constexpr int kWidth = 794, kHeight = 340;
constexpr uint8_t kByWeekday = 0x80, kFromEnd = 0x40;

std::string HourText(int h) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d:00", h);
    return buf;
}

std::vector<std::string> Hours(int first, int last) {
    std::vector<std::string> v;
    for (int h = first; h <= last; ++h) v.push_back(HourText(h));
    return v;
}

std::vector<std::string> Group(const TextGroup& g, int first = 0) {
    std::vector<std::string> v;
    for (int i = first; i < g.count; ++i) v.push_back(g.At(i));
    return v;
}

}  // namespace

int TFormSys::MonthDays(int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month >= 1 && month <= 12 ? kDays[month - 1] : 0;
}

TFormSys::TFormSys(ui::Component* owner) : ui::Form(owner, "FormSys") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::MainFormCenter);
    SetCaption(" Системні параметрb контролера");
    SetBounds(0, 0, kWidth, kHeight);

    Label1.SetCaption("Контрактна година");
    Label1.SetBounds(16, 22, 130, 16);
    ComboBox1.SetStyle(ui::ComboStyle::DropDownList);
    ComboBox1.SetItems(Hours(0, 23));
    ComboBox1.SetDropDownCount(12);
    ComboBox1.SetBounds(150, 18, 80, 22);
    CheckBox1.SetCaption("Наявність підключеного хроматографа");
    CheckBox2.SetCaption("Наявність підлюченого вологоміра");
    CheckBox3.SetCaption("Наявність підключених ОВГ");
    CheckBox1.SetBounds(300, 6, 320, 18);
    CheckBox2.SetBounds(300, 26, 320, 18);
    CheckBox3.SetBounds(300, 46, 320, 18);

    season_[0].group = &GroupBox1;
    season_[0].monthBox = &ComboBox8;
    season_[0].way = &ComboBox7;
    season_[0].dayBox = &ComboBox9;
    season_[0].ordinal = &ComboBox6;
    season_[0].weekday = &ComboBox10;
    season_[0].hourBox = &ComboBox11;
    season_[0].firstMonth = 2;
    season_[0].firstHour = 0;
    season_[1].group = &GroupBox2;
    season_[1].monthBox = &ComboBox14;
    season_[1].way = &ComboBox13;
    season_[1].dayBox = &ComboBox15;
    season_[1].ordinal = &ComboBox12;
    season_[1].weekday = &ComboBox16;
    season_[1].hourBox = &ComboBox17;
    season_[1].firstMonth = 9;
    season_[1].firstHour = 1;

    ui::Label* labels[2][6] = {{&Label2, &Label3, &Label4, &Label5, &Label6, &Label7},
                               {&Label8, &Label9, &Label10, &Label11, &Label12, &Label13}};
    const char* captions[6] = {"Місяць переходу",           "Спосіб завдання дня переходу", "День в місяці",
                               "Номер \"дня тижня\" в місяці", "День тижня",                   "Година переходу"};
    for (int s = 0; s < 2; ++s) {
        Season& z = season_[s];
        z.group->SetCaption(s == 0 ? " Перехід на літній час " : " Перехід на зимовий час ");
        z.group->SetBounds(8 + s * 390, 76, 382, 172);
        // Rows: month, way, day or ordinal (one of them shows), weekday, hour.
        ui::ComboBox* boxes[6] = {z.monthBox, z.way, z.dayBox, z.ordinal, z.weekday, z.hourBox};
        const int rowOf[6] = {0, 1, 2, 2, 3, 4};
        for (int i = 0; i < 6; ++i) {
            const int top = 24 + rowOf[i] * 30;
            labels[s][i]->SetParent(z.group);
            labels[s][i]->SetCaption(captions[i]);
            labels[s][i]->SetBounds(10, top + 3, 196, 16);
            boxes[i]->SetParent(z.group);
            boxes[i]->SetStyle(ui::ComboStyle::DropDownList);
            boxes[i]->SetBounds(210, top, 160, 22);
        }
        z.wayLabel = labels[s][1];
        z.dayLabel = labels[s][2];
        z.ordinalLabel = labels[s][3];
        z.weekdayLabel = labels[s][4];
        z.hourLabel = labels[s][5];

        std::vector<std::string> months{texts::MonthNames.At(0)};
        for (int m = z.firstMonth; m < z.firstMonth + 4; ++m) months.push_back(texts::MonthNames.At(m));
        z.monthBox->SetItems(months);
        z.way->SetItems({"День місяця (число)", "День тижня в місяці"});
        z.ordinal->SetItems(Group(texts::WeekOrdinalNames));
        z.weekday->SetItems(Group(texts::DayNames));
        z.hourBox->SetItems(Hours(z.firstHour, z.firstHour + 22));
        z.hourBox->SetDropDownCount(12);
        z.dayBox->SetDropDownCount(12);

        z.monthBox->OnChange = [this, s] { MonthChange(s); };
        z.way->OnChange = [this, s] { WayChange(s); };
        z.dayBox->OnChange = [this, s] { DayChange(s); };
        z.ordinal->OnChange = [this, s] { OrdinalChange(s); };
        z.weekday->OnChange = [this, s] { WeekdayChange(s); };
        z.hourBox->OnChange = [this, s] { HourChange(s); };
    }

    BitBtn1.SetCaption("Записати в пристрій");
    BitBtn3.SetCaption("Прийняти");
    for (ui::Button* b : {&BitBtn1, &BitBtn3}) {
        b->SetGlyph(ui::Glyph::Ok);
        b->SetDefault(true);
        b->SetBounds(220, 268, 180, 30);
        b->OnClick = [this] { BitBtn1Click(); };
    }
    BitBtn2.SetCaption("Відмінити");
    BitBtn2.SetGlyph(ui::Glyph::Cancel);
    BitBtn2.SetCancel(true);
    BitBtn2.SetModalResult(ui::mrCancel);
    BitBtn2.SetBounds(430, 268, 130, 30);

    OnShow = [this] { FormShow(); };
}

void TFormSys::FormShow() {
    accepted = 0;
    BitBtn1.SetVisible(Mode != 0);
    BitBtn3.SetVisible(Mode == 0);
    CheckBox1.SetChecked(true);
    CheckBox1.SetEnabled(false);
    if (!Block) return;
    ComboBox1.SetItemIndex(Block[6]);
    CheckBox2.SetChecked(Block[8] != 0);
    CheckBox3.SetChecked(Block[9] != 0);
    for (int s = 0; s < 2; ++s) {
        Season& z = season_[s];
        z.month = Block[3 * s];
        z.day = z.loadedDay = Block[3 * s + 1];
        z.hour = Block[3 * s + 2];
        // A month this season cannot have shows no choice (never an item
        // that means something else).
        int index = -1;
        if (z.month == 0) index = 0;
        else if (z.month >= z.firstMonth && z.month < z.firstMonth + 4) index = z.month - z.firstMonth + 1;
        z.monthBox->SetItemIndex(index);
        MonthChange(s);
    }
    ComboBox1.SetFocus();
}

void TFormSys::HideRule(int s) {
    Season& z = season_[s];
    for (ui::Control* c : std::initializer_list<ui::Control*>{z.way, z.wayLabel, z.dayBox, z.dayLabel, z.ordinal,
                                                               z.ordinalLabel, z.weekday, z.weekdayLabel, z.hourBox,
                                                               z.hourLabel})
        c->Hide();
}

void TFormSys::MonthChange(int s) {
    Season& z = season_[s];
    const int index = z.monthBox->ItemIndex();
    if (index == 0) {
        z.month = 0;  // day byte and hour keep their values
        HideRule(s);
        return;
    }
    if (index < 0) {  // a month from the controller this window cannot show
        HideRule(s);
        return;
    }
    z.month = uint8_t(z.firstMonth + index - 1);
    ShowRule(s);
}

void TFormSys::ShowRule(int s) {
    Season& z = season_[s];
    const bool byWeekday = (z.day & kByWeekday) != 0;
    for (ui::Control* c : {static_cast<ui::Control*>(z.way), static_cast<ui::Control*>(z.wayLabel),
                           static_cast<ui::Control*>(z.hourBox), static_cast<ui::Control*>(z.hourLabel)})
        c->Show();
    z.way->SetItemIndex(byWeekday ? 1 : 0);
    z.dayBox->SetVisible(!byWeekday);
    z.dayLabel->SetVisible(!byWeekday);
    z.ordinal->SetVisible(byWeekday);
    z.ordinalLabel->SetVisible(byWeekday);
    z.weekday->SetVisible(byWeekday);
    z.weekdayLabel->SetVisible(byWeekday);
    if (byWeekday) {
        const int n = z.day & 0x07;
        int ordinal = -1;
        if (z.day & kFromEnd) {
            if (n == 1 || n == 2) ordinal = 5 - n;
        } else if (n >= 1 && n <= 3) {
            ordinal = n - 1;
        }
        z.ordinal->SetItemIndex(ordinal);
        const int wd = (z.day >> 3) & 0x07;
        z.weekday->SetItemIndex(wd >= 1 && wd <= 7 ? wd - 1 : -1);
    } else {
        std::vector<std::string> days;
        for (int d = 1; d <= MonthDays(z.month); ++d) days.push_back(std::to_string(d));
        z.dayBox->SetItems(days);
        z.dayBox->SetItemIndex(int(z.day & 0x7F) - 1);
    }
    z.hourBox->SetItemIndex(int(z.hour) - z.firstHour);
}

void TFormSys::WayChange(int s) {
    Season& z = season_[s];
    const int index = z.way->ItemIndex();
    if (index < 0) return;
    const uint8_t way = index == 1 ? kByWeekday : 0;
    // The other bits mean something else in the other way: back to the way
    // the window opened with, they are the loaded ones again; otherwise
    // nothing is chosen yet.
    if ((z.day & kByWeekday) == way) return;
    z.day = (z.loadedDay & kByWeekday) == way ? z.loadedDay : way;
    ShowRule(s);
}

void TFormSys::DayChange(int s) {
    Season& z = season_[s];
    const int index = z.dayBox->ItemIndex();
    if (index < 0) return;
    z.day = uint8_t((z.day & kByWeekday) | ((index + 1) & 0x7F));
}

void TFormSys::OrdinalChange(int s) {
    Season& z = season_[s];
    const int index = z.ordinal->ItemIndex();
    if (index < 0) return;
    uint8_t d = uint8_t(z.day & ~0x07);
    if (index <= 2) {
        d = uint8_t((d & ~kFromEnd) | (index + 1));
    } else {
        d = uint8_t(d | kFromEnd | (5 - index));
    }
    z.day = d;
}

void TFormSys::WeekdayChange(int s) {
    Season& z = season_[s];
    const int index = z.weekday->ItemIndex();
    if (index < 0) return;
    z.day = uint8_t((z.day & ~0x38) | ((index + 1) << 3));
}

void TFormSys::HourChange(int s) {
    Season& z = season_[s];
    const int index = z.hourBox->ItemIndex();
    if (index < 0) return;
    z.hour = uint8_t(index + z.firstHour);
}

ui::ComboBox* TFormSys::MissingChoice(int s) {
    Season& z = season_[s];
    if (z.monthBox->ItemIndex() < 0) return z.monthBox;
    if (z.month == 0) return nullptr;
    if (z.day & kByWeekday) {
        if (z.ordinal->ItemIndex() < 0) return z.ordinal;
        if (z.weekday->ItemIndex() < 0) return z.weekday;
    } else if (z.dayBox->ItemIndex() < 0) {
        return z.dayBox;
    }
    if (z.hourBox->ItemIndex() < 0) return z.hourBox;
    return nullptr;
}

void TFormSys::BitBtn1Click() {
    ui::ComboBox* missing = ComboBox1.ItemIndex() < 0 ? &ComboBox1 : nullptr;
    for (int s = 0; s < 2 && !missing; ++s) missing = MissingChoice(s);
    if (missing) {
        MessageKind = 2;
        ShowQues("Уведені не всі параметри", "");
        if (missing->Showing()) missing->SetFocus();
        return;
    }
    if (!Block) return;
    Block[6] = uint8_t(ComboBox1.ItemIndex());
    Block[7] = CheckBox1.Checked() ? 1 : 0;
    Block[8] = CheckBox2.Checked() ? 1 : 0;
    Block[9] = CheckBox3.Checked() ? 1 : 0;
    for (int s = 0; s < 2; ++s) {
        Block[3 * s] = season_[s].month;
        Block[3 * s + 1] = season_[s].day;
        Block[3 * s + 2] = season_[s].hour;
    }
    accepted = 1;
    SetModalResult(ui::mrOk);
}
