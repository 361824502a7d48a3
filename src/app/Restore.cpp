#include "app/Restore.h"

#include "app/Main.h"
#include "common/Question.h"
#include "common/Dtfun.h"
#include "config/Conffun.h"
#include "platform/Clock.h"

namespace {
ui::StatusBar* Bar() { return FormMain ? &FormMain->StatusBar1 : nullptr; }
}  // namespace

bool ConfigRestoreAvailable() { return false; }

void ReportConfigRestoreNotAvailable() {
    MessageKind = 6;
    ShowQues("Відновлення таблиць з файлу конфігурації", "в цій версії програми недоступне");
}

bool CanWriteTime(TableCheckBlock&) {
    ui::HourGlass wait;
    return ReadTableRange({6, 0, 12}, Bar(), true);
}

bool WriteControllerTime() {
    MessageKind = 3;
    ShowQues("В контролер буде записано час ЕОМ.", "Ви впевнені, що годинник ЕОМ показують правильний час?");
    if (MessageAnswer != 1) return false;
    ui::HourGlass wait;
    DeviceDateTime now;
    DateTimeToRec(platform::NowDateTime(), now);
    uint8_t* clock = RowPtr(2, 0);
    const uint8_t* sys = RowPtr(6, 0);
    StoreRec6(now, clock);
    clock[6] = uint8_t(WeekdayOfDate(RecDate(now)));
    clock[7] = SeasonFlag(now, TransitionRule::FromBytes(sys), TransitionRule::FromBytes(sys + 3));
    return WriteTableRange({2, 0, 8}, Bar(), true);
}

bool RestoreTablesFromConfigFile(TableCheckBlock&) {
    ReportConfigRestoreNotAvailable();
    return false;
}
