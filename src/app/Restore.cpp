#include "app/Restore.h"

#include "app/Main.h"
#include "common/Question.h"
#include "config/Conffun.h"

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
    MessageKind = 6;
    ShowQues("Запис годинника контролера", "в цій версії програми недоступний");
    return false;
}

bool RestoreTablesFromConfigFile(TableCheckBlock&) {
    ReportConfigRestoreNotAvailable();
    return false;
}
