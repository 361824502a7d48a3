// The archive readers against replies spoilt in random ways: records
// claimed but missing, records with a wrong CRC, records from before the
// asked beginning or after the end, empty pages, error replies and silence,
// in random order, with the retry questions answered at random. Whatever
// comes, a read ends, the temporary file holds whole records only and a
// viewer is handed exactly the records it is told of.
#include <filesystem>

#include "common/Question.h"
#include "readers/ReadersFixture.h"
#include "robustness/Random.h"
#include "support/HourlySoak.h"

using namespace readers;
using robust::Dice;

namespace {

class ReadersRobust : public ReaderTest {};

struct Read {
    ArchiveKind kind;
    DeviceDateTime begin, end;
};

}  // namespace

TEST_F(ReadersRobust, SpoiltRepliesInRandomOrder) {
    Connect();
    ASSERT_FALSE(HasFatalFailure());
    Dice dice(4001);
    int yes = 0, questions = 0;
    uint32_t records = 0;
    drv->onModal<TFormQues>([&](TFormQues& q) {
        ++questions;
        q.Answer(yes-- > 0 && dice.Chance(60));
    });
    const std::vector<Read> reads = {
        {ArchiveKind::Calib, Rec(24, 1, 1), Rec(24, 3, 19)},
        {ArchiveKind::Verif, Rec(24, 1, 1), Rec(24, 3, 19)},
        {ArchiveKind::ChromMeas, Rec(24, 3, 19, 8), Rec(24, 3, 19, 10)},
        {ArchiveKind::WmtMeas, Rec(24, 3, 19, 8), Rec(24, 3, 19, 10)},
        {ArchiveKind::Diagnostic, Rec(24, 3, 1), Rec(24, 3, 19)},
        {ArchiveKind::Intervention, Rec(24, 3, 1), Rec(24, 3, 19)},
        {ArchiveKind::ChromHour, Rec(24, 3, 19, 10), Rec(24, 3, 19, 19)},
        {ArchiveKind::ChromDay, Rec(24, 3, 10), Rec(24, 3, 18)},
        {ArchiveKind::WmtHour, Rec(24, 3, 19, 10), Rec(24, 3, 19, 19)},
    };
    const std::vector<emu::ArchiveFaultKind> kinds = {
        emu::ArchiveFaultKind::ShortReply,  emu::ArchiveFaultKind::CorruptRecord, emu::ArchiveFaultKind::EarlyRecord,
        emu::ArchiveFaultKind::LateRecord,  emu::ArchiveFaultKind::Empty,         emu::ArchiveFaultKind::ArchiveError,
        emu::ArchiveFaultKind::ErrorReply,  emu::ArchiveFaultKind::Silence,
    };
    for (int round = 0; round < 40; ++round) {
        const Read& r = dice.Pick(reads);
        SCOPED_TRACE("round " + std::to_string(round) + " " + ArchiveInfo(r.kind).tag);
        for (int n = int(dice.Int(1, 3)); n > 0; --n) {
            emu::ArchiveFault f{dice.Pick(kinds), 0, int(dice.Int(1, 4))};
            switch (f.kind) {
            case emu::ArchiveFaultKind::ShortReply: f.param = int(dice.Int(0, 300)); break;
            case emu::ArchiveFaultKind::CorruptRecord: f.param = int(dice.Int(0, 12)); break;
            case emu::ArchiveFaultKind::EarlyRecord:
            case emu::ArchiveFaultKind::LateRecord: f.param = int(dice.Int(0, 5)); break;
            case emu::ArchiveFaultKind::ErrorReply: f.param = int(dice.Int(0, 255)); break;
            case emu::ArchiveFaultKind::ArchiveError: f.param = int(dice.Int(0, 1)); break;
            default: break;
            }
            model.QueueFault(f);
        }
        yes = 2;
        views.clear();
        const bool hourDay = r.kind == ArchiveKind::ChromHour || r.kind == ArchiveKind::ChromDay ||
                             r.kind == ArchiveKind::WmtHour;
        const ArchiveReadResult res = hourDay ? ReadHourDayArchive(*form, r.kind, 0, r.begin, r.end)
                                              : ReadPeriodArchive(*form, r.kind, 0, r.begin, r.end);
        model.ClearFaults();
        records += res.records;
        EXPECT_EQ(ExchangeActive, 0);
        EXPECT_LE(views.size(), 1u);
        for (const ArchiveView& v : views) {
            EXPECT_EQ(v.kind, r.kind);
            EXPECT_EQ(v.count, res.records);
            EXPECT_EQ(v.records.size(), std::size_t(v.count) * v.entrySize);
            EXPECT_EQ(v.header.Count(), v.count);
            EXPECT_EQ(v.entrySize, RecordSizeOf(v.entryKind));
        }
        const std::size_t rs = RecordSizeOf(ArchiveInfo(r.kind).record);
        const std::string temp = TempArchivePath(ArchiveInfo(r.kind).temp);
        if (std::filesystem::exists(temp)) {
            EXPECT_EQ(std::filesystem::file_size(temp) % rs, 0u);
        }
        // The link is still in step: a plain read works.
        ASSERT_TRUE(ReadTableRange(TableRequestHeader{5, 0, 1}, &form->StatusBar1, true)) << HgcBox->ErrorText();
    }
    // The rounds did read, and did fail.
    EXPECT_GT(records, 30u);
    EXPECT_GT(questions, 10);
}

// A week of hourly records, of the chromatograph and of the moisture meter,
// with 7 % of the requests spoilt on the line and 7 % in the archive, and
// every question answered "Так": each hour is stored once, in order; only
// the records the archive spoilt come broken, and records after the period
// (which the archive sent unasked) only at the end.
TEST_F(ReadersRobust, AWeekOfHoursUnderMixedFaults) {
    Connect();
    ASSERT_FALSE(HasFatalFailure());
    HgcBox->ReplyTimeoutMs = 150;
    HgcBox->ByteTimeoutMs = 20;
    int questions = 0;
    drv->onModal<TFormQues>([&](TFormQues& q) {
        ++questions;
        q.Answer(true);
    });
    struct Case {
        ArchiveKind kind;
        emu::Archive archive;
        uint32_t seed;
    };
    int lineFaults = 0, archiveFaults = 0;
    for (const Case c : {Case{ArchiveKind::ChromHour, emu::Archive::ChromHourly, 5001},
                         Case{ArchiveKind::WmtHour, emu::Archive::WmtHourly, 5002},
                         Case{ArchiveKind::ChromHour, emu::Archive::ChromHourly, 5003}}) {
        SCOPED_TRACE(c.seed);
        const DeviceDateTime b = Rec(24, 3, 12, 7), e = Rec(24, 3, 19, 6);  // 168 hours
        const zbr_test::MixedFaults f =
            zbr_test::QueueMixedFaults(emu, model, c.seed, 200, 7, HgcBox->ReplyTimeoutMs, HgcBox->ByteTimeoutMs);
        lineFaults += f.line;
        archiveFaults += f.archive;
        views.clear();
        const ArchiveReadResult r = ReadHourDayArchive(*form, c.kind, 0, b, e);
        emu.ClearFaults();
        model.ClearFaults();
        EXPECT_TRUE(r.complete);
        ASSERT_EQ(views.size(), 1u);
        std::vector<std::vector<uint8_t>> got;
        for (uint32_t i = 0; i < views[0].count; ++i)
            got.emplace_back(views[0].Entry(i), views[0].Entry(i) + views[0].entrySize);
        const zbr_test::SoakTally t = zbr_test::TallyHourly(got, model.Records(c.archive, 0, Emu(b), Emu(e)));
        EXPECT_EQ(t.expected, 168u);
        EXPECT_TRUE(t.Clean()) << t.Text();
        // Still in step: a plain read works.
        ASSERT_TRUE(ReadTableRange(TableRequestHeader{5, 0, 1}, &form->StatusBar1, true)) << HgcBox->ErrorText();
    }
    // The faults did come, and were asked about.
    EXPECT_GT(lineFaults, 10);
    EXPECT_GT(archiveFaults, 10);
    EXPECT_GT(questions, 10);
}
