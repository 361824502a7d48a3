// The archive readers against replies that are not the answer to the
// request they come after -- late, held back until the next request, the
// previous reply sent again -- and against broken records after a gap in
// the archive. With every retry question answered "Так", each record the
// controller holds is stored once, in order; a page or block that brings
// nothing new is asked for again, never stored twice.
#include <string>

#include "common/Question.h"
#include "readers/ReadersFixture.h"

using namespace readers;

namespace {

class StaleReplies : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        drv->onModal<TFormQues>([this](TFormQues& q) {
            ++questions;
            q.Answer(true);
        });
    }
    std::vector<Bytes> Expected(emu::Archive a, int line, DeviceDateTime from, DeviceDateTime to) {
        return model.Records(a, line, Emu(from), Emu(to));
    }
    static Bytes Broken(Bytes r) {
        r.back() ^= 0xA5;  // as the emulator spoils a record
        return r;
    }
    static Bytes Hourly(DeviceDateTime from, DeviceDateTime to) {
        return {3, 0, 0, from.year, from.month, from.day, from.hour, to.year, to.month, to.day, to.hour};
    }
    int questions = 0;
};

}  // namespace

// A gap, then a record that comes broken at the end of a full reply: it is
// stored as it came, and the date it carries moves the read on, so no hour
// is asked for twice.
TEST_F(StaleReplies, ABrokenRecordAfterAGapIsStoredOnceAndMovesTheReadOn) {
    model.AddGap(emu::Archive::ChromHourly, 0, Emu(Rec(24, 3, 19, 11)), Emu(Rec(24, 3, 19, 12)));
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10), e = Rec(24, 3, 19, 17);
    model.QueueFault({emu::ArchiveFaultKind::CorruptRecord, 1, 1});  // hour 13 of [10, 13]
    const ArchiveReadResult r = ReadHourDayArchive(*form, ArchiveKind::ChromHour, 0, b, e);
    ASSERT_EQ(views.size(), 1u);
    std::vector<Bytes> want = Expected(emu::Archive::ChromHourly, 0, b, e);
    want[1] = Broken(want[1]);
    EXPECT_EQ(Records(views[0]), want);
    EXPECT_EQ(Requests(15), (std::vector<Bytes>{Hourly(b, e), Hourly(Rec(24, 3, 19, 14), e),
                                                Hourly(Rec(24, 3, 19, 16), e)}));
    EXPECT_EQ(r.dropped, 0u);
    EXPECT_EQ(questions, 0);

    // Broken ahead of a sound record of the same reply: stored broken, in
    // its place, and not asked for again.
    emu.ClearLog();
    views.clear();
    model.QueueFault({emu::ArchiveFaultKind::CorruptRecord, 0, 1});  // hour 10 of [10, 13]
    ReadHourDayArchive(*form, ArchiveKind::ChromHour, 0, b, e);
    ASSERT_EQ(views.size(), 1u);
    want = Expected(emu::Archive::ChromHourly, 0, b, e);
    want[0] = Broken(want[0]);
    EXPECT_EQ(Records(views[0]), want);
    EXPECT_EQ(Requests(15).size(), 3u);
}

// What a power failure leaves: a gap, then damaged records. Each record the
// controller holds is stored once, as it came, without a question; the date
// a damaged record carries moves the read on, so no hour already held is
// asked for again.
TEST_F(StaleReplies, AGapFollowedByBrokenRecordsIsReadWhole) {
    model.AddGap(emu::Archive::ChromHourly, 0, Emu(Rec(24, 3, 19, 11)), Emu(Rec(24, 3, 19, 12)));
    for (int h : {10, 13, 14, 15, 16}) model.CorruptRecordAt(emu::Archive::ChromHourly, 0, Emu(Rec(24, 3, 19, h)));
    Connect();
    drv->onModal<TFormQues>([this](TFormQues& q) {
        ++questions;
        q.Answer(false);
    });
    const DeviceDateTime b = Rec(24, 3, 19, 10), e = Rec(24, 3, 19, 16);
    const ArchiveReadResult r = ReadHourDayArchive(*form, ArchiveKind::ChromHour, 0, b, e);
    ASSERT_EQ(views.size(), 1u);
    const std::vector<Bytes> want = Expected(emu::Archive::ChromHourly, 0, b, e);
    ASSERT_EQ(want.size(), 5u);
    for (const Bytes& w : want) EXPECT_FALSE(RecordCrcOk(w.data(), w.size()));
    EXPECT_EQ(Records(views[0]), want);
    EXPECT_EQ(Requests(15), (std::vector<Bytes>{Hourly(b, e), Hourly(Rec(24, 3, 19, 14), e),
                                                Hourly(Rec(24, 3, 19, 16), e)}));
    EXPECT_EQ(questions, 0);
    EXPECT_TRUE(r.complete);
    EXPECT_FALSE(r.aborted);
}

// Records broken in the controller itself come broken every time: stored
// once each, and the read goes on after them.
TEST_F(StaleReplies, RecordsBrokenInTheArchiveAreStoredOnceEach) {
    model.CorruptRecordAt(emu::Archive::ChromHourly, 0, Emu(Rec(24, 3, 19, 11)));  // ends the first reply
    model.CorruptRecordAt(emu::Archive::ChromHourly, 0, Emu(Rec(24, 3, 19, 14)));  // a whole reply broken
    model.CorruptRecordAt(emu::Archive::ChromHourly, 0, Emu(Rec(24, 3, 19, 15)));
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10), e = Rec(24, 3, 19, 17);
    ReadHourDayArchive(*form, ArchiveKind::ChromHour, 0, b, e);
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(Records(views[0]), Expected(emu::Archive::ChromHourly, 0, b, e));  // the model's are broken too
    // Each reply moves the read on by its records' dates, broken or not.
    EXPECT_EQ(Requests(15), (std::vector<Bytes>{Hourly(b, e), Hourly(Rec(24, 3, 19, 12), e),
                                                Hourly(Rec(24, 3, 19, 14), e), Hourly(Rec(24, 3, 19, 16), e)}));
}

// Replies that answer an earlier request, over the link and from the
// controller: the hourly records come once each, in order.
TEST_F(StaleReplies, HourlyReadsTakeNoReplyTwice) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 0), e = Rec(24, 3, 19, 23);
    const std::vector<Bytes> want = Expected(emu::Archive::ChromHourly, 0, b, e);
    for (const emu::Fault f : {emu::Fault{emu::FaultKind::ReplyDelay, 700}, emu::Fault{emu::FaultKind::HeldReply, 0},
                               emu::Fault{emu::FaultKind::PreviousReply, 0}}) {
        SCOPED_TRACE(int(f.kind));
        views.clear();
        emu.ClearLog();
        for (int i = 0; i < 3; ++i) emu.QueueFault({emu::FaultKind::None, 0});
        emu.QueueFault(f);  // the fourth request
        const ArchiveReadResult r = ReadHourDayArchive(*form, ArchiveKind::ChromHour, 0, b, e);
        ASSERT_EQ(views.size(), 1u);
        EXPECT_EQ(Records(views[0]), want);
        EXPECT_TRUE(r.complete);
        EXPECT_GE(questions, 1);
        questions = 0;
        emu.ClearFaults();
    }
}

// A page late by 1.5 s (five reply waits): asked again until its answer
// comes; the copies of it that follow are never stored; no page is skipped.
TEST_F(StaleReplies, APageLateByOneAndAHalfSecondsIsStoredOnce) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 8, 0, 0), e = Rec(24, 3, 19, 8, 30, 0);
    const std::vector<Bytes> want = Expected(emu::Archive::ChromMeasured, 0, b, e);
    ASSERT_GE(want.size(), 8u);
    emu.QueueFault({emu::FaultKind::None, 0});
    emu.QueueFault({emu::FaultKind::ReplyDelay, 1500});  // page 1
    const ArchiveReadResult r = ReadPeriodArchive(*form, ArchiveKind::ChromMeas, 0, b, e);
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(Records(views[0]), want);
    EXPECT_TRUE(r.complete);
    EXPECT_GE(questions, 1);
}

// The controller sends the previous page again in answer to the next: that
// page brings nothing new, is not stored, and the page is asked for again.
TEST_F(StaleReplies, APageSentAgainIsAskedForAgainNotStored) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 1, 0, 0, 0), e = Rec(24, 3, 19, 0, 0, 0);
    const std::vector<Bytes> want = Expected(emu::Archive::Diagnostic, 0, b, e);
    ASSERT_GE(want.size(), 30u);  // three pages at least
    emu.QueueFault({emu::FaultKind::None, 0});
    emu.QueueFault({emu::FaultKind::PreviousReply, 0});  // page 1 brings page 0 again
    ReadAlaByPeriod(*form, b, e);
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(Records(views[0]), want);
    EXPECT_EQ(questions, 1);
    std::vector<int> pages;
    for (const Bytes& q : Requests(8)) pages.push_back(q.at(2));
    ASSERT_GE(pages.size(), 4u);
    EXPECT_EQ(std::vector<int>(pages.begin(), pages.begin() + 4), (std::vector<int>{0, 1, 1, 2}));
    EXPECT_EQ(form->StatusBar1.PanelText(2), "");
}

// The same for blocks by index: a block that repeats the one before is
// asked for again; late blocks are stored once.
TEST_F(StaleReplies, IndexBlocksSentAgainOrLateAreStoredOnce) {
    Connect();
    const auto [oldest, newest] = model.IndexBounds(emu::Archive::Diagnostic);
    ASSERT_GT(newest, oldest + 60);
    const uint32_t first = oldest + 2;
    const std::vector<Bytes> want = model.IndexRecords(emu::Archive::Diagnostic, first, 50);
    for (const emu::Fault f : {emu::Fault{emu::FaultKind::PreviousReply, 0}, emu::Fault{emu::FaultKind::ReplyDelay, 700},
                               emu::Fault{emu::FaultKind::HeldReply, 0}}) {
        SCOPED_TRACE(int(f.kind));
        views.clear();
        emu.QueueFault({emu::FaultKind::None, 0});
        emu.QueueFault(f);
        const ArchiveReadResult r = ReadAlaByIndex(*form, first, 50);
        ASSERT_EQ(views.size(), 1u);
        EXPECT_EQ(Records(views[0]), want);
        EXPECT_TRUE(r.complete);
        emu.ClearFaults();
    }
}
