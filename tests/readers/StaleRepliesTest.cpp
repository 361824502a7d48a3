// The archive readers against replies that are not the answer to the
// request they come after -- late, held back until the next request, the
// previous reply sent again -- and against broken records after a gap in
// the archive or at the end of a reply. With every retry question answered
// "Так", each record the controller holds is stored once, in order; a page
// or block that brings nothing new is asked for again, never stored twice.
#include <string>

#include "common/Question.h"
#include "readers/ReadersFixture.h"

using namespace readers;

namespace {

// Reads whose replies end with a broken record: 72 hours of the
// chromatograph (2 records a reply), 15 of its days, 72 hours of the
// moisture meter (8 a reply); `broken` ends a reply.
struct EndingCase {
    const char* what;
    ArchiveKind kind;
    emu::Archive archive;
    DeviceDateTime begin, end, broken;
    std::size_t records;
    int far;  // steps a record spoilt on its way out is moved: far, -far, 1, ...
};
const EndingCase kEndingCases[] = {
    {"chromatograph hours", ArchiveKind::ChromHour, emu::Archive::ChromHourly, Rec(24, 3, 17, 0), Rec(24, 3, 19, 23),
     Rec(24, 3, 17, 21), 72, 5},
    {"chromatograph days", ArchiveKind::ChromDay, emu::Archive::ChromDaily, Rec(24, 3, 1), Rec(24, 3, 15),
     Rec(24, 3, 4), 15, 3},
    {"moisture hours", ArchiveKind::WmtHour, emu::Archive::WmtHourly, Rec(24, 3, 17, 0), Rec(24, 3, 19, 23),
     Rec(24, 3, 17, 7), 72, 5},
};

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
    // Records whose CRC fails: the rows a viewer marks as unreliable.
    static int Marked(const std::vector<Bytes>& recs) {
        int n = 0;
        for (const Bytes& r : recs) n += !RecordCrcOk(r.data(), r.size());
        return n;
    }
    // The last record of every full reply of the next 200 archive requests
    // goes out spoilt, its date moved by `far` steps, then -`far`, then 1,
    // and so on.
    void SpoilEveryLast(int far) {
        const int steps[] = {far, -far, 1};
        for (int i = 1; i <= 200; ++i) model.QueueFault({emu::ArchiveFaultKind::SpoilLast, steps[(i - 1) % 3], i});
    }
    // Reads `c`: the viewer shows the model's records, in order, `marked` of
    // them marked unreliable; the read is complete and asks nothing.
    void ExpectReadWhole(const EndingCase& c, int marked) {
        views.clear();
        const ArchiveReadResult r = ReadHourDayArchive(*form, c.kind, 0, c.begin, c.end);
        ASSERT_EQ(views.size(), 1u);
        const std::vector<Bytes> want = Expected(c.archive, 0, c.begin, c.end);
        ASSERT_EQ(want.size(), c.records);
        EXPECT_EQ(Marked(want), marked);
        EXPECT_EQ(views[0].count, want.size());
        EXPECT_TRUE(Records(views[0]) == want);
        EXPECT_EQ(Marked(Records(views[0])), marked);
        EXPECT_TRUE(r.complete);
        EXPECT_FALSE(r.aborted);
        EXPECT_EQ(questions, 0);
    }
    int questions = 0;
};

}  // namespace

// A gap, then a record the controller holds broken at the end of a full
// reply: stored once, as it came. Nothing vouches for its date, so the read
// asks again from the hour after the one asked for; the broken record comes
// again first and is not stored twice.
TEST_F(StaleReplies, ABrokenRecordAfterAGapIsStoredOnce) {
    model.AddGap(emu::Archive::ChromHourly, 0, Emu(Rec(24, 3, 19, 11)), Emu(Rec(24, 3, 19, 12)));
    model.CorruptRecordAt(emu::Archive::ChromHourly, 0, Emu(Rec(24, 3, 19, 13)));
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10), e = Rec(24, 3, 19, 17);
    const ArchiveReadResult r = ReadHourDayArchive(*form, ArchiveKind::ChromHour, 0, b, e);
    ASSERT_EQ(views.size(), 1u);
    const std::vector<Bytes> want = Expected(emu::Archive::ChromHourly, 0, b, e);
    ASSERT_EQ(want.size(), 6u);
    EXPECT_FALSE(RecordCrcOk(want[1].data(), want[1].size()));
    EXPECT_EQ(Records(views[0]), want);
    EXPECT_EQ(Requests(15), (std::vector<Bytes>{Hourly(b, e), Hourly(Rec(24, 3, 19, 11), e),
                                                Hourly(Rec(24, 3, 19, 15), e), Hourly(Rec(24, 3, 19, 17), e)}));
    EXPECT_EQ(r.dropped, 1u);
    EXPECT_EQ(questions, 0);

    // Broken ahead of a sound record of the same reply: that record vouches
    // for its date; stored broken, in its place, and not asked for again.
    model.Reset();
    emu.ClearLog();
    views.clear();
    model.QueueFault({emu::ArchiveFaultKind::CorruptRecord, 0, 1});  // hour 10 of [10, 11]
    ReadHourDayArchive(*form, ArchiveKind::ChromHour, 0, b, e);
    ASSERT_EQ(views.size(), 1u);
    std::vector<Bytes> first = Expected(emu::Archive::ChromHourly, 0, b, e);
    first[0] = Broken(first[0]);
    EXPECT_EQ(Records(views[0]), first);
    EXPECT_EQ(Requests(15), (std::vector<Bytes>{Hourly(b, e), Hourly(Rec(24, 3, 19, 12), e),
                                                Hourly(Rec(24, 3, 19, 14), e), Hourly(Rec(24, 3, 19, 16), e)}));

    // Broken once at the end of a reply, sound when asked for again: the
    // sound record is the one stored, once.
    emu.ClearLog();
    views.clear();
    model.QueueFault({emu::ArchiveFaultKind::CorruptRecord, 1, 1});  // hour 11 of [10, 11]
    const ArchiveReadResult again = ReadHourDayArchive(*form, ArchiveKind::ChromHour, 0, b, e);
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(Records(views[0]), Expected(emu::Archive::ChromHourly, 0, b, e));
    EXPECT_EQ(again.dropped, 1u);
    EXPECT_EQ(Requests(15), (std::vector<Bytes>{Hourly(b, e), Hourly(Rec(24, 3, 19, 11), e),
                                                Hourly(Rec(24, 3, 19, 13), e), Hourly(Rec(24, 3, 19, 15), e),
                                                Hourly(Rec(24, 3, 19, 17), e)}));
}

// What a power failure leaves: a gap, then damaged records. Each record the
// controller holds is stored once, as it came, without a question. No sound
// record vouches for the damaged records' dates, so the read goes on hour
// by hour; what comes again is not stored twice.
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
    std::vector<Bytes> asked;
    for (int h = 10; h <= 16; ++h) asked.push_back(Hourly(Rec(24, 3, 19, h), e));
    EXPECT_EQ(Requests(15), asked);
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
    // A sound record moves the read on past itself; a broken one that ends
    // its reply, one hour past the hour asked for.
    std::vector<Bytes> asked;
    for (int h : {10, 11, 13, 14, 15, 17}) asked.push_back(Hourly(Rec(24, 3, 19, h), e));
    EXPECT_EQ(Requests(15), asked);
}

// A record whose date bytes changed in the controller (its CRC fails) at the
// end of its reply, dated later inside the period: the hours between are
// still asked for and stored, each once, and the broken record once, where
// it came. The same for the moisture meter's eighth record and for a day.
TEST_F(StaleReplies, ABrokenDateAtTheEndOfAReplySkipsNoRecord) {
    struct Case {
        const char* what;
        ArchiveKind kind;
        emu::Archive archive;
        DeviceDateTime begin, end, broken;
        int steps;
    };
    const Case cases[] = {
        {"hour, 5 h later", ArchiveKind::ChromHour, emu::Archive::ChromHourly, Rec(24, 3, 17, 0), Rec(24, 3, 19, 23),
         Rec(24, 3, 17, 21), 5},
        {"hour, a day later", ArchiveKind::ChromHour, emu::Archive::ChromHourly, Rec(24, 3, 17, 0),
         Rec(24, 3, 19, 23), Rec(24, 3, 17, 21), 24},
        {"moisture hour, 3 h later", ArchiveKind::WmtHour, emu::Archive::WmtHourly, Rec(24, 3, 17, 0),
         Rec(24, 3, 19, 23), Rec(24, 3, 17, 7), 3},
        {"day, 3 days later", ArchiveKind::ChromDay, emu::Archive::ChromDaily, Rec(24, 3, 1), Rec(24, 3, 15),
         Rec(24, 3, 4), 3},
    };
    Connect();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        model.Reset();
        model.MoveRecordDate(c.archive, 0, Emu(c.broken), c.steps);
        views.clear();
        const ArchiveReadResult r = ReadHourDayArchive(*form, c.kind, 0, c.begin, c.end);
        ASSERT_EQ(views.size(), 1u);
        const std::vector<Bytes> want = Expected(c.archive, 0, c.begin, c.end);
        int broken = 0;
        for (const Bytes& w : want) broken += !RecordCrcOk(w.data(), w.size());
        EXPECT_EQ(broken, 1);
        EXPECT_EQ(Records(views[0]), want);
        EXPECT_TRUE(r.complete);
        EXPECT_EQ(questions, 0);
    }
}

// A controller that passes over the broken records an answer would begin
// with. The record that ends a reply is broken, its date bytes naming the
// hour (day) after its own; asked from its hour, the controller answers from
// the next one, sound. The broken record stands for the hour asked for, not
// for the one its bytes name: it is stored, once, and shown marked.
TEST_F(StaleReplies, ABrokenRecordTheControllerPassesOverIsKept) {
    Connect();
    for (const EndingCase& c : kEndingCases) {
        SCOPED_TRACE(c.what);
        model.Reset();
        model.SetSkipBrokenAtStart(true);
        model.MoveRecordDate(c.archive, 0, Emu(c.broken), 1);
        ExpectReadWhole(c, 1);
    }
}

// A controller that spoils the last record of every full reply on its way
// out, its date bytes moved later, earlier, one step later in turn; what it
// holds is sound. Asked from that record's hour (day), it sends it sound:
// that is the record stored, and none of the spoilt copies.
TEST_F(StaleReplies, RecordsSpoiltOnTheWayOutAreStoredSound) {
    Connect();
    for (const EndingCase& c : kEndingCases) {
        SCOPED_TRACE(c.what);
        model.Reset();
        SpoilEveryLast(c.far);
        ExpectReadWhole(c, 0);
    }
}

// A controller that answers every request with bytes never sent before,
// dated a day before the hour asked for and broken: each reply moves the
// read on by an hour, so it ends within the period's hours and one.
TEST_F(StaleReplies, FreshBrokenBytesForEveryRequestEndTheRead) {
    Connect();
    const DeviceDateTime b = Rec(24, 3, 19, 10), e = Rec(24, 3, 19, 19);
    for (int i = 1; i <= 40; ++i) model.QueueFault({emu::ArchiveFaultKind::FreshBytes, 24, i});
    EscAfter(15, 30);  // only so that a read that never ends still stops here
    const ArchiveReadResult r = ReadHourDayArchive(*form, ArchiveKind::ChromHour, 0, b, e);
    EXPECT_FALSE(r.aborted);
    EXPECT_EQ(r.requests, 10u);  // one for each hour
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].count, 19u);  // every record fresh, stored once; the last hour's reply holds one
    for (const Bytes& rec : Records(views[0])) EXPECT_FALSE(RecordCrcOk(rec.data(), rec.size()));
    EXPECT_EQ(questions, 0);
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
