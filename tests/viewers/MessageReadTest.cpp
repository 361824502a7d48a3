// From the controller to the message lists: diagnostic messages read by
// index and interventions read by period from the emulator's archives (every
// event code and every table field, a few unknown ones among them) end in
// TFormAla and TFormAud; a list saved there opens again from its menu item.
#include <set>

#include "data/Iniala.h"
#include "data/Iniaud.h"
#include "data/MessageViewers.h"
#include "readers/ReadersFixture.h"

using namespace readers;

namespace {

class MessageRead : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        RegisterMessageViewers();  // the real windows instead of the fixture's recorder
        std::filesystem::create_directories(dir / "ALAFILES");
        std::filesystem::create_directories(dir / "AUDFILES");
    }
};

TEST_F(MessageRead, DiagnosticMessagesByIndexShownDecoded) {
    const auto [oldest, newest] = model.IndexBounds(emu::Archive::Diagnostic);
    ASSERT_GT(newest, oldest + 300);
    const uint32_t first = newest - 240;
    model.CorruptIndex(emu::Archive::Diagnostic, first + 7);
    Connect();
    drv->onModal<TFormIndex>([first](TFormIndex& d) {
        d.RadioGroup1.Select(4);
        d.Edit1.SetText(std::to_string(first));
        d.Edit2.SetText("241");
        d.BitBtn1.Click();
    });
    const std::vector<Bytes> want = model.IndexRecords(emu::Archive::Diagnostic, first, 241);
    ASSERT_EQ(want.size(), 241u);
    std::set<std::string> events;
    int unknown = 0;
    drv->onModal<TFormAla>([&](TFormAla& f) {
        EXPECT_EQ(f.Mode, 0);
        EXPECT_EQ(f.Caption(), " Діагностичні повідомлення з індексами від " + std::to_string(first) + " до " +
                                   std::to_string(first + 240));
        ASSERT_EQ(f.StringGrid1.RowCount(), 241);
        const uint8_t meterType = f.Hdr().MoistureMeterType;
        for (int r = 0; r < 241; ++r) {
            DiagnosticRecord rec;
            std::memcpy(&rec, want[std::size_t(r)].data(), sizeof rec);
            const DiagnosticTexts t = TextsOf(MakeDiagnosticRow(DecodeDiagnosticRecord(rec, meterType)));
            for (int c = 0; c < 7; ++c) ASSERT_EQ(f.StringGrid1.Cell(c + 1, r), t[std::size_t(c)]) << r << " " << c;
            if (RecordCrcOk(rec)) events.insert(std::to_string(rec.event));
            unknown += f.StringGrid1.Cell(3, r).starts_with("Код діагностики = ");
        }
        EXPECT_EQ(f.StringGrid1.Cell(1, 7), "   ***");
        EXPECT_EQ(f.Panel9.Caption(), TFormAla::kUnreliableText);
        EXPECT_EQ(f.StringGrid1.Row(), 240);
        drv->chooseFile((dir / "ALAFILES" / "read").string());
        drv->expectMessage(6, "Дані збережені в файлі read.ala.", "");
        f.BitBtn2.Click();
        f.BitBtn1.Click();
    });
    ASSERT_TRUE(Item("NAlaInd").Click());
    EXPECT_EQ(drv->modalCount<TFormAla>(), 1);
    for (int code = 0; code <= 81; ++code) EXPECT_TRUE(events.count(std::to_string(code))) << code;
    EXPECT_GE(unknown, 3);

    // "Перегляд з файлу": the saved list reads as it did.
    std::vector<std::vector<std::string>> reopened;
    drv->onModal<TFormAla>([&](TFormAla& f) {
        EXPECT_EQ(f.Mode, 2);
        for (int r = 0; r < f.StringGrid1.RowCount(); ++r) reopened.push_back(f.StringGrid1.RowTexts(r));
    });
    drv->chooseFile((dir / "ALAFILES" / "read.ala").string());
    ASSERT_TRUE(Item("NAlaPrn").Click());
    ASSERT_EQ(reopened.size(), 241u);
    EXPECT_EQ(reopened[7][1], "   ***");
    EXPECT_EQ(drv->fileDialogs().back().initialDir, (dir / "ALAFILES").string());
}

TEST_F(MessageRead, InterventionsByPeriodShownDecoded) {
    Connect();
    const DeviceDateTime b = Rec(23, 6, 1, 0, 0, 0), e = Rec(24, 3, 20, 0, 0, 0);
    const std::vector<Bytes> want = model.Records(emu::Archive::Intervention, 0, Emu(b), Emu(e));
    ASSERT_GT(want.size(), 180u);
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
    std::set<std::pair<int, int>> fields;
    std::set<std::string> parameters;
    drv->onModal<TFormAud>([&](TFormAud& f) {
        EXPECT_EQ(f.Mode, 1);
        EXPECT_EQ(f.Caption(), "Повідомлення про втручання оператора за період з 01.06.23 00:00:00 по 20.03.24 00:00:00");
        ASSERT_EQ(f.StringGrid1.RowCount(), int(want.size()));
        for (int r = 0; r < int(want.size()); ++r) {
            InterventionRecord rec;
            std::memcpy(&rec, want[std::size_t(r)].data(), sizeof rec);
            // The emulator keeps its names in code page 866 (table 0 byte 12 is 0).
            const InterventionTexts t = TextsOf(MakeInterventionRow(DecodeInterventionRecord(rec, true)));
            for (int c = 0; c < 7; ++c) ASSERT_EQ(f.StringGrid1.Cell(c + 1, r), t[std::size_t(c)]) << r << " " << c;
            fields.insert({rec.table, rec.field});
            parameters.insert(f.StringGrid1.Cell(3, r));
        }
        EXPECT_FALSE(f.BitBtn3.Visible());
        EXPECT_EQ(f.Panel9.Caption(), "");
    });
    ASSERT_TRUE(Item("NAudPer").Click());
    EXPECT_EQ(drv->modalCount<TFormAud>(), 1);
    for (int t : {2, 3, 4, 5, 6, 9, 13, 14, 15, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 28, 29, 43, 44, 45, 46}) {
        bool seen = false;
        for (auto [table, field] : fields) seen |= table == t;
        EXPECT_TRUE(seen) << t;
    }
    EXPECT_TRUE(parameters.count("Найменування контролера"));
    EXPECT_TRUE(parameters.count("Табл. 47;  Поле 0"));
    EXPECT_TRUE(parameters.count("День переходу на зимовий час"));
}

}  // namespace
