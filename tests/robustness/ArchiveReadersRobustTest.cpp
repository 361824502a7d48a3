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
