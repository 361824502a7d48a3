#include "reports/ExcelReports.h"

#include <filesystem>
#include <string>
#include <vector>

#include "common/Question.h"
#include "config/Conffun.h"
#include "config/ConfigImage.h"
#include "data/ArchRead.h"
#include "data/ArchView.h"
#include "data/ViewerTexts.h"
#include "link/Hgcbox.h"
#include "platform/Paths.h"
#include "reports/ExcRep_Date.h"
#include "reports/ExcelCertificate.h"
#include "reports/Xls_Report.h"
#include "ui/Ui.h"

namespace {

int LineOf(const ui::MenuItem& item) { return item.Tag() == 1 ? 1 : 0; }

bool MoistureMeterConfigured() { return ConfigImage[cfgofs::kSystem + 8] != 0; }

bool TemplateThere(const char* name) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(platform::InWorkDir(name), ec)) return true;
    ShowQues(1, std::string("У робочому каталозі відсутній файл ") + name,
             "Зверніться до розробника програмного забезпечення");
    return false;
}

DeviceDateTime ToRec(const DateRec5& d) { return {d.year, d.month, d.day, d.hour, 0, 0}; }

// The records of one read, as records of type R, with their CRC states and
// dates.
template <class R>
struct Read {
    std::vector<R> records;
    std::vector<uint8_t> crcOk;
    std::vector<DeviceDateTime> dates;
    std::vector<DeviceDateTime> slotDates;
};

template <class R>
void Take(const ArchiveView& v, Read<R>& out) {
    out.records.clear();
    if (v.entrySize != sizeof(R)) return;
    for (uint32_t i = 0; i < v.count; ++i) {
        R r;
        std::memcpy(&r, v.Entry(i), sizeof r);
        out.records.push_back(r);
        out.crcOk.push_back(RecordCrcOk(r) ? 1 : 0);
        out.dates.push_back(RecordSlotDate(r));
    }
}

void OutOfPeriod() { ShowQues(6, "Дані, що передаються контролером, не відповідають", "запитуваному періоду"); }

// One read for a certificate. False when it ended without records, met a
// record outside the period, was broken off or failed (each told: the read
// tells its own failures).
template <class R>
bool ReadFor(MainHost& form, ArchiveKind kind, int line, const DeviceDateTime& begin, const DeviceDateTime& end,
             const char* words1, const char* words2, Read<R>& out) {
    ArchiveView view;
    const ArchiveReadResult r = ReadHourDayArchive(form, kind, line, begin, end, &view);
    if (r.outOfPeriod) {
        OutOfPeriod();
        return false;
    }
    if (!r.complete) return false;
    if (r.aborted || r.records == 0) {
        ShowQues(6, words1, words2);
        return false;
    }
    Take(view, out);
    if (out.records.empty()) {
        ShowQues(6, words1, words2);
        return false;
    }
    return true;
}

// The one daily record of `day`. False (told) when the read fails, the
// controller sends another period or the record's CRC fails.
template <class R>
bool ReadDayRecord(MainHost& form, ArchiveKind kind, int line, const DeviceDateTime& day, const char* notRead,
                   const char* unreliable, Read<R>& out) {
    if (!ReadFor(form, kind, line, day, day, "Добові дані з архіву", notRead, out)) return false;
    if (!AssignSlots(out.dates, out.crcOk, day, day, 1, out.slotDates) || out.records.size() != 1) {
        OutOfPeriod();
        return false;
    }
    if (!out.crcOk[0]) {
        ShowQues(6, unreliable, "(не співпадає КС запису");
        return false;
    }
    return true;
}

// What differs between the hourly reads of a gas day and the daily reads of
// a month.
struct PairedRead {
    ArchiveKind chromKind, moistKind;
    int unit;                  // slots: 0 hours, 1 days
    const char* chromNotRead;  // first lines of "... не прочитані"
    const char* moistNotRead;
    const char* countsDiffer;  // first line when the two counts differ
};

// The chromatograph's records of `line` over [start, end], one per slot,
// and with `moist` the moisture meter's, paired with them slot by slot.
// False (told) when a read fails, the controller sends another period or
// the two archives do not pair.
bool ReadPaired(MainHost& form, const PairedRead& p, int line, const DeviceDateTime& start, const DeviceDateTime& end,
                Read<HdmArchiveRecord>& chrom, Read<WmtArchiveRecord>* moist) {
    if (!ReadFor(form, p.chromKind, line, start, end, p.chromNotRead, "не прочитані", chrom)) return false;
    if (!AssignSlots(chrom.dates, chrom.crcOk, start, end, p.unit, chrom.slotDates)) {
        OutOfPeriod();
        return false;
    }
    if (!moist) return true;
    if (!ReadFor(form, p.moistKind, 0, start, end, p.moistNotRead, "не прочитані", *moist)) return false;
    if (!AssignSlots(moist->dates, moist->crcOk, start, end, p.unit, moist->slotDates)) {
        OutOfPeriod();
        return false;
    }
    if (!PairSlots(chrom.slotDates, chrom.crcOk, moist->slotDates, moist->crcOk, p.unit)) {
        ShowQues(6, "Неспівпадіння дат в записях", "архівів даних хроматографа і вологоміра");
        return false;
    }
    if (moist->records.size() != chrom.records.size()) {
        ShowQues(6, p.countsDiffer,
                 ViewerFormat("хроматографа (%d) і вологоміра (%d)", int(chrom.records.size()),
                              int(moist->records.size())));
        return false;
    }
    return true;
}

// The chromatograph's serial number, read once when the image has none.
void EnsureSerial(MainHost& form) {
    if (GetU32(ConfigImage.data() + cfgofs::kChromSerial) != 0) return;
    ui::HourGlass busy;
    ReadTableRange({41, 0, 1}, &form.HostStatusBar(), true);
}

// Bounds of the daily archive and the dialog; false when either gave up.
bool AskDate(MainHost& form, int mode, QueryPeriod& range, ReportDate& date) {
    DeviceDateTime oldest;
    bool ok = false;
    {
        ui::HourGlass busy;
        ok = CheckArchiveBounds(form, range, oldest, 1);
    }
    if (!ok) return false;
    TFormExcRep_Date dialog(nullptr);
    dialog.Bounds = &range;
    dialog.Mode = uint8_t(mode);
    dialog.ShowModal();
    if (!dialog.accepted) return false;
    date = dialog.Result;
    return true;
}

void ShowReport(int kind, int line, const ReportDate& date, const Read<HdmArchiveRecord>& chrom,
                const Read<WmtArchiveRecord>* moist, const HdmArchiveRecord* chromSummary,
                const WmtArchiveRecord* moistSummary) {
    TFormXls_Report f(nullptr);
    f.Kind = uint8_t(kind);
    f.Line = uint8_t(line);
    f.Date = &date;
    f.Count = uint32_t(chrom.records.size());
    f.ChromRecords = chrom.records.data();
    f.Slots = chrom.slotDates.data();
    f.MoistRecords = moist ? moist->records.data() : nullptr;
    f.ChromSummary = chromSummary;
    f.MoistSummary = moistSummary;
    f.ShowModal();
}

}  // namespace

void NExcDayClick(MainHost& form, ui::MenuItem& item) {
    if (!HgcBox || !TemplateThere(kDayTemplateName)) return;
    const int line = LineOf(item);
    QueryPeriod range{};
    ReportDate date;
    if (!AskDate(form, 0, range, date)) return;
    const bool moisture = MoistureMeterConfigured();
    const DeviceDateTime day{date.year, date.month, date.day, 0, 0, 0};

    // The daily records of the day.
    Read<HdmArchiveRecord> chromDay;
    if (!ReadDayRecord(form, ArchiveKind::ChromDay, line, day, " хроматографа не прочитані",
                       "Добові дані хроматографа недостовірні", chromDay))
        return;
    Read<WmtArchiveRecord> moistDay;
    if (moisture && !ReadDayRecord(form, ArchiveKind::WmtDay, 0, day, "вологоміра не прочитані",
                                   "Добові дані вологоміра недостовірні", moistDay))
        return;

    // The hours of the gas day from the contract hour on.
    DeviceDateTime start{date.year, date.month, date.day, date.hour, 0, 0};
    const DeviceDateTime first = ToRec(range.from);
    if (CompareRecByUnit(start, first, 0) < 0) start = {first.year, first.month, first.day, first.hour, 0, 0};
    DeviceDateTime end{date.year, date.month, date.day, date.hour, 0, 0};
    IncRec(end, 1);
    DecRec(end, 0);

    static constexpr PairedRead kHours{ArchiveKind::ChromHour, ArchiveKind::WmtHour, 0,
                                       "Годинні дані хроматографа з архіву", "Годинні дані вологоміра з архіву",
                                       "Невідповідність кількості прочитаних даних"};
    Read<HdmArchiveRecord> chrom;
    Read<WmtArchiveRecord> moist;
    if (!ReadPaired(form, kHours, line, start, end, chrom, moisture ? &moist : nullptr)) return;
    EnsureSerial(form);
    ShowReport(0, line, date, chrom, moisture ? &moist : nullptr, &chromDay.records[0],
               moisture ? &moistDay.records[0] : nullptr);
}

void NExcMonClick(MainHost& form, ui::MenuItem& item) {
    if (!HgcBox || !TemplateThere(kMonthTemplateName)) return;
    const int line = LineOf(item);
    QueryPeriod range{};
    ReportDate date;
    if (!AskDate(form, 1, range, date)) return;
    const bool moisture = MoistureMeterConfigured();

    // Day 1 to the month's last day, within the archive's bounds.
    DeviceDateTime start{date.year, date.month, 1, 0, 0, 0};
    DeviceDateTime end{date.year, date.month, uint8_t(DaysInMonth(2000u + date.year, date.month)), 0, 0, 0};
    const DeviceDateTime first = ToRec(range.from), last = ToRec(range.to);
    if (CompareRecByUnit(start, first, 1) < 0) start = {first.year, first.month, first.day, 0, 0, 0};
    if (CompareRecByUnit(end, last, 1) > 0) end = {last.year, last.month, last.day, 0, 0, 0};

    static constexpr PairedRead kDays{ArchiveKind::ChromDay, ArchiveKind::WmtDay, 1,
                                      "Добові дані хроматографа з архіву", "Добові дані вологоміра з архіву",
                                      "Неспівпадіння кількості прочитаних даних"};
    Read<HdmArchiveRecord> chrom;
    Read<WmtArchiveRecord> moist;
    if (!ReadPaired(form, kDays, line, start, end, chrom, moisture ? &moist : nullptr)) return;
    const HdmArchiveRecord summary = MonthSummary(chrom.records);
    EnsureSerial(form);
    ShowReport(1, line, date, chrom, moisture ? &moist : nullptr, &summary, nullptr);
}

const std::vector<MenuBinding>& ExcelReportMenuBindings() {
    static const std::vector<MenuBinding> bindings = {
        {"NExcDay_1", NExcDayClick},
        {"NExcDay_2", NExcDayClick},
        {"NExcMon_1", NExcMonClick},
        {"NExcMon_2", NExcMonClick},
    };
    return bindings;
}
