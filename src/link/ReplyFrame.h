// The grammar of a reply frame as it comes off the line, byte by byte.
//
//   start    0x33; any other byte before it is dropped
//   address  one a reply to the request may come from (ReplyAddresses);
//            any other byte starts the search again, itself included
//   length   the frame's length, CRC included: 6 at least; a smaller value
//            starts the search again
//   rest     every further byte belongs to the frame until its length is
//            reached
//   gap      from its second byte on, a frame whose next byte is more than
//            the gap after the one before has stopped
//
// The link reads a reply with it (the gap being the byte wait), and the
// waits before a request follow with it what comes on the line (the gap
// being one reply wait), so that a frame still coming is told from noise
// the same way everywhere. It only recognises frames; whether a whole frame
// is the reply (its CRC, its function, its echo) is the link's business.
#pragma once
#include <cstdint>
#include <cstring>

// The addresses a reply to one request may come from.
struct ReplyAddresses {
    uint8_t asked = 0;     // the address the request went to
    bool any = false;      // the request went to 255: whichever controller answers
    int alsoFrom = -1;     // a second address (the new one a write of table 3 sets), or -1

    // The request frame `tx` (start, address, length, function, data...).
    // A write of table 3 from row 0 carries the controller's new address
    // (its byte 24), from which the reply may come.
    static ReplyAddresses Of(const uint8_t* tx) {
        ReplyAddresses a;
        a.asked = tx[1];
        a.any = tx[1] == 255;
        if (tx[3] == 2 && tx[21] == 3 && tx[22] == 0) a.alsoFrom = tx[24];
        return a;
    }
    bool Fit(uint8_t b) const { return any || b == asked || (alsoFrom >= 0 && b == uint8_t(alsoFrom)); }
};

class ReplyFrame {
public:
    static constexpr uint8_t kStart = 0x33;
    static constexpr uint8_t kMinLength = 6;  // start, address, length, function, CRC

    enum class Step {
        Dropped,   // no part of a frame (noise, or a frame given up on)
        Taken,     // the frame's next byte
        Complete,  // its last byte: Bytes() holds the whole frame
    };

    ReplyFrame() = default;
    // `gap`: the longest wait between two bytes of a frame, in the caller's
    // time unit (counter ticks).
    ReplyFrame(const ReplyAddresses& from, int64_t gap) : from_(from), gap_(gap) {}

    // The same frame followed on with another gap.
    ReplyFrame WithGap(int64_t gap) const {
        ReplyFrame f = *this;
        f.gap_ = gap;
        return f;
    }

    // One byte that came at `now`. A byte after a whole frame begins the
    // search for the next one.
    Step Feed(uint8_t b, int64_t now) {
        if (Whole()) have_ = 0;
        switch (have_) {
        case 0:
            if (b != kStart) return Step::Dropped;
            break;
        case 1:
            if (!from_.Fit(b)) {
                // Not a reply to us: look for the start again, this byte included.
                have_ = 0;
                if (b != kStart) return Step::Dropped;
            }
            break;
        case 2:
            if (b < kMinLength) {
                have_ = 0;
                return Step::Dropped;
            }
            break;
        default:
            break;
        }
        bytes_[have_++] = b;
        last_ = now;
        return Whole() ? Step::Complete : Step::Taken;
    }

    // A frame of two bytes or more whose next byte has not come within the
    // gap: it has stopped. (A lone start byte is no frame yet: the reply
    // wait, not the gap, bounds the wait for its address.)
    bool Stopped(int64_t now) const { return Begun() && now - last_ > gap_; }
    // The latest moment the next byte of a begun frame may come.
    int64_t Due() const { return last_ + gap_; }

    // Bytes of a frame so far (0 when none has begun).
    uint32_t Have() const { return have_; }
    // The start byte has come and the frame is not whole.
    bool InFrame() const { return have_ > 0 && !Whole(); }
    // Start and address have come and the frame is not whole: a frame that
    // may be a reply of ours is under way.
    bool Begun() const { return have_ >= 2 && !Whole(); }
    bool Whole() const { return have_ >= 3 && have_ >= bytes_[2]; }
    // Bytes the frame still needs (at least 1 until its length is known).
    uint32_t Missing() const {
        if (have_ < 3) return 3 - have_;
        return Whole() ? 0 : bytes_[2] - have_;
    }
    const uint8_t* Bytes() const { return bytes_; }
    int64_t LastByte() const { return last_; }
    void Clear() { have_ = 0; }

private:
    ReplyAddresses from_;
    int64_t gap_ = 0;
    uint32_t have_ = 0;
    int64_t last_ = 0;
    uint8_t bytes_[256] = {};
};
