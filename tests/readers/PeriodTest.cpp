// Reads by period (command 8) from the main window's menu against the
// emulator: pages, the more-data flag, the header, Esc, failures, empty
// pages, the archive-error bit, each archive kind's words.
#include <algorithm>
#include <filesystem>

#include "common/Question.h"
#include "common/Wait.h"

#include "readers/ReadersFixture.h"

using namespace readers;

namespace {

class Period : public ReaderTest {
protected:
    void ChoosePeriod(DeviceDateTime b, DeviceDateTime e) {
        drv->onModal<TFormPeriod>([b, e](TFormPeriod& d) {
            d.RadioGroup1.Select(2);
            d.tdDb.Pick(EncodeDate(2000 + b.year, b.month, b.day));
            d.ComboBox3.Select(b.hour);
            d.ComboBox1.Select(b.minute);
            d.ComboBox2.Select(b.second);
            d.tdDe.Pick(EncodeDate(2000 + e.year, e.month, e.day));
            d.ComboBox4.Select(e.hour);
            d.ComboBox5.Select(e.minute);
            d.ComboBox6.Select(e.second);
            d.BitBtn1.Click();
        });
    }
    static Bytes Request(uint8_t lineDevice, uint8_t kind, int page, DeviceDateTime b, DeviceDateTime e) {
        return {lineDevice, kind, uint8_t(page), b.year, b.month, b.day, b.hour, b.minute, b.second,
                e.year,     e.month, e.day,      e.hour, e.minute, e.second};
    }
    std::vector<int> Pages() const {
        std::vector<int> out;
        for (const Bytes& r : Requests(8)) out.push_back(r.at(2));
        return out;
    }
    std::vector<Bytes> Expected(emu::Archive a, int line, DeviceDateTime from, DeviceDateTime to) {
        return model.Records(a, line, Emu(from), Emu(to));
    }
    void ExpectRetry(bool yes) { drv->expectQuestion(7, "Не виконано читання", "чергового блоку даних", yes); }
};

}  // namespace

TEST_F(Period, LineTwoMeasuredValuesPageByPageAndBackFromTheirFile) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10, 0, 0), e = Rec(24, 3, 19, 10, 20, 0);
    const std::vector<Bytes> want = Expected(emu::Archive::ChromMeasured, 1, b, e);
    ASSERT_GE(want.size(), 5u);
    ChoosePeriod(b, e);
    ASSERT_TRUE(Item("NChrom_RdMeas_2").Click());

    EXPECT_EQ(Requests(1), (std::vector<Bytes>{{0, 2, 0, 8}}));  // the controller clock first
    const std::vector<Bytes> sent = Requests(8);
    const std::size_t pages = (want.size() + 1) / 2;
    ASSERT_EQ(sent.size(), pages);
    for (std::size_t i = 0; i < pages; ++i) EXPECT_EQ(sent[i], Request(0x10, 6, int(i), b, e)) << i;
    ASSERT_EQ(views.size(), 1u);
    const ArchiveView v = views[0];
    EXPECT_EQ(v.kind, ArchiveKind::ChromMeas);
    EXPECT_EQ(v.mode, viewmode::kNone);
    EXPECT_EQ(Records(v), want);
    EXPECT_EQ(v.header.Tag(), "MSA");
    EXPECT_EQ(v.header.LineDevice, 0x10);
    EXPECT_EQ(v.header.LineNameText(), "Нитка 2");
    EXPECT_EQ(v.header.FromDate, b);
    EXPECT_EQ(v.header.ToDate, e);
    EXPECT_EQ(v.header.Count(), want.size());
    EXPECT_TRUE(drv->messages().empty());

    FileMessage m;
    const std::string path = DefaultArchiveFileName(ArchiveKind::ChromMeas, v.header, PcClockRecord());
    ASSERT_TRUE(SaveArchiveFile(path, v.header, v.records.data(), v.entrySize, v.count, m)) << m.line1;
    drv->chooseFile(path);
    ASSERT_TRUE(Item("NChrom_ViewMeas").Click());
    ASSERT_EQ(views.size(), 2u);
    EXPECT_TRUE(views[1].fromFile);
    EXPECT_EQ(std::memcmp(&views[1].header, &v.header, sizeof v.header), 0);
    EXPECT_EQ(views[1].records, v.records);
    EXPECT_EQ(drv->fileDialogs().back().initialDir, (dir / "MOMDATA").string());
}

TEST_F(Period, PagesRunPast255AndNeverReturnToZero) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 18, 0, 0, 0), e = Rec(24, 3, 19, 2, 0, 0);
    const std::vector<Bytes> want = Expected(emu::Archive::ChromMeasured, 0, b, e);
    ChoosePeriod(b, e);
    ASSERT_TRUE(Item("NChrom_RdMeas_1").Click());
    const std::vector<int> pages = Pages();
    ASSERT_GT(pages.size(), 257u);
    EXPECT_EQ(pages[0], 0);
    for (std::size_t i = 1; i < pages.size(); ++i) EXPECT_EQ(pages[i], int((i - 1) % 255 + 1)) << i;
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].count, want.size());
    EXPECT_EQ(Records(views[0]), want);
}

TEST_F(Period, EscAfterTheSecondPage) {
    Connect();
    ChoosePeriod(Rec(24, 3, 19, 10, 0, 0), Rec(24, 3, 19, 12, 0, 0));
    EscAfter(8, 2);
    ASSERT_TRUE(Item("NChrom_RdMeas_1").Click());
    EXPECT_EQ(Pages(), (std::vector<int>{0, 1}));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].count, 4u);
    EXPECT_TRUE(drv->messages().empty());
    EXPECT_EQ(AbortRequested, 0);
}

TEST_F(Period, FailuresAndShortRepliesBeforeAndAfterData) {
    Connect();
    // Calibration, the first request refused: nothing read, the temporary file empty.
    model.QueueFault({emu::ArchiveFaultKind::ErrorReply, 22, 1});
    ChoosePeriod(Rec(24, 1, 1, 0, 0, 0), Rec(24, 3, 19, 0, 0, 0));
    ExpectRetry(false);
    drv->expectMessage(6, "Дані калібровки", "не прочитані");
    ASSERT_TRUE(Item("NChrom_RdClb").Click());
    EXPECT_TRUE(views.empty());
    EXPECT_EQ(std::filesystem::file_size(dir / "datafile.clb"), 0u);
    EXPECT_EQ(form->StatusBar1.PanelText(2), "");  // emptied when the read ends

    // Verification: a page claiming more records than it holds is asked for
    // again with the same page number; a later failure declined.
    emu.ClearLog();
    model.QueueFault({emu::ArchiveFaultKind::ShortReply, 1, 2});
    model.QueueFault({emu::ArchiveFaultKind::Silence, 0, 4});
    // Each question and message with what panel 2 shows meanwhile.
    std::vector<std::string> seen;
    drv->onModal<TFormQues>([&](TFormQues& q) {
        seen.push_back(std::to_string(q.Kind) + " " + q.Label1.Caption() + " / " + q.Label2.Caption() + " | " +
                       form->StatusBar1.PanelText(2));
        q.Answer(seen.size() == 1);
    });
    ASSERT_TRUE(Item("NChrom_RdVerif").Click());
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "7 Не виконано читання / чергового блоку даних | "
                        "Команда 8.  Неправильна довжина відповіді від контролера",
                        "7 Не виконано читання / чергового блоку даних | Команда 8.  Пристрій не відповідає",
                        "6 Вимірювальні дані / прочитані не повністю | Команда 8.  Пристрій не відповідає"}));
    EXPECT_EQ(Pages(), (std::vector<int>{0, 1, 1, 2}));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].kind, ArchiveKind::Verif);
    EXPECT_EQ(views[0].count, 4u);
    EXPECT_EQ(views[0].header.Tag(), "VRF");
}

TEST_F(Period, EmptyPagesAndTheArchiveErrorBit) {
    Connect();
    const DeviceDateTime b = Rec(24, 1, 1, 0, 0, 0), e = Rec(24, 3, 19, 0, 0, 0);
    model.QueueFault({emu::ArchiveFaultKind::Empty, 0, 1});
    ChoosePeriod(b, e);
    drv->expectMessage(6, "Немає даних за вказаний період", "");
    ASSERT_TRUE(Item("NChrom_RdClb").Click());
    EXPECT_TRUE(views.empty());

    // An empty later page ends the read quietly; the error bit is reported
    // and the records are still shown.
    model.QueueFault({emu::ArchiveFaultKind::ArchiveError, 0, 1});
    model.QueueFault({emu::ArchiveFaultKind::Empty, 0, 2});
    drv->expectMessage(6, "Виявлено помилку", "в архіві даних калібровки");
    ASSERT_TRUE(Item("NChrom_RdClb").Click());
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].count, 1u);  // 170-byte records: one a page
    EXPECT_EQ(views[0].header.Tag(), "CLB");
    EXPECT_EQ(views[0].header.LineDevice, 0);
}

TEST_F(Period, MessagesAndInterventionsByPeriod) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 10, 0, 0, 0), e = Rec(24, 3, 19, 0, 0, 0);
    const std::vector<Bytes> want = Expected(emu::Archive::Diagnostic, 0, b, e);
    ASSERT_FALSE(want.empty());
    ChoosePeriod(b, e);
    ASSERT_TRUE(Item("NAlaPer").Click());
    EXPECT_EQ(Requests(8).front(), Request(0, 0, 0, b, e));
    EXPECT_EQ(Requests(1).back(), (Bytes{0, 41, 0, 1}));  // serial number for the header
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].kind, ArchiveKind::Diagnostic);
    EXPECT_EQ(views[0].mode, viewmode::kByPeriod);
    EXPECT_EQ(views[0].entrySize, 22u);
    EXPECT_EQ(Records(views[0]), want);
    EXPECT_EQ(views[0].header.Tag(), "ALA");

    model.QueueFault({emu::ArchiveFaultKind::ErrorReply, 22, 1});
    ExpectRetry(false);
    drv->expectMessage(6, "Сообщения о вмешательствах оператора", "не прочитаны");
    ASSERT_TRUE(Item("NAudPer").Click());
    EXPECT_EQ(Requests(8).back()[1], 1);
    EXPECT_EQ(views.size(), 1u);
}

TEST_F(Period, MoistureMeterMeasuredValuesCarryLineOnesName) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10, 0, 0), e = Rec(24, 3, 19, 11, 0, 0);
    ChoosePeriod(b, e);
    ASSERT_TRUE(Item("NWmt_RdMeas").Click());
    EXPECT_EQ(Requests(8).front(), Request(0x01, 6, 0, b, e));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].kind, ArchiveKind::WmtMeas);
    EXPECT_EQ(views[0].entrySize, 29u);
    EXPECT_EQ(Records(views[0]), Expected(emu::Archive::WmtMeasured, 0, b, e));
    EXPECT_EQ(views[0].header.LineDevice, 0x01);
    EXPECT_EQ(views[0].header.LineNameText(), "Нитка 1");
}

TEST_F(Period, ProgressStaysOnTheBarForRecordsOutsideThePeriod) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10, 0, 0), e = Rec(24, 3, 19, 10, 30, 0);
    // The first page opens with a record from the day before, the last one
    // ends with a record hours after the period.
    model.QueueFault({emu::ArchiveFaultKind::EarlyRecord, 500, 1});
    model.QueueFault({emu::ArchiveFaultKind::LateRecord, 300, 6});
    int low = 0, high = 0, max = 0;
    drv->onProcessMessages([&] {
        for (ui::Form* f : ui::Form::All())
            if (auto* w = dynamic_cast<TFormWait*>(f)) {
                low = std::min(low, w->ProgressBar1.Position());
                high = std::max(high, w->ProgressBar1.Position());
                max = w->ProgressBar1.Max();
            }
    });
    ChoosePeriod(b, e);
    ASSERT_TRUE(Item("NChrom_RdMeas_1").Click());
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(max, 1);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, max);
}

// What the controller sends for a period is kept, also a record it dates
// before the beginning asked for (a controller comparing coarser than to the
// second sends the record of the same minute): nothing it sent is lost, and
// the records of the period follow it whole. Such a record coming after
// records of the period is not stored: the file keeps its time order.
TEST_F(Period, ARecordTheControllerDatesBeforeTheBeginningIsKept) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10, 0, 30), e = Rec(24, 3, 19, 10, 40, 0);
    model.QueueFault({emu::ArchiveFaultKind::EarlyRecord, 1, 1});
    ChoosePeriod(b, e);
    ASSERT_TRUE(Item("NChrom_RdMeas_1").Click());
    ASSERT_EQ(views.size(), 1u);
    const std::vector<Bytes> expected = Expected(emu::Archive::ChromMeasured, 0, b, e);
    const std::vector<Bytes> got = Records(views[0]);
    ASSERT_EQ(got.size(), expected.size() + 1);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), got.begin() + 1));
    EXPECT_LT(CompareRec6(LoadRec6(got[0].data()), b), 0);

    model.QueueFault({emu::ArchiveFaultKind::EarlyRecord, 2, 3});  // the third page opens with it
    const ArchiveReadResult r = ReadPeriodArchive(*form, ArchiveKind::ChromMeas, 0, b, e);
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(Records(views[1]), expected);
    EXPECT_EQ(r.dropped, 1u);
}
