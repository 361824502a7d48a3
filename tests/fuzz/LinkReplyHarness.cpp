// The link object against any reply: an exchange succeeds only with a whole
// frame of good CRC from this address (or the one it learns, or the new one
// a write of table 3 gives) answering this function; the frame is bytes the
// link read off the line, and the link reads no further than its frame
// (for table reads and writes a late reply it put aside may be what it
// returns: the table layer checks their echo), a frame of the reply grammar
// (ReplyFrame.h) that the reading and the waits before a request share;
// RxLen never exceeds Rx.
#include <cstring>

#include "common/Crc16.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/ReplyHarness.h"
#include "link/Hgcbox.h"
#include "link/ReplyFrame.h"
#include "platform/MessagePump.h"

namespace zbr_fuzz {

namespace {

struct Function {
    uint8_t code;
    uint32_t dataMax;  // caller's bytes of a fixed-length request
};
// The functions the link knows, and three it refuses.
constexpr Function kFunctions[] = {{1, 3},  {2, 232}, {7, 7},   {8, 15},   {12, 2}, {14, 13}, {15, 11},
                                   {16, 9}, {25, 0},  {32, 0},  {33, 0},   {0, 4},  {3, 4},   {200, 4}};
constexpr std::size_t kFunctionCount = sizeof kFunctions / sizeof kFunctions[0];

void SetCredentials(hgcbox& box) {
    std::memcpy(box.WritePassword, "12345       ", sizeof box.WritePassword);
    std::memcpy(box.UserCode, "1111", sizeof box.UserCode);
}

}  // namespace

void RunLinkReply(Script& s) {
    const uint8_t cfg = s.Choice();
    const bool tcp = (cfg & 1) == 0;
    hgcbox box(cfg & 2 ? 255 : 1);
    box.Retries = (cfg & 4) ? 2 : 1;
    box.ReplyTimeoutMs = 1;
    box.ByteTimeoutMs = 1;
    SetCredentials(box);
    LinePeer peer(s, box, tcp);
    // Every request the peer reads is the one the link is sending, whole.
    peer.onRequest = [&](const Bytes& req) {
        Check(req.size() == box.Tx[2] && std::memcmp(req.data(), box.Tx, req.size()) == 0,
              "the line carried another request than Tx");
        Check(Crc16(req.data(), req.size()) == 0, "a request with a wrong CRC");
    };
    // Esc (or the window closing) in the middle of a request.
    peer.onEscape = [&](uint8_t ctl) {
        if (ctl & PeerReply::kEscape) box.Abort = true;
    };
    platform::SetMessagePump([&] { peer.Pump(); });

    for (int i = 0; i < 6 && !s.Done(); ++i) {
        const Function f = kFunctions[s.Choice() % kFunctionCount];
        const uint8_t lengthByte = s.Choice();
        const uint32_t length = f.code == 2 ? lengthByte : lengthByte % (f.dataMax + 2);
        uint8_t data[256] = {};
        const uint32_t given = std::min<uint32_t>(length == 0 ? f.dataMax : length, sizeof data);
        for (uint32_t k = 0; k < given; ++k) data[k] = s.Choice();
        const uint8_t argument = s.Choice();

        const uint8_t addressBefore = box.Address;
        const int requestsBefore = peer.Requests();
        const bool ok = box.Exchange(f.code, data, length, argument);

        Check(box.RxLen <= sizeof box.Rx, "RxLen beyond Rx");
        if (box.RxLen != 0) Check(box.RxLen == box.Rx[2] && box.RxLen >= 6, "RxLen differs from the frame's length");
        Check(!box.ErrorText().empty(), "an exchange without a text");
        if (!ok) {
            Check(box.Error != hgcbox::kOk, "a failed exchange with error 0");
            if (box.Error == hgcbox::kErrFunction)
                Check(peer.Requests() == requestsBefore, "a refused request went out");
            // (With two attempts the first may have brought a whole error reply.)
            if (box.Retries == 1 && box.Error != hgcbox::kErrDevice && box.Error != hgcbox::kErrReplyFunction)
                Check(box.Address == addressBefore, "the address changed without a whole reply");
            continue;
        }
        Check(box.Error == hgcbox::kOk, "a successful exchange with an error");
        Check(box.Tx[3] == f.code, "Tx holds another function");
        Check(box.RxLen >= 6 && box.Rx[0] == 0x33, "success without a reply frame");
        Check(Crc16(box.Rx, box.RxLen) == 0, "success with a wrong CRC");
        Check(box.Rx[3] == (f.code | 0x80), "success with a reply to another function");
        if (box.Tx[1] == 255) {
            Check(box.Address == box.Rx[1], "the learnt address is not the reply's");
        } else {
            const bool newAddress = f.code == 2 && box.Tx[21] == 3 && box.Tx[22] == 0 && box.Rx[1] == box.Tx[24];
            Check(box.Rx[1] == box.Tx[1] || newAddress, "success with a reply from another address");
        }
        // The frame is one the reply grammar makes of its bytes: the start
        // byte, an address the request allows, its own length, whole.
        {
            ReplyFrame grammar(ReplyAddresses::Of(box.Tx), 0);
            uint32_t whole = 0;
            for (uint32_t k = 0; k < box.RxLen; ++k)
                if (grammar.Feed(box.Rx[k], 0) == ReplyFrame::Step::Complete) whole = k + 1;
            Check(whole == box.RxLen, "a reply that is no frame of the reply grammar");
        }
        // The frame is made of bytes the link took off the line.
        const std::size_t consumed = peer.Consumed();
        Check(Contains(peer.Stream(), box.Rx, box.RxLen, consumed), "a reply frame that never came on the line");
        // Only a table reply put aside can lie before the last bytes read.
        if (f.code != 1 && f.code != 2) {
            Check(consumed >= box.RxLen &&
                      std::memcmp(peer.Stream().data() + consumed - box.RxLen, box.Rx, box.RxLen) == 0,
                  "the link read past its frame");
        }
        // A table reply that echoes other rows is what the table layer turns
        // down, telling the link so.
        if ((f.code == 1 && std::memcmp(&box.Rx[5], &box.Tx[5], 3) != 0) ||
            (f.code == 2 && box.RxLen >= 8 && std::memcmp(&box.Rx[5], &box.Tx[21], 3) != 0))
            box.ReplyMismatch();
    }
    platform::SetMessagePump(nullptr);
}

}  // namespace zbr_fuzz
