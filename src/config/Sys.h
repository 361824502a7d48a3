// The controller's system parameters (table 6, 12 bytes): summer- and
// winter-time transitions, the contract hour and which devices are
// connected. Bytes 10 and 11 (the clock synchronisation flags) are never
// touched here.
//
//   byte 0/3  month of the summer/winter transition (0: none; 2..5 / 9..12)
//   byte 1/4  day byte: bit 7 clear = day of the month (bits 0..6);
//             bit 7 set = bits 0..2 n, bits 3..5 weekday (1 Sunday .. 7
//             Saturday), bit 6 counts from the end of the month (n 1 the
//             last, 2 the second-to-last), else from its start (n 1..3)
//   byte 2/5  hour of the transition (summer 0..22, winter 1..23)
//   byte 6    contract hour 0..23
//   byte 7/8/9  chromatograph (always 1) / moisture meter / flow computers
//
// The window edits the block in place, only when accepted. Mode 1 shows
// "Записати в пристрій" (main menu), mode 0 "Прийняти" (configuration
// editor). A transition by weekday is accepted only with its ordinal and its
// weekday chosen, one by date only with its day, each with its hour.
#pragma once
#include <cstdint>

#include "ui/Ui.h"

class TFormSys : public ui::Form {
public:
    explicit TFormSys(ui::Component* owner = nullptr);

    static constexpr int kBlockBytes = 12;

    // Set by the caller (cleared at creation).
    uint8_t* Block = nullptr;
    uint8_t Mode = 0;
    // Read back: 1 once accepted.
    uint8_t accepted = 0;

    ui::Label Label1{this, "Label1"};  // "Контрактна година"
    ui::ComboBox ComboBox1{this, "ComboBox1"};
    ui::CheckBox CheckBox1{this, "CheckBox1"};  // chromatograph (always)
    ui::CheckBox CheckBox2{this, "CheckBox2"};  // moisture meter
    ui::CheckBox CheckBox3{this, "CheckBox3"};  // flow computers

    ui::GroupBox GroupBox1{this, "GroupBox1"};  // " Перехід на літній час "
    ui::Label Label2{this, "Label2"}, Label3{this, "Label3"}, Label4{this, "Label4"}, Label5{this, "Label5"},
        Label6{this, "Label6"}, Label7{this, "Label7"};
    ui::ComboBox ComboBox8{this, "ComboBox8"};    // month
    ui::ComboBox ComboBox7{this, "ComboBox7"};    // way
    ui::ComboBox ComboBox9{this, "ComboBox9"};    // day of the month
    ui::ComboBox ComboBox6{this, "ComboBox6"};    // ordinal
    ui::ComboBox ComboBox10{this, "ComboBox10"};  // weekday
    ui::ComboBox ComboBox11{this, "ComboBox11"};  // hour

    ui::GroupBox GroupBox2{this, "GroupBox2"};  // " Перехід на зимовий час "
    ui::Label Label8{this, "Label8"}, Label9{this, "Label9"}, Label10{this, "Label10"}, Label11{this, "Label11"},
        Label12{this, "Label12"}, Label13{this, "Label13"};
    ui::ComboBox ComboBox14{this, "ComboBox14"};  // month
    ui::ComboBox ComboBox13{this, "ComboBox13"};  // way
    ui::ComboBox ComboBox15{this, "ComboBox15"};  // day of the month
    ui::ComboBox ComboBox12{this, "ComboBox12"};  // ordinal
    ui::ComboBox ComboBox16{this, "ComboBox16"};  // weekday
    ui::ComboBox ComboBox17{this, "ComboBox17"};  // hour

    ui::Button BitBtn1{this, "BitBtn1"};  // "Записати в пристрій"
    ui::Button BitBtn3{this, "BitBtn3"};  // "Прийняти"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

    // The working fields of a season (0 summer, 1 winter): month, day byte,
    // hour as they would be stored now.
    uint8_t SeasonMonth(int s) const { return season_[s & 1].month; }
    uint8_t SeasonDay(int s) const { return season_[s & 1].day; }
    uint8_t SeasonHour(int s) const { return season_[s & 1].hour; }

    // Days the day combo offers for a month (February always 28).
    static int MonthDays(int month);

private:
    struct Season {
        uint8_t month = 0, day = 0, hour = 0;
        uint8_t loadedDay = 0;  // the day byte as the window opened
        ui::GroupBox* group = nullptr;
        ui::ComboBox *monthBox = nullptr, *way = nullptr, *dayBox = nullptr, *ordinal = nullptr,
                     *weekday = nullptr, *hourBox = nullptr;
        ui::Label *wayLabel = nullptr, *dayLabel = nullptr, *ordinalLabel = nullptr, *weekdayLabel = nullptr,
                  *hourLabel = nullptr;
        int firstMonth = 0;  // month of combo item 1
        int firstHour = 0;   // hour of combo item 0
    };
    Season season_[2];

    void FormShow();
    void BitBtn1Click();
    void MonthChange(int s);
    void ShowRule(int s);
    void HideRule(int s);
    void WayChange(int s);
    void DayChange(int s);
    void OrdinalChange(int s);
    void WeekdayChange(int s);
    void HourChange(int s);
    // The season's controls that must be chosen and are not; null when all are.
    ui::ComboBox* MissingChoice(int s);
};
