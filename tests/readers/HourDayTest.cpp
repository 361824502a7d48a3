// Hourly and daily reads (commands 15 and 16) from the main window's menu
// against the emulator: the requests on the wire, the records and header
// handed to the viewer, Esc, failures, records outside the period, gaps.
#include "readers/ReadersFixture.h"

#include "data/ArhivHDM_Chr.h"
#include "data/ValueViewers.h"

using namespace readers;

namespace {

class HourDay : public ReaderTest {
protected:
    // The hourly period dialog answers with the given hours.
    void ChooseHours(DeviceDateTime b, DeviceDateTime e) {
        drv->onModal<TFormShortDate>([b, e](TFormShortDate& d) {
            ASSERT_EQ(d.Mode, 0);
            d.RadioGroup3.Select(1);
            d.tdHb.Pick(EncodeDate(2000 + b.year, b.month, b.day));
            d.ComboBox6.Select(b.hour);
            d.tdHe.Pick(EncodeDate(2000 + e.year, e.month, e.day));
            d.ComboBox7.Select(e.hour);
            d.BitBtn3.Click();
        });
    }
    void ChooseDays(DeviceDateTime b, DeviceDateTime e) {
        drv->onModal<TFormShortDate>([b, e](TFormShortDate& d) {
            ASSERT_EQ(d.Mode, 1);
            d.RadioGroup2.Select(1);
            d.tdDb.Pick(EncodeDate(2000 + b.year, b.month, b.day));
            d.tdDe.Pick(EncodeDate(2000 + e.year, e.month, e.day));
            d.BitBtn5.Click();
        });
    }
    // The data of a command-15 request from `from` to `to` (line, device).
    static Bytes Hourly(int line, int device, DeviceDateTime from, DeviceDateTime to) {
        return {3, uint8_t(line), uint8_t(device), from.year, from.month, from.day, from.hour,
                to.year, to.month, to.day, to.hour};
    }
    static Bytes Daily(int line, int device, DeviceDateTime from, DeviceDateTime to) {
        return {3, uint8_t(line), uint8_t(device), from.year, from.month, from.day, to.year, to.month, to.day};
    }
    std::vector<Bytes> Expected(emu::Archive a, int line, DeviceDateTime from, DeviceDateTime to) {
        return model.Records(a, line, Emu(from), Emu(to));
    }
    void ExpectQuestion(bool yes) {
        drv->expectQuestion(3, "Дані, що передаються контролером, не відповідають",
                            "запитуваному періоду. Продовжити читання?", yes);
    }
    void ExpectRetry(bool yes) { drv->expectQuestion(7, "Не виконано читання", "чергового блоку даних", yes); }
};

const std::string kChromHourWords = "Годинні дані хроматографа з архиву";

}  // namespace

TEST_F(HourDay, LineTwoHoursAreReadAndReopenFromTheirFile) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10), e = Rec(24, 3, 19, 14);
    ChooseHours(b, e);
    ASSERT_TRUE(Item("NChrom_RdHour_2").Click());

    // Bounds first: the oldest hourly record, the clock, the system parameters.
    const std::vector<Bytes> reads = Requests(1);
    ASSERT_GE(reads.size(), 3u);
    EXPECT_EQ(reads[0], (Bytes{0, 27, 1, 1}));
    EXPECT_EQ(reads[1], (Bytes{0, 2, 0, 8}));
    EXPECT_EQ(reads[2], (Bytes{0, 6, 0, 12}));
    EXPECT_EQ(Requests(15), (std::vector<Bytes>{Hourly(1, 0, b, e), Hourly(1, 0, Rec(24, 3, 19, 12), e),
                                                Hourly(1, 0, Rec(24, 3, 19, 14), e)}));
    ASSERT_EQ(views.size(), 1u);
    const ArchiveView v = views[0];
    EXPECT_EQ(v.kind, ArchiveKind::ChromHour);
    EXPECT_EQ(v.mode, viewmode::kHourly);
    EXPECT_EQ(v.entrySize, 94u);
    EXPECT_EQ(Records(v), Expected(emu::Archive::ChromHourly, 1, b, e));
    const ArchiveFileHeader& h = v.header;
    EXPECT_EQ(h.Tag(), "HOU");
    EXPECT_EQ(h.LineDevice, 0x10);
    EXPECT_EQ(h.LineNameText(), "Нитка 2");
    EXPECT_EQ(h.ControllerNameText(), ControllerName());  // as the image holds it
    EXPECT_EQ(h.ControllerAddress, 1);
    EXPECT_EQ(h.ProgramVersion, 11);
    EXPECT_EQ(h.ChromatographType, 3);
    EXPECT_EQ(h.FromDate, b);
    EXPECT_EQ(h.ToDate, e);
    EXPECT_EQ(h.Count(), 5u);
    EXPECT_TRUE(drv->messages().empty());
    EXPECT_EQ(ExchangeActive, 0);
    EXPECT_TRUE(form->Enabled());

    // Saved as the viewer saves it and opened again through "Перегляд з файлу".
    FileMessage m;
    const std::string path = DefaultArchiveFileName(ArchiveKind::ChromHour, h, PcClockRecord());
    ASSERT_TRUE(SaveArchiveFile(path, h, v.records.data(), v.entrySize, v.count, m)) << m.line1;
    drv->chooseFile(path);
    ASSERT_TRUE(Item("NChrom_ViewHour").Click());
    ASSERT_EQ(views.size(), 2u);
    const ArchiveView& f = views[1];
    EXPECT_TRUE(f.fromFile);
    EXPECT_EQ(f.mode, viewmode::kHourly);
    EXPECT_EQ(std::memcmp(&f.header, &h, sizeof h), 0);
    EXPECT_EQ(f.records, v.records);
    const ui::test::FileDialogRecord& dlg = drv->fileDialogs().back();
    EXPECT_EQ(dlg.title, "Вибір файлу даних");
    EXPECT_EQ(dlg.initialDir, (dir / "HOURDATA").string());
    EXPECT_EQ(dlg.filter, kArchiveOpenFilter);
}

TEST_F(HourDay, ThePeriodsLastHourEndsTheReadWithoutAnotherRequest) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10), e = Rec(24, 3, 19, 13);
    ChooseHours(b, e);
    ASSERT_TRUE(Item("NChrom_RdHour_1").Click());
    EXPECT_EQ(Requests(15), (std::vector<Bytes>{Hourly(0, 0, b, e), Hourly(0, 0, Rec(24, 3, 19, 12), e)}));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].count, 4u);
    EXPECT_EQ(views[0].header.LineDevice, 0x00);
    EXPECT_EQ(views[0].header.LineNameText(), "Нитка 1");
}

TEST_F(HourDay, AGapIsNeverAskedForAgainNorReadTwice) {
    model.AddGap(emu::Archive::ChromHourly, 0, Emu(Rec(24, 3, 19, 11)), Emu(Rec(24, 3, 19, 12)));
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10), e = Rec(24, 3, 19, 15);
    ChooseHours(b, e);
    ASSERT_TRUE(Item("NChrom_RdHour_1").Click());
    // 10 and 13 come first; the next request starts after 13.
    EXPECT_EQ(Requests(15), (std::vector<Bytes>{Hourly(0, 0, b, e), Hourly(0, 0, Rec(24, 3, 19, 14), e)}));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(Records(views[0]), Expected(emu::Archive::ChromHourly, 0, b, e));
    EXPECT_EQ(views[0].count, 4u);
}

TEST_F(HourDay, EscAfterTheSecondReplyShowsWhatCameAsAWholeRead) {
    Connect();
    ChooseHours(Rec(24, 3, 19, 10), Rec(24, 3, 19, 19));
    EscAfter(15, 2);
    ASSERT_TRUE(Item("NChrom_RdHour_1").Click());
    EXPECT_EQ(Requests(15).size(), 2u);
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].count, 4u);
    EXPECT_EQ(views[0].header.ToDate, Rec(24, 3, 19, 19));  // the period asked for
    EXPECT_TRUE(drv->messages().empty());
    EXPECT_EQ(ExchangeActive, 0);
}

TEST_F(HourDay, FailuresDeclinedBeforeAndAfterData) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10), e = Rec(24, 3, 19, 19);

    // Nothing came: "не прочитані", no viewer, the link's text in panel 2.
    model.QueueFault({emu::ArchiveFaultKind::ErrorReply, 22, 1});
    ChooseHours(b, e);
    ExpectRetry(false);
    drv->expectMessage(6, kChromHourWords, "не прочитані");
    ASSERT_TRUE(Item("NChrom_RdHour_1").Click());
    EXPECT_TRUE(views.empty());
    EXPECT_EQ(form->StatusBar1.PanelText(2), "Команда 15.  Неправильний діапазон часу");
    EXPECT_TRUE(form->TimerMessage.Enabled());

    // A failure after the first reply: "прочитані не повністю" and the viewer.
    emu.ClearLog();
    model.QueueFault({emu::ArchiveFaultKind::Silence, 0, 2});
    ExpectRetry(false);
    drv->expectMessage(6, kChromHourWords, "прочитані не повністю");
    ASSERT_TRUE(Item("NChrom_RdHour_1").Click());
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].count, 2u);
    EXPECT_EQ(form->StatusBar1.PanelText(2), "Команда 15.  Пристрій не відповідає");
}

TEST_F(HourDay, AReplyShorterThanItsCountIsAFailedRequest) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10), e = Rec(24, 3, 19, 13);
    // The first reply claims a record it does not hold: asked again on "Так".
    model.QueueFault({emu::ArchiveFaultKind::ShortReply, 1, 1});
    // The second new request (third sent) likewise, declined.
    model.QueueFault({emu::ArchiveFaultKind::ShortReply, 1, 3});
    ChooseHours(b, e);
    ExpectRetry(true);
    ExpectRetry(false);
    drv->expectMessage(6, kChromHourWords, "прочитані не повністю");
    ASSERT_TRUE(Item("NChrom_RdHour_1").Click());
    EXPECT_EQ(Requests(15), (std::vector<Bytes>{Hourly(0, 0, b, e), Hourly(0, 0, b, e),
                                                Hourly(0, 0, Rec(24, 3, 19, 12), e)}));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(Records(views[0]), Expected(emu::Archive::ChromHourly, 0, b, Rec(24, 3, 19, 11)));
    EXPECT_EQ(form->StatusBar1.PanelText(2), "Команда 15.  Неправильна довжина відповіді від контролера");
}

// A record whose day byte changed in the controller ends its reply: what it
// says is no reason to skip a day of hours. Every hour comes once, the
// broken record too, where it came, and no question is asked.
TEST_F(HourDay, ABrokenDateEndingItsReplySkipsNoHour) {
    const DeviceDateTime b = Rec(24, 3, 17, 0), e = Rec(24, 3, 19, 23), broken = Rec(24, 3, 17, 21);
    model.MoveRecordDate(emu::Archive::ChromHourly, 0, Emu(broken), 24);
    Connect();
    ChooseHours(b, e);
    ASSERT_TRUE(Item("NChrom_RdHour_1").Click());
    ASSERT_EQ(views.size(), 1u);
    const std::vector<Bytes> want = Expected(emu::Archive::ChromHourly, 0, b, e);
    ASSERT_EQ(want.size(), 72u);
    EXPECT_FALSE(RecordCrcOk(want[21].data(), want[21].size()));
    EXPECT_EQ(want[21][2], 18);  // dated a day later
    EXPECT_EQ(Records(views[0]), want);
    EXPECT_TRUE(drv->messages().empty());
}

TEST_F(HourDay, ARecordBeforeTheHourAskedForRaisesTheQuestionOnce) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10), e = Rec(24, 3, 19, 13);
    const std::vector<Bytes> asked = Expected(emu::Archive::ChromHourly, 0, b, e);
    const std::vector<Bytes> early = Expected(emu::Archive::ChromHourly, 0, Rec(24, 3, 19, 9), Rec(24, 3, 19, 9));

    // "Ні": the read ends with the record that raised the question, and the
    // viewer shows it.
    model.QueueFault({emu::ArchiveFaultKind::EarlyRecord, 1, 1});
    ChooseHours(b, e);
    ExpectQuestion(false);
    ASSERT_TRUE(Item("NChrom_RdHour_1").Click());
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(Records(views[0]), early);
    EXPECT_EQ(Requests(15).size(), 1u);
    EXPECT_EQ(drv->messages().size(), 1u);  // the question, no other message

    // "Так": one question only; the hour before comes first, every hour
    // asked for comes once, and the hour 10 sent again ahead of 11 is not
    // stored twice.
    emu.ClearLog();
    model.QueueFault({emu::ArchiveFaultKind::EarlyRecord, 1, 1});
    model.QueueFault({emu::ArchiveFaultKind::EarlyRecord, 1, 2});
    ExpectQuestion(true);
    const ArchiveReadResult r = ReadHourDayArchive(*form, ArchiveKind::ChromHour, 0, b, e);
    ASSERT_EQ(views.size(), 2u);
    std::vector<Bytes> want = early;
    want.insert(want.end(), asked.begin(), asked.end());
    EXPECT_EQ(Records(views[1]), want);
    EXPECT_EQ(r.dropped, 1u);
    EXPECT_EQ(Requests(15), (std::vector<Bytes>{Hourly(0, 0, b, e), Hourly(0, 0, Rec(24, 3, 19, 11), e),
                                                Hourly(0, 0, Rec(24, 3, 19, 12), e)}));
    EXPECT_EQ(drv->messages().size(), 2u);
}

TEST_F(HourDay, DailyReadAcrossTheLeapDayFetchesTheSerialNumber) {
    Connect();
    const DeviceDateTime b = Rec(24, 2, 27), e = Rec(24, 3, 2);
    ChooseDays(b, e);
    ASSERT_TRUE(Item("NChrom_RdDay_1").Click());
    EXPECT_EQ(Requests(1).front(), (Bytes{0, 27, 2, 1}));
    EXPECT_EQ(Requests(16), (std::vector<Bytes>{Daily(0, 0, b, e), Daily(0, 0, Rec(24, 2, 29), e),
                                                Daily(0, 0, Rec(24, 3, 2), e)}));
    EXPECT_EQ(Requests(1).back(), (Bytes{0, 41, 0, 1}));  // the image held no serial number
    ASSERT_EQ(views.size(), 1u);
    const ArchiveView& v = views[0];
    EXPECT_EQ(v.mode, viewmode::kDaily);
    EXPECT_EQ(Records(v), Expected(emu::Archive::ChromDaily, 0, b, e));
    ASSERT_EQ(v.count, 5u);
    EXPECT_EQ(v.Entry(2)[1], 2);
    EXPECT_EQ(v.Entry(2)[2], 29);
    EXPECT_EQ(v.header.Tag(), "DAY");
    EXPECT_EQ(v.header.FromDate, b);
    EXPECT_EQ(v.header.ToDate, e);
    EXPECT_EQ(v.header.Serial(), GetU32(emu.Table(41).data()));
}

TEST_F(HourDay, DailyRecordsGetADayOfTolerance) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 10), e = Rec(24, 3, 14);
    // The day before: no question, the record is kept, and every day asked
    // for still comes (the one pushed out of the first reply with the next).
    model.QueueFault({emu::ArchiveFaultKind::EarlyRecord, 1, 1});
    ChooseDays(b, e);
    ASSERT_TRUE(Item("NChrom_RdDay_1").Click());
    EXPECT_TRUE(drv->messages().empty());
    ASSERT_EQ(views.size(), 1u);
    std::vector<Bytes> want = Expected(emu::Archive::ChromDaily, 0, Rec(24, 3, 9), Rec(24, 3, 9));
    for (const Bytes& r : Expected(emu::Archive::ChromDaily, 0, b, e)) want.push_back(r);
    EXPECT_EQ(Records(views[0]), want);

    // Two days before: the question; "Ні" ends the read with that record.
    model.QueueFault({emu::ArchiveFaultKind::EarlyRecord, 2, 1});
    ExpectQuestion(false);
    ASSERT_TRUE(Item("NChrom_RdDay_1").Click());
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(Records(views[1]), Expected(emu::Archive::ChromDaily, 0, Rec(24, 3, 8), Rec(24, 3, 8)));
}

TEST_F(HourDay, MoistureMeterHoursAndDays) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 0), e = Rec(24, 3, 19, 9);
    ChooseHours(b, e);
    ASSERT_TRUE(Item("NWmt_ReadHour").Click());
    EXPECT_EQ(Requests(15), (std::vector<Bytes>{Hourly(0, 1, b, e), Hourly(0, 1, Rec(24, 3, 19, 8), e)}));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].mode, viewmode::kWmtHourly);
    EXPECT_EQ(views[0].entrySize, 28u);
    EXPECT_EQ(Records(views[0]), Expected(emu::Archive::WmtHourly, 0, b, e));
    EXPECT_EQ(views[0].header.LineDevice, 0x01);
    EXPECT_EQ(views[0].header.LineNameText(), "");

    // Nothing read from the daily archive: the message in its own words.
    model.QueueFault({emu::ArchiveFaultKind::ErrorReply, 22, 1});
    ChooseDays(Rec(24, 3, 1), Rec(24, 3, 10));
    ExpectRetry(false);
    drv->expectMessage(6, "Суточные данные влагомера из архива", "не прочитаны");
    ASSERT_TRUE(Item("NWmt_ReadDay").Click());
    EXPECT_EQ(views.size(), 1u);
}

TEST_F(HourDay, EscWhileARequestIsOnTheLineEndsTheReadWithoutAQuestion) {
    Connect();
    emu.QueueFault({emu::FaultKind::None, 0});
    emu.QueueFault({emu::FaultKind::ReplyDelay, 150});
    drv->onProcessMessages([this, done = false]() mutable {
        if (!done && HgcBox->Busy() && ExchangeActive && Requests(15).size() == 2) {
            done = true;
            drv->pressKey(ui::key::Escape);
        }
    });
    const ArchiveReadResult r =
        ReadHourDayArchive(*form, ArchiveKind::ChromHour, 0, Rec(24, 3, 19, 10), Rec(24, 3, 19, 19));
    EXPECT_TRUE(r.aborted);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.records, 2u);
    ASSERT_EQ(views.size(), 1u);
    EXPECT_TRUE(drv->messages().empty());
}

TEST_F(HourDay, TemporaryFileFailuresAreReported) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10), e = Rec(24, 3, 19, 13);
    // Cannot be made: nothing is sent.
    std::filesystem::create_directories(dir / "datafile.hdm");
    drv->expectMessage(6, "Помилка відкриття файлу", "");
    EXPECT_EQ(ReadHourDayArchive(*form, ArchiveKind::ChromHour, 0, b, e).records, 0u);
    EXPECT_TRUE(Requests(15).empty());
    std::filesystem::remove(dir / "datafile.hdm");

    // A full disk: the first record cannot be written.
    std::filesystem::create_symlink("/dev/full", dir / "datafile.hdm");
    drv->expectMessage(1, "Помилка роботи з файлом", "datafile.hdm");
    const ArchiveReadResult r = ReadHourDayArchive(*form, ArchiveKind::ChromHour, 0, b, e);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.records, 0u);
    EXPECT_EQ(Requests(15).size(), 1u);
    EXPECT_TRUE(views.empty());
    EXPECT_EQ(ExchangeActive, 0);
}

TEST_F(HourDay, ArchiveBoundsThatOfferNothingOpenNoDialog) {
    Connect();
    auto setRow = [this](int row, DeviceDateTime d) {
        Bytes t = emu.Table(27);
        StoreRec6(d, t.data() + 6 * row);
        emu.SetTable(27, t);
    };
    setRow(1, Rec(1, 1, 1, 0, 0, 0));
    drv->expectMessage(6, "В архіві немає даних", "");
    ASSERT_TRUE(Item("NChrom_RdHour_1").Click());
    setRow(1, Rec(24, 13, 1, 0, 0, 0));
    drv->expectMessage(6, "Прочитані параметри дати та часу (01.13.24 00:00:00)",
                       "не відповідають припустимим значенням");
    ASSERT_TRUE(Item("NChrom_RdHour_1").Click());
    setRow(1, Rec(24, 3, 20, 10, 0, 0));  // only the hour that is not over yet
    drv->expectMessage(6, "В архіві ще немає жодного запису", "");
    ASSERT_TRUE(Item("NWmt_ReadHour").Click());
    EXPECT_EQ(drv->modalCount<TFormShortDate>(), 0);
    EXPECT_TRUE(Requests(15).empty());

    // The daily row's flag (bit 7 of its seconds): the oldest record belongs
    // to the gas day before its date.
    setRow(2, Rec(24, 3, 1, 5, 0, 0x80));
    QueryPeriod range{};
    DeviceDateTime oldest;
    ASSERT_TRUE(CheckArchiveBounds(*form, range, oldest, 1));
    EXPECT_EQ(oldest, Rec(24, 3, 1, 5, 0, 0));
    EXPECT_EQ(range.from, (DateRec5{24, 2, 29, 5, 0}));
    EXPECT_EQ(range.to, (DateRec5{24, 3, 19, 10, 0}));
}

// The program's own wiring: the read ends in the hourly viewer, which shows
// the records it was handed.
TEST_F(HourDay, TheReadOpensTheHourlyViewer) {
    RegisterValueViewers();
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10), e = Rec(24, 3, 19, 13);
    ChooseHours(b, e);
    int shown = 0;
    drv->onModal<TFormArhivHDM_Chr>([&](TFormArhivHDM_Chr& v) {
        ++shown;
        EXPECT_EQ(v.Mode, 0);
        EXPECT_EQ(v.Records.size(), 4u);
        ASSERT_NE(v.Header, nullptr);
        EXPECT_EQ(v.Header->Tag(), "HOU");
    });
    ASSERT_TRUE(Item("NChrom_RdHour_1").Click());
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(views.empty());
}

// A controller date holds the years 2000 to 2255: reads at either limit
// neither see records outside the period nor ask for hours or days round
// the other end of that range.
TEST_F(HourDay, ReadsAtTheFirstAndLastDaysADateCanHold) {
    // Days from 1 January 2000 on: the day of tolerance before the first day
    // lies before anything a record can carry.
    SetClock(Rec(0, 1, 10, 12, 0, 0));
    model.SetSpan(emu::Archive::ChromDaily, Emu(Rec(0, 1, 1)));
    Connect();
    DeviceDateTime b = Rec(0, 1, 1), e = Rec(0, 1, 5);
    ReadHourDayArchive(*form, ArchiveKind::ChromDay, 0, b, e);
    EXPECT_EQ(Requests(16), (std::vector<Bytes>{Daily(0, 0, b, e), Daily(0, 0, Rec(0, 1, 3), e),
                                                Daily(0, 0, Rec(0, 1, 5), e)}));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(Records(views[0]), Expected(emu::Archive::ChromDaily, 0, b, e));

    // The emulated controller keeps two-digit years; the last days of 2255
    // come from a stand-in that answers with records from the first hour or
    // day asked for, two a reply, none after `newest`.
    DeviceDateTime newest;
    auto answer = [&newest](emu::Controller& ctl, const emu::Request& q) {
        const bool hourly = q.command == 15;
        DeviceDateTime at{q.data[3], q.data[4], q.data[5], uint8_t(hourly ? q.data[6] : 0), 0, 0};
        Bytes data{0};
        for (int i = 0; i < 2 && CompareRecByUnit(at, newest, hourly ? 0 : 1) <= 0; ++i) {
            HdmArchiveRecord r;
            r.year = at.year, r.month = at.month, r.day = at.day, r.startHour = at.hour;
            SealRecord(r);
            const auto* p = reinterpret_cast<const uint8_t*>(&r);
            data.insert(data.end(), p, p + sizeof r);
            ++data[0];
            if (at == newest) break;
            IncRec(at, hourly ? 0 : 1);
        }
        return ctl.Ok(q.command, data);
    };
    emu.WithController([&](emu::Controller& c) {
        c.SetHandler(15, 0, answer);
        c.SetHandler(16, 0, answer);
    });

    // Days up to 31 December 2255: the day of tolerance after it likewise.
    emu.ClearLog();
    newest = Rec(255, 12, 30);
    b = Rec(255, 12, 29);
    e = Rec(255, 12, 31);
    ReadHourDayArchive(*form, ArchiveKind::ChromDay, 0, b, e);
    EXPECT_EQ(Requests(16), (std::vector<Bytes>{Daily(0, 0, b, e), Daily(0, 0, Rec(255, 12, 31), e)}));
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(views[1].count, 2u);

    // A full reply that ends with the last day or hour of 2255 ends the read:
    // there is nothing later to ask for.
    emu.ClearLog();
    newest = Rec(255, 12, 31);
    ReadHourDayArchive(*form, ArchiveKind::ChromDay, 0, Rec(255, 12, 30), e);
    EXPECT_EQ(Requests(16), (std::vector<Bytes>{Daily(0, 0, Rec(255, 12, 30), e)}));
    newest = Rec(255, 12, 31, 23);
    b = Rec(255, 12, 31, 22);
    e = Rec(255, 12, 31, 23);
    ReadHourDayArchive(*form, ArchiveKind::ChromHour, 0, b, e);
    EXPECT_EQ(Requests(15), (std::vector<Bytes>{Hourly(0, 0, b, e)}));
    ASSERT_EQ(views.size(), 4u);
    EXPECT_EQ(views[3].count, 2u);
    EXPECT_TRUE(drv->messages().empty());
}
