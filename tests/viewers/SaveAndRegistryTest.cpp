// Saving from the viewers (the dialogue loop, the overwrite question, the
// file byte for byte) and reaching the viewers through the archive-kind
// registry from a reader's hand-over and from the "view from file" opener.
#include <gtest/gtest.h>

#include <filesystem>

#include "ViewerTestUtil.h"
#include "common/Question.h"
#include "data/ArchOpen.h"
#include "data/ArchView.h"
#include "data/ArhMeas_Chr.h"
#include "data/ArhMeas_Wmt.h"
#include "data/ArhivHDM_Chr.h"
#include "data/ArhivHD_Wmt.h"
#include "data/Arhiv_Clb.h"
#include "data/Arhiv_Verif.h"
#include "data/ValueViewers.h"

namespace {

using namespace vt;
using ViewerSave = ViewerTest;

class ViewerRegistry : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        RegisterValueViewers();
    }
    void TearDown() override {
        for (int k = 0; k < kArchiveKindCount; ++k) SetArchiveViewer(ArchiveKind(k), {});
        ViewerTest::TearDown();
    }
};

template <class R>
std::string FileBytes(const ArchiveFileHeader& h, const std::vector<R>& recs) {
    std::string out(reinterpret_cast<const char*>(&h), sizeof h);
    out.append(reinterpret_cast<const char*>(recs.data()), recs.size() * sizeof(R));
    return out;
}

std::string Today() {
    const DeviceDateTime t = PcClockRecord();
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d", t.year, t.month, t.day);
    return buf;
}

TEST_F(ViewerSave, HourlyArchiveSavedAndReopenedByteForByte) {
    HdmArchiveRecord bad = Hdm(15, 2);
    Corrupt(bad);  // kept and saved unchanged
    std::vector<HdmArchiveRecord> recs{Hdm(15, 1), bad, Hdm(15, 3, 0x22)};
    ArchiveFileHeader h = Header(ArchiveKind::ChromHour, 3);
    TFormArhivHDM_Chr f;
    f.Header = &h;
    f.Records = recs;
    f.Show();

    // A name typed without an extension gets ".hch".
    drv->chooseFile(Path("HOURDATA/line1"));
    drv->expectMessage(6, "Дані збережені в файлі line1.hch.", "");
    f.BitBtn2.Click();
    ASSERT_EQ(drv->fileDialogs().size(), 1u);
    const ui::test::FileDialogRecord& d = drv->fileDialogs()[0];
    EXPECT_TRUE(d.save);
    EXPECT_EQ(d.title, "Вибір файлу для збереження даних");
    EXPECT_EQ(d.filter, "DataFiles (*.hch)|*.hch");
    EXPECT_EQ(d.initialDir, Path("HOURDATA"));
    EXPECT_EQ(d.fileName, Path("HOURDATA/zbr11-005_North 1_" + Today() + ".hch"));
    const std::string saved = ReadBytes(Path("HOURDATA/line1.hch"));
    EXPECT_EQ(saved, FileBytes(h, recs));

    // Opened again it shows the same rows, the unreliable one marked.
    ArchiveFileContents back;
    FileMessage m;
    ASSERT_TRUE(OpenArchiveFile(ArchiveKind::ChromHour, Path("HOURDATA/line1.hch"), back, m));
    std::vector<HdmArchiveRecord> again = EntriesAs<HdmArchiveRecord>(back.entries);
    TFormArhivHDM_Chr g;
    g.Header = &back.header;
    g.Records = again;
    g.Show();
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(g.StringGrid1.RowTexts(row), f.StringGrid1.RowTexts(row)) << row;
        EXPECT_EQ(g.StringGrid2.RowTexts(row), f.StringGrid2.RowTexts(row)) << row;
    }
    // Saved from there, the file is the same again.
    drv->chooseFile(Path("HOURDATA/line1-copy.hch"));
    drv->expectMessage(6, "Дані збережені в файлі line1-copy.hch.", "");
    g.BitBtn2.Click();
    EXPECT_EQ(ReadBytes(Path("HOURDATA/line1-copy.hch")), saved);
}

TEST_F(ViewerSave, OverwriteAnsweredNoAsksForANameAgain) {
    std::vector<HdmArchiveRecord> recs{Hdm(20, 1, 0, true)};
    ArchiveFileHeader h = Header(ArchiveKind::ChromDay, 1);
    const std::string existing = Path("DAYDATA/day.dch");
    std::ofstream(existing, std::ios::binary) << "old";
    TFormArhivHDM_Chr f;
    f.Header = &h;
    f.Records = recs;
    f.Mode = 1;
    f.Show();
    // "Ні": the dialog comes back with that name; the second choice is new.
    drv->chooseFile(existing);
    drv->expectQuestion(3, "Файл day.dch вже є.", "Ви бажаєте замінити існуючий файл?", false);
    drv->chooseFile(Path("DAYDATA/day2"));
    drv->expectMessage(6, "Дані збережені в файлі day2.dch.", "");
    f.BitBtn2.Click();
    ASSERT_EQ(drv->fileDialogs().size(), 2u);
    EXPECT_EQ(drv->fileDialogs()[0].filter, "DataFiles (*.dch)|*.dch");
    EXPECT_EQ(drv->fileDialogs()[1].fileName, existing);
    EXPECT_EQ(ReadBytes(existing), "old");
    EXPECT_EQ(ReadBytes(Path("DAYDATA/day2.dch")), FileBytes(h, recs));

    // "Ні", then cancel: nothing written, nothing said.
    drv->chooseFile(existing);
    drv->expectQuestion(3, "Файл day.dch вже є.", "Ви бажаєте замінити існуючий файл?", false);
    drv->cancelFileDialog();
    f.BitBtn2.Click();
    EXPECT_EQ(ReadBytes(existing), "old");

    // "Так" replaces it.
    drv->chooseFile(existing);
    drv->expectQuestion(3, "Файл day.dch вже є.", "Ви бажаєте замінити існуючий файл?", true);
    drv->expectMessage(6, "Дані збережені в файлі day.dch.", "");
    f.BitBtn2.Click();
    EXPECT_EQ(ReadBytes(existing), FileBytes(h, recs));
}

TEST_F(ViewerSave, EveryViewerSavesItsOwnKind) {
    const std::string today = Today();
    {
        std::vector<ChromMeasRecord> recs{Meas(1), Meas(2, 0x80)};
        ArchiveFileHeader h = Header(ArchiveKind::ChromMeas, 2);
        TFormArhMeas_Chr f;
        f.Header = &h;
        f.Records = recs;
        f.Show();
        drv->chooseFile(Path("MOMDATA/m"));
        drv->expectMessage(6, "Дані збережені в файлі m.mch.", "");
        f.BitBtn2.Click();
        EXPECT_EQ(drv->fileDialogs().back().fileName, Path("MOMDATA/zbr11_005_North 1_" + today + ".mch"));
        EXPECT_EQ(ReadBytes(Path("MOMDATA/m.mch")), FileBytes(h, recs));
    }
    {
        std::vector<VerifRecord> recs{Verif(1), Verif(2, 1)};
        ArchiveFileHeader h = Header(ArchiveKind::Verif, 2);
        TFormArhiv_Verif f;
        f.Header = &h;
        f.Records = recs;
        f.Show();
        drv->chooseFile(Path("VERIFARHIV/v.vrf"));
        drv->expectQuestion(3, "Файл v.vrf уже є.", "Ви бажаєте замінити існуючий файл?", true);
        drv->expectMessage(6, "Дані збережені в файлі v.vrf.", "");
        std::ofstream(Path("VERIFARHIV/v.vrf")) << "x";
        f.BitBtn2.Click();
        EXPECT_EQ(drv->fileDialogs().back().fileName, Path("VERIFARHIV/zbr11-005_" + today + ".vrf"));
        EXPECT_EQ(drv->fileDialogs().back().filter, "DataFiles (*.vrf)|*.vrf");
        EXPECT_EQ(ReadBytes(Path("VERIFARHIV/v.vrf")), FileBytes(h, recs));
    }
    {
        std::vector<CalibRecord> recs{Calib(1)};
        ArchiveFileHeader h = Header(ArchiveKind::Calib, 1);
        TFormArhiv_Clb f;
        f.Header = &h;
        f.Records = recs;
        f.Show();
        std::ofstream(Path("CALIBRARHIV/c.clb")) << "x";
        drv->chooseFile(Path("CALIBRARHIV/c"));
        drv->expectQuestion(3, "Файл c.clb уже есть.", "Ви бажаєте замінити існуючий файл?", true);
        drv->expectMessage(6, "Дані збережені в файлі c.clb.", "");
        f.BitBtn2.Click();
        EXPECT_EQ(drv->fileDialogs().back().title, "Введіть ім'я файлу для збереження даних");
        EXPECT_EQ(drv->fileDialogs().back().fileName, Path("CALIBRARHIV/zbr11-005_" + today + ".clb"));
        EXPECT_EQ(ReadBytes(Path("CALIBRARHIV/c.clb")), FileBytes(h, recs));
    }
    {
        std::vector<WmtMomentaryRecord> recs{WmtMeas(1), WmtMeas(2, 0x02)};
        ArchiveFileHeader h = Header(ArchiveKind::WmtMeas, 2);
        TFormArhMeas_Wmt f;
        f.Header = &h;
        f.Records = recs;
        f.Show();
        drv->chooseFile(Path("MOMDATA/w"));
        drv->expectMessage(6, "Дані збережені в файлі w.mwm.", "");
        f.BitBtn2.Click();
        EXPECT_EQ(drv->fileDialogs().back().fileName, Path("MOMDATA/wmt11_005_" + today + ".mwm"));
        EXPECT_EQ(ReadBytes(Path("MOMDATA/w.mwm")), FileBytes(h, recs));
    }
    for (uint8_t mode : {uint8_t(6), uint8_t(7)}) {
        const bool daily = mode == 7;
        std::vector<WmtArchiveRecord> recs{WmtHd(1, 1, 0, daily)};
        ArchiveFileHeader h = Header(daily ? ArchiveKind::WmtDay : ArchiveKind::WmtHour, 1);
        TFormArhivHD_Wmt f;
        f.Header = &h;
        f.Records = recs;
        f.Mode = mode;
        f.Show();
        const std::string name = daily ? "DAYDATA/wd.dwm" : "HOURDATA/wh.hwm";
        drv->chooseFile(Path(daily ? "DAYDATA/wd" : "HOURDATA/wh"));
        drv->expectMessage(6, std::string("Дані збережені в файлі ") + (daily ? "wd.dwm." : "wh.hwm."), "");
        f.BitBtn2.Click();
        EXPECT_EQ(drv->fileDialogs().back().filter, daily ? "DataFiles (*.dwm)|*.dwm" : "DataFiles (*.hwm)|*.hwm");
        EXPECT_EQ(ReadBytes(Path(name)), FileBytes(h, recs));
    }
}

TEST_F(ViewerSave, AFolderThatCannotTakeTheFileIsReported) {
    std::vector<HdmArchiveRecord> recs{Hdm(15, 1)};
    ArchiveFileHeader h = Header(ArchiveKind::ChromHour, 1);
    TFormArhivHDM_Chr f;
    f.Header = &h;
    f.Records = recs;
    f.Show();
    drv->chooseFile(Path("NOSUCHFOLDER/x.hch"));
    drv->expectMessage(1, "Помилка відкриття файлу", "");
    f.BitBtn2.Click();
    EXPECT_FALSE(std::filesystem::exists(Path("NOSUCHFOLDER/x.hch")));
}

// ---------------------------------------------------------------- registry

TEST_F(ViewerRegistry, EveryValueKindHasItsViewer) {
    for (ArchiveKind k : {ArchiveKind::ChromMeas, ArchiveKind::ChromHour, ArchiveKind::ChromDay, ArchiveKind::Calib,
                          ArchiveKind::Verif, ArchiveKind::WmtMeas, ArchiveKind::WmtHour, ArchiveKind::WmtDay})
        EXPECT_TRUE(HasArchiveViewer(k)) << int(k);
    EXPECT_FALSE(HasArchiveViewer(ArchiveKind::Diagnostic));
}

TEST_F(ViewerRegistry, AReadersHandOverShowsTheRecords) {
    std::vector<HdmArchiveRecord> recs{Hdm(10, 0, 0, true), Hdm(11, 0, 0, true), Hdm(12, 0, 0, true)};
    ArchiveView view;
    view.kind = ArchiveKind::ChromDay;
    view.header = Header(ArchiveKind::ChromDay, 3);
    view.entryKind = RecordKind::Hdm;
    view.entrySize = sizeof(HdmArchiveRecord);
    view.count = 3;
    view.records.assign(reinterpret_cast<const uint8_t*>(recs.data()),
                        reinterpret_cast<const uint8_t*>(recs.data() + recs.size()));
    view.mode = 1;
    bool shown = false;
    drv->onModal<TFormArhivHDM_Chr>([&](TFormArhivHDM_Chr& f) {
        shown = true;
        EXPECT_EQ(f.Mode, 1);
        EXPECT_EQ(f.Header, &view.header);
        EXPECT_EQ(f.StringGrid1.RowCount(), 3);
        EXPECT_EQ(f.StringGrid1.Cell(1, 2), "   12.03.24");
        EXPECT_TRUE(f.Caption().starts_with("Добові дані хроматографа"));
        f.BitBtn1.Click();
    });
    EXPECT_TRUE(ShowArchiveViewer(view));
    EXPECT_TRUE(shown);

    // A view whose entries are not of the kind's size shows an empty grid.
    view.entrySize = 90;
    drv->onModal<TFormArhivHDM_Chr>([&](TFormArhivHDM_Chr& f) { EXPECT_EQ(f.StringGrid1.RowCount(), 0); });
    EXPECT_TRUE(ShowArchiveViewer(view));
    // A count larger than the bytes holds shows only the whole records.
    view.entrySize = sizeof(HdmArchiveRecord);
    view.count = 7;
    drv->onModal<TFormArhivHDM_Chr>([&](TFormArhivHDM_Chr& f) { EXPECT_EQ(f.StringGrid1.RowCount(), 3); });
    EXPECT_TRUE(ShowArchiveViewer(view));
}

TEST_F(ViewerRegistry, SavedFilesOpenInTheirViewers) {
    FileMessage m;
    std::vector<HdmArchiveRecord> hours{Hdm(15, 1), Hdm(15, 2)};
    ASSERT_TRUE(SaveArchiveFile<HdmArchiveRecord>(Path("HOURDATA/h.hch"), Header(ArchiveKind::ChromHour, 2), hours, m));
    std::vector<CalibRecord> calib{Calib(1), Calib(2)};
    ASSERT_TRUE(SaveArchiveFile<CalibRecord>(Path("CALIBRARHIV/c.clb"), Header(ArchiveKind::Calib, 2), calib, m));
    std::vector<WmtArchiveRecord> wd{WmtHd(1, 0, 0, true)};
    ASSERT_TRUE(SaveArchiveFile<WmtArchiveRecord>(Path("DAYDATA/d.dwm"), Header(ArchiveKind::WmtDay, 1), wd, m));
    std::vector<ChromMeasRecord> meas{Meas(1)};
    ASSERT_TRUE(SaveArchiveFile<ChromMeasRecord>(Path("MOMDATA/m.mch"), Header(ArchiveKind::ChromMeas, 1), meas, m));
    std::vector<VerifRecord> verif{Verif(1)};
    ASSERT_TRUE(SaveArchiveFile<VerifRecord>(Path("VERIFARHIV/v.vrf"), Header(ArchiveKind::Verif, 1), verif, m));
    std::vector<WmtMomentaryRecord> wm{WmtMeas(1)};
    ASSERT_TRUE(SaveArchiveFile<WmtMomentaryRecord>(Path("MOMDATA/w.mwm"), Header(ArchiveKind::WmtMeas, 1), wm, m));

    int n = 0;
    drv->onModal<TFormArhivHDM_Chr>([&](TFormArhivHDM_Chr& f) {
        ++n;
        EXPECT_EQ(f.Mode, 0);
        EXPECT_EQ(f.StringGrid2.RowCount(), 2);
        EXPECT_EQ(f.StringGrid1.Cell(2, 1), "   02:00:00");
    });
    drv->onModal<TFormArhiv_Clb>([&](TFormArhiv_Clb& f) {
        ++n;
        EXPECT_EQ(f.StringGrid1.RowCount(), 4);
        EXPECT_EQ(f.StringGrid1.Cell(1, 3), " 02.03.24");
    });
    drv->onModal<TFormArhivHD_Wmt>([&](TFormArhivHD_Wmt& f) {
        ++n;
        EXPECT_EQ(f.Mode, 7);
        EXPECT_TRUE(f.Caption().starts_with("Добові дані вологоміра"));
    });
    drv->onModal<TFormArhMeas_Chr>([&](TFormArhMeas_Chr& f) {
        ++n;
        EXPECT_EQ(f.StringGrid1.Cell(2, 0), "  12:01:30");
    });
    drv->onModal<TFormArhiv_Verif>([&](TFormArhiv_Verif& f) {
        ++n;
        EXPECT_EQ(f.StringGrid1.Cell(3, 0), "   OK");
    });
    drv->onModal<TFormArhMeas_Wmt>([&](TFormArhMeas_Wmt& f) {
        ++n;
        EXPECT_EQ(f.StringGrid1.Cell(2, 0), "  Норма");
    });
    EXPECT_TRUE(ViewArchiveFileAt(ArchiveKind::ChromHour, Path("HOURDATA/h.hch")));
    EXPECT_TRUE(ViewArchiveFileAt(ArchiveKind::Calib, Path("CALIBRARHIV/c.clb")));
    EXPECT_TRUE(ViewArchiveFileAt(ArchiveKind::WmtDay, Path("DAYDATA/d.dwm")));
    EXPECT_TRUE(ViewArchiveFileAt(ArchiveKind::ChromMeas, Path("MOMDATA/m.mch")));
    EXPECT_TRUE(ViewArchiveFileAt(ArchiveKind::Verif, Path("VERIFARHIV/v.vrf")));
    EXPECT_TRUE(ViewArchiveFileAt(ArchiveKind::WmtMeas, Path("MOMDATA/w.mwm")));
    EXPECT_EQ(n, 6);
}

}  // namespace
