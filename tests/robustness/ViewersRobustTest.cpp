// The value viewers opened on archive files whose records are random bytes:
// wild dates, status bytes, counts and parameter codes, NaN and infinite
// values, some records sealed with a right CRC so they count as whole. Every
// viewer fills its grids and shows every row's details without reading
// outside a record or a table.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "data/ArchOpen.h"
#include "data/ArchiveFiles.h"
#include "data/ArhMeas_Chr.h"
#include "data/ArhMeas_Wmt.h"
#include "data/ArhivHDM_Chr.h"
#include "data/ArhivHD_Wmt.h"
#include "data/Arhiv_Clb.h"
#include "data/Arhiv_Verif.h"
#include "common/GasParams.h"
#include "common/ReportFormat.h"
#include "data/ValueViewers.h"
#include "platform/FileWrite.h"
#include "robustness/Random.h"
#include "support/TestFolders.h"
#include "ui/TestDriver.h"

using robust::Dice;

namespace {

// Reads every cell and moves the selection over every row (the second grid
// follows the selected row where there is one).
void Walk(ui::StringGrid& g) {
    std::size_t chars = 0;
    for (int r = 0; r < g.RowCount(); ++r) {
        g.SetRow(r);
        for (int c = 0; c < g.ColCount(); ++c) chars += g.Cell(c, r).size();
    }
    EXPECT_LT(chars, 10'000'000u);
}

}  // namespace

TEST(ViewersRobust, RandomRecordsInEveryValueViewer) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    ReportFormat = DefaultReportFormat();
    ParamOrder = ParamOrderDefault;
    auto drv = std::make_unique<ui::test::Driver>();
    drv->setScreen(1280, 1024);
    RegisterValueViewers();
    int shown = 0;
    drv->onModal<TFormArhMeas_Chr>([&](TFormArhMeas_Chr& f) { ++shown, Walk(f.StringGrid1), Walk(f.StringGrid2); });
    drv->onModal<TFormArhivHDM_Chr>([&](TFormArhivHDM_Chr& f) { ++shown, Walk(f.StringGrid1), Walk(f.StringGrid2); });
    drv->onModal<TFormArhiv_Verif>([&](TFormArhiv_Verif& f) { ++shown, Walk(f.StringGrid1), Walk(f.StringGrid2); });
    drv->onModal<TFormArhiv_Clb>([&](TFormArhiv_Clb& f) { ++shown, Walk(f.StringGrid1); });
    drv->onModal<TFormArhMeas_Wmt>([&](TFormArhMeas_Wmt& f) { ++shown, Walk(f.StringGrid1); });
    drv->onModal<TFormArhivHD_Wmt>([&](TFormArhivHD_Wmt& f) { ++shown, Walk(f.StringGrid1); });

    const ArchiveKind kinds[] = {ArchiveKind::ChromMeas, ArchiveKind::WmtMeas, ArchiveKind::ChromHour,
                                 ArchiveKind::ChromDay,  ArchiveKind::WmtHour, ArchiveKind::WmtDay,
                                 ArchiveKind::Calib,     ArchiveKind::Verif};
    Dice dice(5001);
    int opened = 0, withRecords = 0;
    for (ArchiveKind kind : kinds)
        for (int round = 0; round < 25; ++round) {
            SCOPED_TRACE(std::string(ArchiveInfo(kind).tag) + " round " + std::to_string(round));
            ArchiveHeaderSource src;
            src.chromatographType = kSupportedChromatographType;
            for (auto* name : {&src.controllerName, &src.lineNames[0], &src.lineNames[1]})
                for (uint8_t& b : *name) b = dice.Byte();  // any bytes, no terminator
            src.chromFlags = dice.Byte();
            DeviceDateTime t{};
            std::memcpy(&t, dice.Bytes(sizeof t).data(), sizeof t);
            const std::size_t es = RecordSizeOf(ArchiveInfo(kind).entry);
            const uint32_t n = uint32_t(dice.Int(0, 12));
            ArchiveFileHeader h = BuildArchiveHeader(kind, int(dice.Int(0, 1)), src, t, t, n, t);
            std::string bytes(reinterpret_cast<const char*>(&h), sizeof h);
            for (uint32_t i = 0; i < n; ++i) {
                std::string rec = dice.Bytes(es);
                if (dice.Chance(25)) {  // NaN / infinite floats everywhere
                    for (std::size_t k = 0; k + 4 <= es; k += 4)
                        if (dice.Chance(30)) std::memcpy(rec.data() + k, "\xff\xff\xff\x7f", 4);
                }
                if (dice.Chance(60)) SealRecord(rec.data(), rec.size());
                bytes += rec;
            }
            const std::string path = (dir / ("r" + std::string(ArchiveInfo(kind).extension))).string();
            zbr_test::WriteBytes(path, bytes);
            // A file without records opens no viewer and says so.
            if (n == 0) drv->expectMessage(6, "Файл " + platform::BaseName(path) + " не містить жодного запису", "");
            else ++withRecords;
            opened += ViewArchiveFileAt(kind, path);
        }
    EXPECT_EQ(opened, withRecords);
    EXPECT_GT(withRecords, 8 * 20);
    EXPECT_EQ(shown, opened);
    drv->verify();
}
