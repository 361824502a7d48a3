// "Перегляд з файлу": saved archive files opened through the main window's
// open dialog, the header checks and the refusal messages.
#include <fstream>

#include "readers/ReadersFixture.h"

using namespace readers;

namespace {

class Openers : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        form->RefreshMenus();  // not connected: the view-from-file items stay
    }

    // A header as a read of `kind` on `line` builds it.
    static ArchiveFileHeader Header(ArchiveKind kind, int line = 0) {
        ArchiveHeaderSource src;
        src.chromatographType = 3;
        src.controllerAddress = 5;
        return BuildArchiveHeader(kind, line, src, Rec(24, 3, 1), Rec(24, 3, 2), 0, Rec(24, 3, 3));
    }
    // Writes the header and `count` entries of `size` bytes (entry i filled with i + 1).
    std::string Write(const std::string& name, const ArchiveFileHeader& h, std::size_t size, uint32_t count,
                      uint32_t declared) {
        const std::string path = (dir / name).string();
        ArchiveFileHeader hh = h;
        hh.SetCount(declared);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&hh), sizeof hh);
        for (uint32_t i = 0; i < count; ++i) out << std::string(size, char(i + 1));
        return path;
    }
    bool Open(const char* item, const std::string& path) {
        drv->chooseFile(path);
        return Item(item).Click();
    }
    void ExpectRefusal(const std::string& file, const std::string& line2) {
        drv->expectMessage(1, "Файл " + file + " не є файлом, що містить", line2);
    }
};

}  // namespace

TEST_F(Openers, TheDeviceNibbleDecidesBetweenChromatographAndMoistureMeter) {
    const std::string wmt = Write("wmt.mch", Header(ArchiveKind::WmtMeas), 29, 3, 3);
    ExpectRefusal("wmt.mch", "вимірювальні дані хроматографа Orvix7200 з архиву");
    ASSERT_TRUE(Open("NChrom_ViewMeas", wmt));
    EXPECT_TRUE(views.empty());
    ASSERT_TRUE(Open("NWmt_ViewMeas", wmt));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].kind, ArchiveKind::WmtMeas);
    EXPECT_EQ(views[0].count, 3u);
    EXPECT_EQ(views[0].entrySize, 29u);

    // A line-2 file opens in the same viewer as one of line 1.
    const std::string line2 = Write("l2.hch", Header(ArchiveKind::ChromHour, 1), 94, 2, 2);
    ASSERT_TRUE(Open("NChrom_ViewHour", line2));
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(views[1].header.LineDevice, 0x10);
    EXPECT_EQ(views[1].mode, viewmode::kHourly);
    const std::string day = Write("d.dwm", Header(ArchiveKind::WmtDay), 28, 1, 1);
    ASSERT_TRUE(Open("NWmt_ViewDay", day));
    EXPECT_EQ(views.back().mode, viewmode::kWmtDaily);
}

TEST_F(Openers, VersionTypeAndTagAreChecked) {
    ArchiveFileHeader h = Header(ArchiveKind::ChromDay);
    h.ProgramVersion = 14;
    ExpectRefusal("v14.dch", "добові дані хроматографа Orvix7200 з архіву контролера");
    ASSERT_TRUE(Open("NChrom_ViewDay", Write("v14.dch", h, 94, 1, 1)));
    h = Header(ArchiveKind::Calib);
    h.ChromatographType = 4;
    ExpectRefusal("t4.clb", "дані калібровки хроматографа Orvix7200");
    ASSERT_TRUE(Open("NChrom_ViewClb", Write("t4.clb", h, 170, 1, 1)));
    ExpectRefusal("clb.vrf", "дані веріфікації хроматографа Orvix7200");
    ASSERT_TRUE(Open("NChrom_ViewVerif", Write("clb.vrf", Header(ArchiveKind::Calib), 170, 1, 1)));
    // Shorter than a header.
    { std::ofstream(dir / "short.hwm") << "HOU"; }
    ExpectRefusal("short.hwm", "годинні дані вологоміра з архіву контролера");
    ASSERT_TRUE(Open("NWmt_ViewHour", (dir / "short.hwm").string()));
    drv->expectMessage(1, "Помилка відкриття файлу", "");
    ASSERT_TRUE(Open("NChrom_ViewHour", (dir / "missing.hch").string()));
    EXPECT_TRUE(views.empty());

    // Cancelled: nothing happens.
    drv->cancelFileDialog();
    ASSERT_TRUE(Item("NAudPrn").Click());
    EXPECT_TRUE(views.empty());
}

TEST_F(Openers, EntriesAreTheOnesTheFileReallyHolds) {
    // More entries than declared: only the declared ones.
    ASSERT_TRUE(Open("NChrom_ViewVerif", Write("more.vrf", Header(ArchiveKind::Verif), 90, 5, 3)));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].count, 3u);
    EXPECT_EQ(views[0].header.Count(), 3u);
    // Fewer: only those there, and the header says so.
    ASSERT_TRUE(Open("NChrom_ViewVerif", Write("fewer.vrf", Header(ArchiveKind::Verif), 90, 2, 7)));
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(views[1].count, 2u);
    EXPECT_EQ(views[1].header.Count(), 2u);
    EXPECT_EQ(views[1].records.size(), 180u);
    EXPECT_EQ(views[1].Entry(1)[0], 2);

    // Message lists: text rows, any device nibble, the file mode.
    ArchiveFileHeader h = Header(ArchiveKind::Diagnostic);
    h.LineDevice = 0x31;
    ASSERT_TRUE(Open("NAlaPrn", Write("rows.ala", h, 300, 2, 2)));
    ASSERT_EQ(views.size(), 3u);
    EXPECT_EQ(views[2].entryKind, RecordKind::DiagnosticRow);
    EXPECT_EQ(views[2].entrySize, 300u);
    EXPECT_EQ(views[2].mode, viewmode::kFromFile);
    EXPECT_EQ(drv->fileDialogs().back().initialDir, (dir / "ALAFILES").string());
    ASSERT_TRUE(Open("NAudPrn", Write("rows.aud", Header(ArchiveKind::Intervention), 205, 1, 1)));
    EXPECT_EQ(views.back().entryKind, RecordKind::InterventionRow);
    EXPECT_EQ(views.back().mode, viewmode::kFromFile);
}

TEST_F(Openers, AFileWithoutRecordsSaysSoAndOpensNoViewer) {
    drv->expectMessage(6, "Файл empty.hch не містить жодного запису", "");
    ASSERT_TRUE(Open("NChrom_ViewHour", Write("empty.hch", Header(ArchiveKind::ChromHour), 94, 0, 0)));
    // Cut short after its header: the header's count tells what was lost.
    drv->expectMessage(6, "Файл cut.ala не містить жодного запису", "(у заголовку вказано записів: 4)");
    ASSERT_TRUE(Open("NAlaPrn", Write("cut.ala", Header(ArchiveKind::Diagnostic), 300, 0, 4)));
    EXPECT_TRUE(views.empty());
    // One record is enough for a viewer.
    ASSERT_TRUE(Open("NChrom_ViewHour", Write("one.hch", Header(ArchiveKind::ChromHour), 94, 1, 1)));
    EXPECT_EQ(views.size(), 1u);
}
