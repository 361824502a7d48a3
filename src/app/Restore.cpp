#include "app/Restore.h"

#include <cstring>

#include "app/ConfigHandlers.h"
#include "app/Main.h"
#include "common/Dtfun.h"
#include "common/Question.h"
#include "config/Access.h"
#include "config/Conffun.h"
#include "config/Config.h"
#include "config/Users.h"
#include "platform/Clock.h"

namespace {
ui::StatusBar* Bar() { return FormMain ? &FormMain->StatusBar1 : nullptr; }

void ReportUsersNotRestored() {
    MessageKind = 6;
    ShowQues("Таблиця доступу до запису в контролер не відновлена",
             "Запис в таблиці параметрів конфігурації неприпустимий");
}
}  // namespace

bool PrepareConfigRestore(ConfigRecord& rec, TableCheckBlock& block) {
    bool others = false;
    for (int t = 0; t < kTableCount; ++t)
        if (t != 2 && t != 4 && block.Marks[t]) others = true;
    if (others) {
        for (;;) {
            uint8_t accepted = 0, changed = 0;
            {
                TFormConfig f(FormMain);
                f.Record = &rec;
                f.Mode = 1;
                f.ShowModal();
                accepted = f.accepted;
                changed = f.changed;
            }
            if (!accepted) return false;
            if (changed && FormMain) SaveConfigFile(FormMain->psd, FormMain->ConfigFilePath, rec);
            bool ok;
            {
                ui::HourGlass wait;
                ok = ApplyConfigRecord(rec, block.Marks[4] != 0);
            }
            if (ok) return true;
            MessageKind = 3;
            ShowQues("Корегувати параметри конфігурації?", "");
            if (MessageAnswer == 1) continue;
            MessageKind = 6;
            ShowQues("Запис таблиць не виконана", "");
            return false;
        }
    }
    if (block.Marks[4] && !EditAccessTable(rec)) return false;
    if (block.Marks[2]) return CanWriteTime(block);
    return true;
}

bool EditAccessTable(ConfigRecord& rec) {
    bool accepted = false;
    {
        TFormAccess f(FormMain);
        f.Rows = reinterpret_cast<UserRow*>(rec.At(cnfofs::kUsers));
        f.Mode = 1;
        f.ShowModal();
        accepted = f.Accepted;
    }
    if (!accepted) {
        ReportUsersNotRestored();
        return false;
    }
    std::memcpy(TablePtr(kUsersTable), rec.At(cnfofs::kUsers), kUsersTableBytes);
    return true;
}

bool WriteAccessTable() {
    // A damaged users table takes any credentials; the operator's come back
    // when this ends.
    BlankCredentials blank;
    return WriteTableRange({4, 0, 10}, Bar(), true) && WriteTableRange({4, 10, 6}, Bar(), true);
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

bool RestoreDamagedTables(TableCheckBlock& block) {
    ui::HourGlass wait;
    if (FormMain) FormMain->SetExchangeText({});
    if (block.Marks[4]) {
        if (!WriteAccessTable()) {
            ReportUsersNotRestored();
            return false;
        }
        block.Marks[4] = 0;
    }
    if (block.Marks[2]) {
        if (!WriteControllerTime()) return false;
        block.Marks[2] = 0;
    }
    if (!FormMain) return WriteFlaggedTables(block, nullptr, nullptr);
    ConfigWaitBox box(*FormMain, 2);
    return WriteFlaggedTables(block, &FormMain->StatusBar1, &box.Progress());
}

bool RestoreTablesFromConfigFile(TableCheckBlock& block) {
    if (!FormMain) return false;
    ConfigRecord rec;
    if (!LoadConfigFile(FormMain->pod, FormMain->ConfigFilePath, rec)) return false;
    if (!PrepareConfigRestore(rec, block)) return false;
    return RestoreDamagedTables(block);
}
