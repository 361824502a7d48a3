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
#include "data/Iniala.h"
#include "data/Iniaud.h"
#include "data/MessageViewers.h"
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

// The message lists on random records (any event code, object, table, field,
// unit and value bytes, most sealed) and on .ala / .aud files of random rows
// (fields without their zero byte, counts larger than the rows held). Every
// row shows, and nothing is read past a field, a row or a text table.
TEST(ViewersRobust, RandomMessagesAndRowsInTheMessageLists) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    auto drv = std::make_unique<ui::test::Driver>();
    drv->setScreen(1280, 1024);
    RegisterMessageViewers();
    int shown = 0, rows = 0;
    drv->onModal<TFormAla>([&](TFormAla& f) { ++shown, rows += f.StringGrid1.RowCount(), Walk(f.StringGrid1); });
    drv->onModal<TFormAud>([&](TFormAud& f) { ++shown, rows += f.StringGrid1.RowCount(), Walk(f.StringGrid1); });
    Dice dice(7311);
    int expectRows = 0, filesShown = 0;
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        for (ArchiveKind kind : {ArchiveKind::Diagnostic, ArchiveKind::Intervention}) {
            const bool diag = kind == ArchiveKind::Diagnostic;
            // Records as a read hands them over.
            ArchiveView v;
            v.kind = kind;
            v.entryKind = diag ? RecordKind::Diagnostic : RecordKind::Intervention;
            v.entrySize = diag ? sizeof(DiagnosticRecord) : sizeof(InterventionRecord);
            v.count = uint32_t(dice.Int(0, 60));
            v.mode = int(dice.Int(0, 1));
            v.firstIndex = uint32_t(dice.Int(0, 0xFFFFFFFF));
            std::memcpy(&v.header, dice.Bytes(sizeof v.header).data(), sizeof v.header);
            for (uint32_t i = 0; i < v.count; ++i) {
                std::string rec = dice.Bytes(v.entrySize);
                if (dice.Chance(70)) SealRecord(rec.data(), rec.size());
                v.records.insert(v.records.end(), rec.begin(), rec.end());
            }
            expectRows += int(v.count);
            EXPECT_TRUE(ShowArchiveViewer(v));

            // A saved file of random rows, its count a little off.
            const std::size_t rs = diag ? sizeof(DiagnosticRow) : sizeof(InterventionRow);
            const uint32_t held = uint32_t(dice.Int(0, 20));
            const uint32_t declared = uint32_t(std::max<int64_t>(0, int64_t(held) + dice.Int(-3, 3)));
            ArchiveFileHeader h{};
            std::memcpy(h.KindTag, diag ? "ALA" : "AUD", 3);
            h.ProgramVersion = kArchiveProgramVersion;
            h.ChromatographType = kSupportedChromatographType;
            h.LineDevice = dice.Byte();
            h.MoistureMeterType = dice.Byte();
            h.SetCount(declared);
            std::string bytes(reinterpret_cast<const char*>(&h), sizeof h);
            for (uint32_t i = 0; i < held; ++i) bytes += dice.Chance(50) ? dice.Bytes(rs) : std::string(rs, 'x');
            if (dice.Chance(30)) bytes += dice.Bytes(std::size_t(dice.Int(1, int64_t(rs) - 1)));  // a part row
            const std::string path = (dir / (diag ? "r.ala" : "r.aud")).string();
            zbr_test::WriteBytes(path, bytes);
            const uint32_t rowsHeld = std::min(held, declared);
            if (rowsHeld == 0) {
                // A file without rows opens no list and says so.
                drv->expectMessage(6, "Файл " + platform::BaseName(path) + " не містить жодного запису",
                                   declared > 0 ? "(у заголовку вказано записів: " + std::to_string(declared) + ")"
                                                : std::string());
                EXPECT_FALSE(ViewArchiveFileAt(kind, path));
            } else {
                EXPECT_TRUE(ViewArchiveFileAt(kind, path));
                ++filesShown;
            }
            expectRows += int(rowsHeld);
        }
    }
    EXPECT_EQ(shown, 80 + filesShown);
    EXPECT_GT(filesShown, 50);
    EXPECT_EQ(rows, expectRows);
    for (int k = 0; k < kArchiveKindCount; ++k) SetArchiveViewer(ArchiveKind(k), {});
    drv->verify();
}
