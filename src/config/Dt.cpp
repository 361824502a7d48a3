#include "config/Dt.h"

#include <cstdio>

#include "common/Question.h"
#include "common/Stringi.h"
#include "config/ConfigImage.h"

namespace {

constexpr int kWidth = 540, kHeight = 232;
constexpr int kHeadLeft = 6, kHeadWidth = 110, kColLeft = 122, kColWidth = 130, kColStep = 136;
constexpr int kRowTop = 24, kRowStep = 32, kRowHeight = 28;

std::string DateText(const DeviceDateTime& r) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%02d", r.day, r.month, r.year);
    return buf;
}

std::string TimeText(const DeviceDateTime& r) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", r.hour, r.minute, r.second);
    return buf;
}

std::string DayText(int weekday) {
    const char* t = texts::DayNames.At(weekday - 1);
    return t ? t : "?";
}

std::string SeasonText(uint8_t flag) { return texts::SeasonNames.At(flag == 0 ? 0 : 1); }

void Mark(ui::Panel& p, bool same) { p.SetFontColor(same ? ui::clWindowText : ui::clRed); }

}  // namespace

TFormDt::TFormDt(ui::Component* owner) : ui::Form(owner, "FormDt") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::MainFormCenter);
    SetCaption(" Поточні дата і час");
    SetBounds(0, 0, kWidth, kHeight);

    const char* heads[3] = {"У контролері", "В ЕОМ", "У хроматографі"};
    ui::Label* headLabels[3] = {&Label1, &Label2, &Label3};
    for (int c = 0; c < 3; ++c) {
        headLabels[c]->SetCaption(heads[c]);
        headLabels[c]->SetAlignment(ui::TextAlign::Center);
        headLabels[c]->SetFontBold(true);
        headLabels[c]->SetBounds(kColLeft + c * kColStep, 4, kColWidth, 16);
    }
    const char* rows[4] = {"Дата\n( дд.мм.гг )", "Час\n( гг:мм:сс )", "День\nтижня", "Тип\nчасу"};
    ui::Label* rowLabels[4] = {&Label4, &Label5, &Label6, &Label7};
    for (int r = 0; r < 4; ++r) {
        rowLabels[r]->SetCaption(rows[r]);
        rowLabels[r]->SetAlignment(ui::TextAlign::Center);
        rowLabels[r]->SetLayout(ui::TextLayout::Center);
        rowLabels[r]->SetBounds(kHeadLeft, kRowTop + r * kRowStep - 1, kHeadWidth, kRowHeight + 2);
    }
    ui::Panel* cells[3][4] = {{&pnDate1, &pnTime1, &pnDay1, &pnSeason1},
                              {&pnDate2, &pnTime2, &pnDay2, &pnSeason2},
                              {&pnDate3, &pnTime3, nullptr, nullptr}};
    ui::Font value;
    value.Height = 15;
    value.Bold = true;
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 4; ++r) {
            ui::Panel* p = cells[c][r];
            if (!p) continue;
            p->SetBevelOuter(ui::Bevel::Lowered);
            p->SetColor(ui::clWindow);
            p->SetFont(value);
            p->SetCaption({});
            p->SetBounds(kColLeft + c * kColStep, kRowTop + r * kRowStep, kColWidth, kRowHeight);
        }

    Label9.SetCaption("Синхронізація часу контролера з часом ЕОМ заборонена");
    Label9.SetAlignment(ui::TextAlign::Center);
    Label9.SetFontColor(ui::clRed);
    Label9.SetBounds(kHeadLeft, 154, kWidth - 2 * kHeadLeft - 6, 16);

    BitBtn3.SetCaption("Скорегувати у контролері");
    BitBtn3.SetGlyph(ui::Glyph::Ok);
    BitBtn3.SetBounds(110, 172, 200, 28);
    BitBtn2.SetCaption("Вихід");
    BitBtn2.SetGlyph(ui::Glyph::Close);
    BitBtn2.SetCancel(true);
    BitBtn2.SetModalResult(ui::mrCancel);
    BitBtn2.SetBounds(330, 172, 100, 28);

    BitBtn3.OnClick = [this] { BitBtn3Click(); };
    OnShow = [this] { FormShow(); };
}

int16_t TFormDt::CorrectionFor(const DeviceDateTime& ctl, const DeviceDateTime& pc) {
    const int c = ctl.minute * 60 + ctl.second;
    if (ctl.year == pc.year && ctl.month == pc.month && ctl.day == pc.day && ctl.hour == pc.hour)
        return int16_t(pc.minute * 60 + pc.second - c);
    if (CompareRec6(ctl, pc) < 0) return int16_t((59 - ctl.minute) * 60 + (60 - ctl.second));
    return int16_t(-c);
}

void TFormDt::FormShow() {
    accepted = 0;
    Correction = 0;
    DateTimeToRec(PcTime, PcRec);
    PcWeekday = WeekdayOfDate(RecDate(PcRec));
    const uint8_t* sys = RowPtr(6, 0);
    PcSeason = SeasonFlag(PcRec, TransitionRule::FromBytes(sys), TransitionRule::FromBytes(sys + 3));

    const uint8_t* clock = RowPtr(2, 0);
    const DeviceDateTime ctl = LoadRec6(clock);
    const DeviceDateTime chrom = LoadRec6(RowPtr(42, 0));

    pnDate1.SetCaption(DateText(ctl));
    pnTime1.SetCaption(TimeText(ctl));
    pnDay1.SetCaption(DayText(clock[6]));
    pnSeason1.SetCaption(SeasonText(clock[7]));
    pnDate2.SetCaption(DateText(PcRec));
    pnTime2.SetCaption(TimeText(PcRec));
    pnDay2.SetCaption(DayText(PcWeekday));
    pnSeason2.SetCaption(SeasonText(PcSeason));
    pnDate3.SetCaption(DateText(chrom));
    pnTime3.SetCaption(TimeText(chrom));

    auto sameDate = [&](const DeviceDateTime& r) {
        return r.day == PcRec.day && r.month == PcRec.month && r.year == PcRec.year;
    };
    auto sameTime = [&](const DeviceDateTime& r) {
        return r.hour == PcRec.hour && r.minute == PcRec.minute && r.second == PcRec.second;
    };
    Mark(pnDate1, sameDate(ctl));
    Mark(pnTime1, sameTime(ctl));
    Mark(pnDay1, clock[6] == PcWeekday);
    Mark(pnSeason1, (clock[7] == 0) == (PcSeason == 0));
    Mark(pnDate3, sameDate(chrom));
    Mark(pnTime3, sameTime(chrom));
    for (ui::Panel* p : {&pnDate2, &pnTime2, &pnDay2, &pnSeason2}) Mark(*p, true);

    const bool allowed = sys[11] != 0;
    BitBtn3.SetEnabled(allowed);
    Label9.SetVisible(!allowed);
    BitBtn2.SetFocus();
}

void TFormDt::BitBtn3Click() {
    MessageKind = 3;
    ShowQues("Ви впевнені, що годинник ЕОМ показує правильний час?", "");
    if (MessageAnswer != 1) {
        accepted = 0;
        SetModalResult(ui::mrCancel);
        return;
    }
    Correction = CorrectionFor(LoadRec6(RowPtr(2, 0)), PcRec);
    accepted = 1;
    SetModalResult(ui::mrOk);
}
