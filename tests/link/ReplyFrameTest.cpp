// The reply frame's grammar fed byte sequences: what is dropped, what makes
// a frame, when a frame has stopped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/ReplyFrame.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A request frame to address `to` for `function` (only its first bytes and,
// for a write of table 3, bytes 21..24 count for the grammar).
Bytes Request(uint8_t to, uint8_t function, uint8_t table = 0, uint8_t row = 0, uint8_t newAddress = 0) {
    Bytes tx(256, 0);
    tx[0] = 0xCC;
    tx[1] = to;
    tx[3] = function;
    tx[21] = table;
    tx[22] = row;
    tx[24] = newAddress;
    return tx;
}

// Feeds `line` one byte a tick from `t0`; the frames completed, and the
// steps as letters (d dropped, t taken, C complete).
struct Fed {
    std::vector<Bytes> frames;
    std::string steps;
};
Fed Feed(ReplyFrame& f, const Bytes& line, int64_t t0 = 0) {
    Fed r;
    int64_t t = t0;
    for (uint8_t b : line) {
        switch (f.Feed(b, t++)) {
        case ReplyFrame::Step::Dropped: r.steps += 'd'; break;
        case ReplyFrame::Step::Taken: r.steps += 't'; break;
        case ReplyFrame::Step::Complete:
            r.steps += 'C';
            r.frames.emplace_back(f.Bytes(), f.Bytes() + f.Have());
            break;
        }
    }
    return r;
}

}  // namespace

TEST(ReplyFrameGrammar, StartAddressLengthAndTheRest) {
    ReplyFrame f(ReplyAddresses::Of(Request(1, 1).data()), 10);
    // Noise before the start byte is dropped; the frame ends at its length.
    const Bytes reply = {0x33, 1, 7, 0x81, 9, 0xAA, 0xBB};
    Bytes line = {0x00, 0xFF, 0x12};
    line.insert(line.end(), reply.begin(), reply.end());
    Fed r = Feed(f, line);
    EXPECT_EQ(r.steps, "dddttttttC");
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0], reply);
    EXPECT_TRUE(f.Whole());
    EXPECT_FALSE(f.InFrame());
    EXPECT_EQ(f.Missing(), 0u);

    // A byte after a whole frame starts the search again.
    r = Feed(f, {0x44, 0x33, 1});
    EXPECT_EQ(r.steps, "dtt");
    EXPECT_TRUE(f.Begun());

    // Until the length has come, the frame needs 3 bytes less what it has;
    // then exactly the rest of its length.
    f.Clear();
    EXPECT_EQ(f.Missing(), 3u);
    Feed(f, {0x33});
    EXPECT_EQ(f.Missing(), 2u);
    EXPECT_TRUE(f.InFrame());
    EXPECT_FALSE(f.Begun());
    Feed(f, {1, 255});
    EXPECT_EQ(f.Missing(), 252u);
}

TEST(ReplyFrameGrammar, AddressRules) {
    // Another address: the search starts again, that byte included.
    ReplyFrame f(ReplyAddresses::Of(Request(1, 1).data()), 10);
    Fed r = Feed(f, {0x33, 2, 6, 0x81, 0, 0, 0x33, 0x33, 1, 6, 0x81, 0, 0});
    EXPECT_EQ(r.steps, "tddddd" "ttttttC");
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0], (Bytes{0x33, 1, 6, 0x81, 0, 0}));

    // A request to 255 takes whichever address answers.
    ReplyFrame any(ReplyAddresses::Of(Request(255, 1).data()), 10);
    r = Feed(any, {0x33, 17, 6, 0x81, 0, 0});
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0][1], 17);

    // A write of table 3 from row 0: the old address or the new one; a write
    // of another table or from another row: the old one only.
    const Bytes write3 = Request(1, 2, 3, 0, 9);
    ReplyFrame w(ReplyAddresses::Of(write3.data()), 10);
    EXPECT_EQ(Feed(w, {0x33, 9, 6, 0x82, 0, 0}).frames.size(), 1u);
    EXPECT_EQ(Feed(w, {0x33, 1, 6, 0x82, 0, 0}).frames.size(), 1u);
    EXPECT_EQ(Feed(w, {0x33, 5, 6, 0x82, 0, 0}).frames.size(), 0u);
    for (const Bytes& other : {Request(1, 2, 4, 0, 9), Request(1, 2, 3, 1, 9), Request(1, 1, 3, 0, 9)}) {
        ReplyFrame o(ReplyAddresses::Of(other.data()), 10);
        EXPECT_EQ(Feed(o, {0x33, 9, 6, 0x82, 0, 0}).frames.size(), 0u);
    }
}

TEST(ReplyFrameGrammar, LengthsBelowSixStartTheSearchAgain) {
    ReplyFrame f(ReplyAddresses::Of(Request(1, 1).data()), 10);
    for (uint8_t len = 0; len < 6; ++len) {
        f.Clear();
        const Fed r = Feed(f, {0x33, 1, len});
        EXPECT_EQ(r.steps, "ttd") << int(len);
        EXPECT_FALSE(f.InFrame());
    }
    // The shortest frame, and the longest.
    f.Clear();
    EXPECT_EQ(Feed(f, {0x33, 1, 6, 0x81, 1, 2}).frames.size(), 1u);
    Bytes longest = {0x33, 1, 255};
    longest.resize(255, 0x33);  // start bytes inside a frame are its bytes
    const Fed r = Feed(f, longest);
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0].size(), 255u);
}

TEST(ReplyFrameGrammar, TheGapRule) {
    ReplyFrame f(ReplyAddresses::Of(Request(1, 1).data()), 100);
    // A lone start byte is no frame yet: no gap bounds it.
    f.Feed(0x33, 0);
    EXPECT_FALSE(f.Stopped(1000000));
    // From the address on, more than the gap after the last byte: stopped.
    f.Feed(1, 50);
    EXPECT_FALSE(f.Stopped(150));
    EXPECT_TRUE(f.Stopped(151));
    EXPECT_EQ(f.Due(), 150);
    f.Feed(20, 140);
    EXPECT_FALSE(f.Stopped(240));
    EXPECT_TRUE(f.Stopped(241));

    // The same frame followed on with a longer gap has not stopped.
    const ReplyFrame wider = f.WithGap(1000);
    EXPECT_FALSE(wider.Stopped(241));
    EXPECT_TRUE(wider.Stopped(1141));
    EXPECT_EQ(wider.Have(), 3u);
    EXPECT_EQ(wider.Missing(), 17u);

    // A whole frame never stops.
    ReplyFrame g(ReplyAddresses::Of(Request(1, 1).data()), 100);
    Feed(g, {0x33, 1, 6, 0x81, 0, 0});
    EXPECT_FALSE(g.Stopped(100000));
}
