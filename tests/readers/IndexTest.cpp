// Reads by index (command 7) of the diagnostic messages and interventions
// against the emulator: the bounds tables, the requests of 11 or 10
// records, short replies of the archive, Esc, failures, the header.
#include "readers/ReadersFixture.h"

using namespace readers;

namespace {

class IndexRead : public ReaderTest {
protected:
    void ChooseRange(uint32_t first, uint32_t count) {
        drv->onModal<TFormIndex>([first, count](TFormIndex& d) {
            d.RadioGroup1.Select(4);
            d.Edit1.SetText(std::to_string(first));
            d.Edit2.SetText(std::to_string(count));
            d.BitBtn1.Click();
        });
    }
    static Bytes Request(uint8_t archive, uint32_t first, uint8_t count) {
        return {0, archive, uint8_t(first), uint8_t(first >> 8), uint8_t(first >> 16), uint8_t(first >> 24), count};
    }
    void ExpectRetry(bool yes) { drv->expectQuestion(7, "Не виконано читання", "чергового блоку даних", yes); }
};

}  // namespace

TEST_F(IndexRead, TwentyFiveMessagesInRequestsOfElevenElevenAndThree) {
    Connect();
    const auto [oldest, newest] = model.IndexBounds(emu::Archive::Diagnostic);
    ASSERT_GT(newest, oldest + 40);
    const uint32_t first = oldest + 3;
    ChooseRange(first, 25);
    ASSERT_TRUE(Item("NAlaInd").Click());
    EXPECT_EQ(Requests(1).front(), (Bytes{0, 10, 0, 2}));
    EXPECT_EQ(Requests(7), (std::vector<Bytes>{Request(0, first, 11), Request(0, first + 11, 11),
                                               Request(0, first + 22, 3)}));
    ASSERT_EQ(views.size(), 1u);
    const ArchiveView& v = views[0];
    EXPECT_EQ(v.kind, ArchiveKind::Diagnostic);
    EXPECT_EQ(v.mode, viewmode::kByIndex);
    EXPECT_EQ(v.firstIndex, first);
    const std::vector<Bytes> want = model.IndexRecords(emu::Archive::Diagnostic, first, 25);
    EXPECT_EQ(Records(v), want);
    EXPECT_EQ(v.header.Tag(), "ALA");
    EXPECT_EQ(v.header.FromDate, LoadRec6(want.front().data()));
    EXPECT_EQ(v.header.ToDate, LoadRec6(want.back().data()));
    EXPECT_EQ(v.header.Count(), 25u);
    EXPECT_EQ(Requests(1).back(), (Bytes{0, 41, 0, 1}));
}

// The same event twice in one second makes two records of the same bytes.
// Where they meet at the boundary of two requests, or the last request
// brings only the second of them, each is a record of its own index: both
// are kept, with no question.
TEST_F(IndexRead, EqualRecordsAtTheBoundaryOfTwoRequestsAreBothKept) {
    Connect();
    const auto [oldest, newest] = model.IndexBounds(emu::Archive::Diagnostic);
    ASSERT_GT(newest, oldest + 40);
    const uint32_t first = oldest + 3;
    model.RepeatIndex(emu::Archive::Diagnostic, first + 11);
    model.RepeatIndex(emu::Archive::Diagnostic, first + 22);
    const std::vector<Bytes> want = model.IndexRecords(emu::Archive::Diagnostic, first, 23);
    ASSERT_EQ(want.size(), 23u);
    ASSERT_EQ(want[10], want[11]);
    ASSERT_EQ(want[21], want[22]);
    ChooseRange(first, 23);
    ASSERT_TRUE(Item("NAlaInd").Click());
    EXPECT_EQ(Requests(7), (std::vector<Bytes>{Request(0, first, 11), Request(0, first + 11, 11),
                                               Request(0, first + 22, 1)}));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(Records(views[0]), want);
    EXPECT_EQ(views[0].header.Count(), 23u);
    EXPECT_TRUE(drv->messages().empty());
}

TEST_F(IndexRead, AShortAnswerGoesOnFromTheNextIndex) {
    Connect();
    const auto [oldest, newest] = model.IndexBounds(emu::Archive::Intervention);
    (void)oldest;
    // Past the newest record the archive gives what it has.
    ASSERT_EQ(ReadAudByIndex(*form, newest - 4, 20).records, 5u);
    EXPECT_EQ(Requests(7), (std::vector<Bytes>{Request(1, newest - 4, 10), Request(1, newest + 1, 10)}));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].kind, ArchiveKind::Intervention);
    EXPECT_EQ(views[0].entrySize, 24u);
    EXPECT_TRUE(drv->messages().empty());
}

TEST_F(IndexRead, EmptyArchivesAndEmptyReplies) {
    model.SetIndexBounds(emu::Archive::Intervention, 7, 7);
    model.SetIndexBounds(emu::Archive::Diagnostic, 0, 0);
    PublishBounds();
    Connect();
    drv->expectMessage(6, "В архиве нет ни одной записи", "");
    ASSERT_TRUE(Item("NAudInd").Click());
    EXPECT_EQ(drv->modalCount<TFormIndex>(), 0);

    // Bounds 0 and 0 are not an empty archive: the dialog opens.
    drv->onModal<TFormIndex>([](TFormIndex& d) {
        EXPECT_EQ(d.Panel2.Caption(), "0");
        d.BitBtn2.Click();
    });
    ASSERT_TRUE(Item("NAlaInd").Click());
    EXPECT_EQ(drv->modalCount<TFormIndex>(), 1);
    EXPECT_TRUE(Requests(7).empty());

    model.Reset();
    PublishBounds();
    const auto [oldest, newest] = model.IndexBounds(emu::Archive::Diagnostic);
    (void)newest;
    model.QueueFault({emu::ArchiveFaultKind::Empty, 0, 1});
    drv->expectMessage(6, "Немає повідомлень із заданими індексами", "");
    EXPECT_EQ(ReadAlaByIndex(*form, oldest, 5).records, 0u);
    EXPECT_TRUE(views.empty());
}

TEST_F(IndexRead, EscAndDeclinedFailures) {
    Connect();
    const auto [oldest, newest] = model.IndexBounds(emu::Archive::Diagnostic);
    (void)newest;
    EscAfter(7, 2);
    ArchiveReadResult r = ReadAlaByIndex(*form, oldest, 40);
    EXPECT_TRUE(r.aborted);
    EXPECT_EQ(r.records, 22u);
    EXPECT_EQ(Requests(7).size(), 2u);
    drv->onProcessMessages({});

    model.QueueFault({emu::ArchiveFaultKind::ErrorReply, 18, 2});
    ExpectRetry(false);
    drv->expectMessage(6, "Повідомлення про втручання оператора", "прочитані не повністю");
    r = ReadAudByIndex(*form, model.IndexBounds(emu::Archive::Intervention).first, 30);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.records, 10u);

    model.QueueFault({emu::ArchiveFaultKind::CorruptRecord, 0, 1});
    model.QueueFault({emu::ArchiveFaultKind::ShortReply, 1, 1});
    ExpectRetry(false);
    drv->expectMessage(6, "Діагностичні повідомлення", "не прочитані");
    r = ReadAlaByIndex(*form, oldest, 5);
    EXPECT_EQ(r.records, 0u);
    EXPECT_EQ(views.size(), 2u);
}
