// Replies that come after their attempt has given up: late, or held back
// until the next request goes out; and replies slower byte by byte than the
// byte wait, which fail their attempt and are let end before a request. Over a pseudo-terminal (direct and modem link) and over TCP
// without the pause before a send, each such reply is followed by reads of
// other tables: every read is either right or failed, never answered with
// another request's reply. A line that never goes quiet costs a failed
// exchange no more than its attempts and one reply wait.
#include "LinkFixture.h"

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "link/DripPeer.h"
#include "support/EmulatorLink.h"

using namespace linktest;

namespace {

enum class Line { Direct, Modem, Tcp };

std::string Name(Line l) {
    switch (l) {
    case Line::Direct: return "Direct";
    case Line::Modem: return "Modem";
    default: return "Tcp";
    }
}

class LateReply : public ::testing::TestWithParam<Line> {
protected:
    void SetUp() override {
        const std::filesystem::path dir = MakeWorkDir("late-" + Name(GetParam()));
        if (GetParam() == Line::Tcp) {
            zbr_test::OpenOverTcp(emu, box);
        } else {
            emu.SetLineBaud(57600);
            OpenOverPty(emu, box, dir, 5, 57600,
                        GetParam() == Line::Modem ? hgcbox::kLinkModem : hgcbox::kLinkDirect);
        }
        box.ReplyTimeoutMs = 300;
        box.ByteTimeoutMs = 40;
    }
    void TearDown() override {
        box.ClosePort();
        box.CloseSocket();
        emu.Stop();
    }

    // Reads row `first` of table t; kRight when the reply is that row as the
    // controller has it, kFailed when the exchange failed, kWrong otherwise.
    enum Outcome { kRight, kFailed, kWrong };
    Outcome Read(uint8_t t, uint8_t first) {
        if (!ReadRows(box, t, first, 1)) return kFailed;
        const auto shape = emu::Shape(t);
        const std::vector<uint8_t> table = emu.Table(t);
        const bool echo = box.Rx[3] == 0x81 && box.Rx[5] == t && box.Rx[6] == first && box.Rx[7] == 1;
        const bool rows = box.RxLen == 10u + shape.size &&
                          std::memcmp(box.Rx + 8, table.data() + std::size_t(first) * shape.size, shape.size) == 0;
        return echo && rows ? kRight : kWrong;
    }

    // After the spoilt read: twelve reads of other tables and rows, every
    // one of them right.
    void ExpectTheNextReadsRight() {
        static const uint8_t kReads[][2] = {{5, 0}, {6, 0}, {9, 0}, {5, 1}, {14, 0}, {0, 0},
                                            {4, 0}, {5, 2}, {3, 0}, {22, 4}, {23, 1}, {2, 0}};
        for (const auto& r : kReads) {
            // Table 2 is the running clock: only its echo and length can be compared.
            if (r[0] == 2) {
                ASSERT_TRUE(ReadRows(box, 2, 0, 1)) << box.ErrorText();
                EXPECT_EQ(box.Rx[5], 2);
                continue;
            }
            EXPECT_EQ(Read(r[0], r[1]), kRight) << "table " << int(r[0]) << " row " << int(r[1]) << ": "
                                                << box.ErrorText();
        }
    }

    emu::Emulator emu;
    hgcbox box{1};
};

}  // namespace

// One attempt: the spoilt read fails, and the reply that still comes is
// never taken for the next request's.
TEST_P(LateReply, OneAttemptFailsAndTheNextReadsAreRight) {
    box.Retries = 1;
    const struct {
        emu::FaultKind kind;
        int param;
        uint32_t error;
    } cases[] = {
        {emu::FaultKind::ReplyDelay, 400, hgcbox::kErrNoReply},  // 100 ms after the wait gave up
        {emu::FaultKind::HeldReply, 0, hgcbox::kErrNoReply},  // comes when the next request goes out
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.kind));
        emu.QueueFault({c.kind, c.param});
        EXPECT_EQ(Read(3, 0), kFailed);
        EXPECT_EQ(box.Error, c.error);
        EXPECT_EQ(box.LineUnsettled(), c.kind != emu::FaultKind::HeldReply || box.Counters.foreignReplies == 0);
        ExpectTheNextReadsRight();
        EXPECT_FALSE(box.LineUnsettled());
    }
}

// Two attempts, the second sent as soon as the first gives up: the late
// reply to the first answers the same request and is taken, and the reply
// to the second does not meet the next request.
TEST_P(LateReply, TwoAttemptsTheSecondIsRightAndSoAreTheNext) {
    box.Retries = 2;
    for (const emu::Fault& f : {emu::Fault{emu::FaultKind::ReplyDelay, 400}, emu::Fault{emu::FaultKind::HeldReply, 0}}) {
        SCOPED_TRACE(int(f.kind));
        emu.QueueFault(f);
        ASSERT_FALSE(box.LineUnsettled());
        const uint64_t settles = box.Counters.settles;
        EXPECT_EQ(Read(3, 0), kRight) << box.ErrorText();
        EXPECT_EQ(box.Counters.settles, settles);  // no wait between the attempts
        ExpectTheNextReadsRight();
    }
}

// A reply whose bytes come slower than the byte wait fails its attempt
// (error 5). The repeat is not sent into it: that frame is let end at its
// pace and dropped first, and the repeat reads its own reply. A read given
// up half-way through such a reply (Esc) leaves it coming: the next request
// waits until that frame has ended, long past one reply wait, and gets its
// own reply.
TEST_P(LateReply, ADrippingReplyFailsOnceAndTheRepeatGoesOutAfterIt) {
    box.Retries = 2;
    // 30 bytes, each 60 ms after the one before: 1.7 s, the byte wait 40 ms.
    emu.ClearLog();
    emu.QueueFault({emu::FaultKind::ByteDelay, 60});
    const uint64_t dropped = box.Counters.droppedBytes;
    auto asked = std::chrono::steady_clock::now();
    EXPECT_EQ(Read(5, 0), kRight) << box.ErrorText();
    EXPECT_GE(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(1700));
    ASSERT_EQ(emu.Log().size(), 2u);  // the request and its repeat
    EXPECT_TRUE(emu.Log()[1].complete && emu.Log()[1].crcOk);
    // What the failed attempt had not read of the slow reply went by, to its
    // last byte, before the repeat went out.
    EXPECT_GE(box.Counters.droppedBytes - dropped, 25u);
    ExpectTheNextReadsRight();

    emu.QueueFault({emu::FaultKind::ByteDelay, 60});
    asked = std::chrono::steady_clock::now();
    platform::SetMessagePump([&] {
        if (box.Busy() && std::chrono::steady_clock::now() - asked > std::chrono::milliseconds(250)) box.Abort = true;
    });
    EXPECT_EQ(Read(5, 0), kFailed);
    platform::SetMessagePump(nullptr);
    EXPECT_EQ(box.Error, hgcbox::kErrAborted);
    emu.ClearLog();
    const uint64_t settles = box.Counters.settles;
    EXPECT_EQ(Read(5, 1), kRight) << box.ErrorText();
    EXPECT_GE(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(1700));
    ASSERT_EQ(emu.Log().size(), 1u);
    EXPECT_EQ(box.Counters.settles, settles + 1);
    ExpectTheNextReadsRight();
}

// The byte wait the operator sets decides: from its address on, a reply
// whose next byte comes more than the byte wait after the one before fails
// its attempt (error 5), however long the reply wait.
TEST_P(LateReply, TheByteWaitDecides) {
    box.Retries = 1;
    box.ReplyTimeoutMs = 2000;
    box.ByteTimeoutMs = 100;
    auto timedRead = [this](Outcome& o) {
        const auto t0 = std::chrono::steady_clock::now();
        o = Read(3, 0);
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    };
    Outcome o;
    // A reply that stops after 5 of its 11 bytes: one byte wait after the
    // last of them.
    emu.QueueFault({emu::FaultKind::CutFrame, 5});
    int64_t ms = timedRead(o);
    EXPECT_EQ(o, kFailed);
    EXPECT_EQ(box.Error, hgcbox::kErrByteTimeout) << box.ErrorText();
    EXPECT_GE(ms, 100);
    EXPECT_LT(ms, 500);
    EXPECT_EQ(Read(3, 0), kRight) << box.ErrorText();

    // 150 ms between the bytes: read with a byte wait of 300 ms ...
    box.ByteTimeoutMs = 300;
    emu.QueueFault({emu::FaultKind::ByteDelay, 150});
    ms = timedRead(o);
    EXPECT_EQ(o, kRight) << box.ErrorText();
    EXPECT_GE(ms, 1500);
    // ... and failed with one of 100 ms, at the first gap past it.
    box.ByteTimeoutMs = 100;
    emu.QueueFault({emu::FaultKind::ByteDelay, 150});
    ms = timedRead(o);
    EXPECT_EQ(o, kFailed);
    EXPECT_EQ(box.Error, hgcbox::kErrByteTimeout) << box.ErrorText();
    EXPECT_LT(ms, 800);
    ExpectTheNextReadsRight();
}

// The case of the field report: one read whose reply comes 400 ms late
// (reply wait 300 ms, two attempts), then a hundred reads.
TEST_P(LateReply, AHundredReadsAfterALateOne) {
    box.Retries = 2;
    emu.QueueFault({emu::FaultKind::ReplyDelay, 400});
    EXPECT_EQ(Read(5, 0), kRight) << box.ErrorText();
    int right = 0, failed = 0, wrong = 0;
    for (int i = 0; i < 100; ++i) {
        const uint8_t t = (i % 2) ? 6 : 5;
        const uint8_t row = uint8_t((i / 2) % 3);
        switch (Read(t, t == 5 ? row : 0)) {
        case kRight: ++right; break;
        case kFailed: ++failed; break;
        default: ++wrong; break;
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(right, 100);
}

// A clean exchange leaves nothing to wait for: no settle wait, nothing
// dropped. Only the failed one costs a wait.
TEST_P(LateReply, ACleanExchangeWaitsForNothing) {
    box.Retries = 1;
    for (int i = 0; i < 20; ++i) ASSERT_EQ(Read(5, 0), kRight) << box.ErrorText();
    EXPECT_EQ(box.Counters.settles, 0u);
    EXPECT_EQ(box.Counters.droppedBytes, 0u);
    EXPECT_FALSE(box.LineUnsettled());

    // No reply: the next request lets the line settle; nothing went by
    // meanwhile, so the reply it gets may have been the silent request's,
    // and the line is let settle once more after it. Then no more waits.
    emu.QueueFault({emu::FaultKind::Silence, 0});
    EXPECT_EQ(Read(5, 0), kFailed);
    EXPECT_TRUE(box.LineUnsettled());
    EXPECT_EQ(Read(5, 0), kRight);
    EXPECT_EQ(box.Counters.settles, 1u);
    EXPECT_TRUE(box.LineUnsettled());
    for (int i = 0; i < 5; ++i) ASSERT_EQ(Read(5, 0), kRight);
    EXPECT_EQ(box.Counters.settles, 2u);

    // A late reply seen go by in the wait ends the matter there.
    emu.QueueFault({emu::FaultKind::ReplyDelay, 400});
    EXPECT_EQ(Read(5, 0), kFailed);
    EXPECT_EQ(Read(5, 0), kRight);
    EXPECT_GT(box.Counters.droppedBytes, 0u);
    EXPECT_FALSE(box.LineUnsettled());
    EXPECT_EQ(box.Counters.settles, 3u);

    // An error reply is a whole reply: nothing is left on the way.
    emu.QueueFault({emu::FaultKind::ErrorReply, 9});
    EXPECT_EQ(Read(5, 0), kFailed);
    EXPECT_EQ(box.Error, hgcbox::kErrDevice);
    EXPECT_FALSE(box.LineUnsettled());

    // A caller that finds the reply answering another request says so: the
    // next request lets the line settle.
    box.ReplyMismatch();
    EXPECT_EQ(box.Error, hgcbox::kErrForeignReply);
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Отримано відповідь на попередній запит");
    EXPECT_TRUE(box.LineUnsettled());
    EXPECT_EQ(Read(5, 0), kRight);
    EXPECT_EQ(Read(5, 0), kRight);
    EXPECT_EQ(Read(5, 0), kRight);
    EXPECT_EQ(box.Counters.settles, 5u);
}

// A table reply that echoes other rows is put aside: when the right one
// follows within the reply wait, that one is taken; when none follows, the
// one put aside is handed over and the caller's echo check fails it.
TEST_P(LateReply, AReplyEchoingOtherRowsIsPutAside) {
    box.Retries = 1;
    emu.QueueFault({emu::FaultKind::HeldReply, 0});
    EXPECT_EQ(Read(3, 0), kFailed);
    EXPECT_EQ(Read(5, 1), kRight);  // the held reply of table 3 came first
    EXPECT_EQ(box.Counters.foreignReplies, 1u);

    emu.QueueFault({emu::FaultKind::WrongEcho, 0});
    EXPECT_EQ(Read(5, 1), kWrong);  // handed over after the wait: the caller sees the echo
    EXPECT_EQ(box.Rx[6], 2);
    EXPECT_EQ(Read(5, 1), kRight);
}

// The settle wait honours Abort like every other wait of the link.
TEST_P(LateReply, AbortEndsTheQuietLineWait) {
    box.Retries = 1;
    emu.QueueFault({emu::FaultKind::Silence, 0});
    EXPECT_EQ(Read(5, 0), kFailed);
    platform::SetMessagePump([this] { box.Abort = true; });
    EXPECT_EQ(Read(5, 0), kFailed);
    platform::SetMessagePump(nullptr);
    EXPECT_EQ(box.Error, hgcbox::kErrAborted);
    EXPECT_TRUE(box.LineUnsettled());
    EXPECT_EQ(Read(5, 0), kRight);
}

INSTANTIATE_TEST_SUITE_P(Lines, LateReply, ::testing::Values(Line::Direct, Line::Modem, Line::Tcp),
                         [](const ::testing::TestParamInfo<Line>& i) { return Name(i.param); });

namespace {

class NeverQuietLine : public ::testing::TestWithParam<Line> {
protected:
    void SetUp() override {
        const std::filesystem::path dir = MakeWorkDir("noisy-" + Name(GetParam()));
        if (GetParam() == Line::Tcp) {
            box.LinkType = hgcbox::kLinkTcp;
            box.OpenPerExchange = false;
            FastTimeouts(box);
            zbr_test::ConnectTcp(box, peer.StartTcp());
        } else {
            peer.StartPty(dir / "dev" / "com5");
            box.ComPort = 5;
            box.Baud = 57600;
            box.OpenPerExchange = false;
            FastTimeouts(box);
            ASSERT_TRUE(box.OpenPort()) << box.ErrorText();
        }
        box.ReplyTimeoutMs = kReplyMs;
        box.ByteTimeoutMs = 40;
        box.Retries = 2;
    }
    void TearDown() override {
        box.ClosePort();
        box.CloseSocket();
    }

    // Reads row 0 of table 5; the milliseconds it took.
    int64_t TimedRead(bool& ok) {
        const auto t0 = std::chrono::steady_clock::now();
        ok = ReadRows(box, 5, 0, 1);
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    }

    static constexpr int64_t kReplyMs = 300;
    // Far more than the machine's scheduling adds, far less than waiting
    // for such a line to go quiet (10 s and more here).
    static constexpr int64_t kSlackMs = 1000;
    linktest::DripPeer peer;
    hgcbox box{1};
};

}  // namespace

// A byte every 50 ms, never a reply: each failed exchange takes its two
// reply waits and, after the one before, one reply wait more at most. Once
// the peer answers, the read after the failures goes out within one reply
// wait. A dead line costs the same.
TEST_P(NeverQuietLine, AFailedExchangeTakesItsAttemptsAndOneReplyWaitAtMost) {
    bool ok = true;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const int64_t ms = TimedRead(ok);
        EXPECT_FALSE(ok);
        EXPECT_EQ(box.Error, hgcbox::kErrNoReply) << box.ErrorText();
        EXPECT_LE(ms, 2 * kReplyMs + kReplyMs + kSlackMs);
        EXPECT_GE(ms, 2 * kReplyMs - 20);
    }
    EXPECT_GT(box.Counters.droppedBytes, 0u);

    peer.answer = true;
    int64_t ms = TimedRead(ok);
    ASSERT_TRUE(ok) << box.ErrorText();
    EXPECT_EQ(box.Rx[5], 5);
    EXPECT_LE(ms, kReplyMs + kSlackMs);

    peer.answer = false;
    peer.dripMs = 0;
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        ms = TimedRead(ok);
        EXPECT_FALSE(ok);
        EXPECT_EQ(box.Error, hgcbox::kErrNoReply);
        EXPECT_LE(ms, 2 * kReplyMs + kReplyMs + kSlackMs);
    }
}

// A line that keeps sending frames that look like a reply (0x33, the address
// asked, a length of 20), a byte every 60 ms (1.2 s a frame), slower than
// the byte wait: each attempt fails, and an exchange lets one frame end
// before a request, never more, so that it takes at most one frame besides
// its settle wait and its two attempts.
TEST_P(NeverQuietLine, ALineOfFramesHoldsAnExchangeOneFrameAtMost) {
    peer.frameLength = 20;
    peer.dripMs = 60;
    peer.frames = true;
    bool ok = true;
    const int64_t frameMs = 20 * 60;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const int64_t ms = TimedRead(ok);
        EXPECT_FALSE(ok);
        // The last attempt may meet the middle of a frame: no start byte in time.
        EXPECT_TRUE(box.Error == hgcbox::kErrByteTimeout || box.Error == hgcbox::kErrNoReply) << box.ErrorText();
        EXPECT_LE(ms, kReplyMs + frameMs + 2 * kReplyMs + kSlackMs);
    }
    EXPECT_GT(box.Counters.droppedBytes, 0u);
}

INSTANTIATE_TEST_SUITE_P(Lines, NeverQuietLine, ::testing::Values(Line::Direct, Line::Tcp),
                         [](const ::testing::TestParamInfo<Line>& i) { return Name(i.param); });
