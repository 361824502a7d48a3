// From the controller to the viewer: an hourly read from the main window's
// menu against the emulator ends in the hourly viewer, which saves the
// records, and the saved file opens in the same viewer again.
#include "readers/ReadersFixture.h"

#include "data/ArhivHDM_Chr.h"
#include "data/ValueViewers.h"

using namespace readers;

namespace {

class ReaderToViewer : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        RegisterValueViewers();  // the real viewers instead of the fixture's recorder
    }
};

TEST_F(ReaderToViewer, HourlyReadShownSavedAndReopened) {
    Connect();
    drv->onModal<TFormShortDate>([](TFormShortDate& d) {
        d.RadioGroup3.Select(1);
        d.tdHb.Pick(EncodeDate(2024, 3, 19));
        d.ComboBox6.Select(10);
        d.tdHe.Pick(EncodeDate(2024, 3, 19));
        d.ComboBox7.Select(13);
        d.BitBtn3.Click();
    });
    std::vector<std::vector<std::string>> shown;
    drv->onModal<TFormArhivHDM_Chr>([&](TFormArhivHDM_Chr& f) {
        EXPECT_EQ(f.Mode, 0);
        EXPECT_TRUE(f.Caption().starts_with("Годинні дані хроматографа")) << f.Caption();
        EXPECT_NE(f.Caption().find("нитка \"Нитка 1\""), std::string::npos) << f.Caption();
        EXPECT_NE(f.Caption().find("з  19.03.24  10ч  по  19.03.24  13ч"), std::string::npos) << f.Caption();
        ASSERT_EQ(f.StringGrid1.RowCount(), 4);
        EXPECT_EQ(f.StringGrid1.Cell(1, 0), "   19.03.24");
        EXPECT_EQ(f.StringGrid1.Cell(2, 0), "   10:00:00");
        for (int r = 0; r < 4; ++r) shown.push_back(f.StringGrid2.RowTexts(r));
        drv->chooseFile((dir / "HOURDATA" / "read").string());
        drv->expectMessage(6, "Дані збережені в файлі read.hch.", "");
        f.BitBtn2.Click();
        f.BitBtn1.Click();
    });
    std::filesystem::create_directories(dir / "HOURDATA");
    ASSERT_TRUE(Item("NChrom_RdHour_1").Click());
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(drv->modalCount<TFormArhivHDM_Chr>(), 1);

    drv->onModal<TFormArhivHDM_Chr>([&](TFormArhivHDM_Chr& f) {
        ASSERT_EQ(f.StringGrid2.RowCount(), 4);
        for (int r = 0; r < 4; ++r) EXPECT_EQ(f.StringGrid2.RowTexts(r), shown[std::size_t(r)]) << r;
    });
    EXPECT_TRUE(ViewArchiveFileAt(ArchiveKind::ChromHour, (dir / "HOURDATA" / "read.hch").string()));
    EXPECT_EQ(drv->modalCount<TFormArhivHDM_Chr>(), 2);
}

}  // namespace
