// The controller's side of the line for the reply fuzz targets: the link
// object talks over one end of a socket pair (as its TCP socket, or as its
// serial port), and the peer at the other end answers every request it
// reads with what a Script says. The peer runs inside the program's message
// pump, so a reply is on the line the moment the link starts waiting for
// it: one exchange costs microseconds unless the reply leaves the link
// waiting for its time-outs.
//
// A Script gives both sides of a run from one byte stream, in the order the
// run asks for them: the program's choices (which request, which rows,
// the operator's answers) and the peer's replies. Each reply is a chunk
//   ctl, length (255: 255 + one more byte), bytes
// with ctl bits:
//   kCloseAfter   the peer closes the connection once the chunk is sent (TCP:
//                 the link connects anew; serial: the line is dead from then on)
//   kFixCrc       every frame found in the chunk gets its right CRC
//   kEscape       the operator presses Esc right after the chunk is sent
//   kFixRecords   the targets that know the records fix their CRCs too
//   kEscapeLater  Esc comes once the exchange is over (between requests)
// A stream that has run out chooses 0 and answers nothing and closes.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class hgcbox;

namespace zbr_fuzz {

using Bytes = std::vector<uint8_t>;

struct PeerReply {
    static constexpr uint8_t kCloseAfter = 0x01;
    static constexpr uint8_t kFixCrc = 0x02;
    static constexpr uint8_t kEscape = 0x04;
    static constexpr uint8_t kFixRecords = 0x08;
    static constexpr uint8_t kEscapeLater = 0x10;
    uint8_t ctl = 0;
    Bytes bytes;
    bool none = false;  // the stream had no reply left: silence, and the line closes
};

class Script {
public:
    virtual ~Script() = default;
    // A choice of the program's side (0 once the stream has run out).
    virtual uint8_t Choice() = 0;
    // True once the stream has nothing more to give.
    virtual bool Done() const = 0;
    // The controller's answer to one request frame.
    virtual PeerReply Answer(const Bytes& request) = 0;

    uint16_t Choice16() { return uint16_t(Choice() | (Choice() << 8)); }
    uint32_t Choice32() { return uint32_t(Choice16()) | (uint32_t(Choice16()) << 16); }
};

// The fuzz input as a Script.
class InputScript : public Script {
public:
    InputScript(const uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
    uint8_t Choice() override { return p_ < end_ ? *p_++ : 0; }
    bool Done() const override { return p_ >= end_; }
    PeerReply Answer(const Bytes&) override {
        PeerReply r;
        if (Done()) {
            r.none = true;
            r.ctl = PeerReply::kCloseAfter;
            return r;
        }
        r.ctl = Choice();
        std::size_t n = Choice();
        if (n == 255) n += Choice();
        n = std::min<std::size_t>(n, std::size_t(end_ - p_));
        r.bytes.assign(p_, p_ + n);
        p_ += n;
        return r;
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

// Gives every frame in `bytes` (0x33, any address, a length of 6 or more
// that fits) its right CRC.
void FixFrameCrcs(Bytes& bytes);

class LinePeer {
public:
    // Connects `box` over a fresh socket pair: as its TCP socket (with a
    // Reconnect that makes a new pair while the script has bytes left) or
    // as its serial port (kept open, a modem line without RTS switching).
    LinePeer(Script& script, hgcbox& box, bool tcp);
    ~LinePeer();  // the link's end is closed by the link object
    LinePeer(const LinePeer&) = delete;
    LinePeer& operator=(const LinePeer&) = delete;

    // Reads what the link sent and answers each whole request. Installed as
    // the message pump (or the test driver's pump hook) by the target.
    void Pump();

    // Called with each request before it is answered, and with each answer
    // before it is sent (a target may mend or note it).
    std::function<void(const Bytes& request)> onRequest;
    std::function<void(const Bytes& request, PeerReply& reply)> onAnswer;
    // Called after a chunk with kEscape or kEscapeLater went out (with its ctl).
    std::function<void(uint8_t ctl)> onEscape;

    // What the peer sent on the current connection, and on all of them.
    const Bytes& Stream() const { return stream_; }
    const std::vector<Bytes>& Chunks() const { return chunks_; }
    // Bytes sent on the current connection that the link has not read; -1
    // when the link's end is gone.
    long Unread() const;
    // Bytes of the current connection the link has taken off the line.
    std::size_t Consumed() const;
    int Requests() const { return requests_; }
    int Connections() const { return connections_; }
    bool Tcp() const { return tcp_; }

private:
    bool Connect();
    Script& script_;
    hgcbox& box_;
    bool tcp_;
    int peer_ = -1;      // our end
    int link_ = -1;      // the link's end (owned by the link object)
    Bytes in_;           // request bytes not yet cut into frames
    Bytes stream_;
    std::vector<Bytes> chunks_;
    int requests_ = 0;
    int connections_ = 0;
};

// True when `needle` occurs in `hay[0, limit)`.
bool Contains(const Bytes& hay, const uint8_t* needle, std::size_t n, std::size_t limit = SIZE_MAX);

}  // namespace zbr_fuzz
