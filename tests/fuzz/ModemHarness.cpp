// The modem dialogue against any answer: the modem is a peer on the master
// side of a pseudo-terminal (the program's COM handle is the raw slave: it
// purges its queues as a serial port does) that answers every
// command line it reads -- up to its CR, or "+++" -- with the next chunk of
// the script (ctl, length, bytes as in LinePeer.h; kCloseAfter hangs the
// line up, kEscape presses Esc once the chunk is out). The dialogue's waits
// are made a few milliseconds, so a silent or half-answering modem costs
// little.
//
// Promises checked: only the dialogue's own commands go out, whole; every
// call ends with one of its codes and leaves no Esc wait behind; an answer
// line is at most 255 bytes, starts at a line end and ends at one (or at
// 255), and is bytes the modem sent; a dial succeeds only after CONNECT
// came to its dial command, the readiness check only after "+CPAS: 0";
// every progress text is UTF-8.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "fuzz/ReplyHarness.h"
#include "link/Connectmodem.h"
#include "platform/Codepage.h"
#include "platform/MessagePump.h"

namespace zbr_fuzz {

namespace {

void Trace(char dir, const std::string& b) {
    static const bool on = std::getenv("ZBR_FUZZ_TRACE") != nullptr;
    if (!on) return;
    std::fprintf(stderr, "%c", dir);
    for (unsigned char c : b) std::fprintf(stderr, c >= 0x20 && c < 0x7F ? "%c" : "<%02X>", c);
    std::fprintf(stderr, "\n");
}

bool ValidUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 4;
        if (n == 4 || i + n >= s.size()) return false;
        for (std::size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n + 1;
    }
    return true;
}

std::string WithoutNul(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '\0'), s.end());
    return s;
}

class ModemPeer {
public:
    explicit ModemPeer(Script& s) : script_(s) {
        peer_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (peer_ < 0 || ::grantpt(peer_) != 0 || ::unlockpt(peer_) != 0) Fail("no pseudo-terminal");
        link = ::open(::ptsname(peer_), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (link < 0) Fail("no pseudo-terminal");
        termios tio{};
        ::tcgetattr(link, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(link, TCSANOW, &tio);
    }
    ~ModemPeer() {
        if (peer_ >= 0) ::close(peer_);
        ::close(link);
    }
    ModemPeer(const ModemPeer&) = delete;
    ModemPeer& operator=(const ModemPeer&) = delete;

    void Pump() {
        if (peer_ < 0) return;
        char buf[512];
        for (;;) {
            const ssize_t n = ::read(peer_, buf, sizeof buf);
            if (n <= 0) break;
            // The NUL after "AT+CPAS\r" is nothing to a modem.
            for (ssize_t i = 0; i < n; ++i)
                if (buf[i] != 0) in_.push_back(buf[i]);
        }
        while (peer_ >= 0) {
            const std::size_t cr = in_.find('\r');
            const std::size_t plus = in_.find("+++");
            std::size_t end;
            if (plus != std::string::npos && (cr == std::string::npos || plus < cr)) end = plus + 3;
            else if (cr != std::string::npos) end = cr + 1;
            else return;
            const std::string command = in_.substr(0, end);
            in_.erase(0, end);
            received += command;
            lastCommand = command;
            Trace('>', command);
            const PeerReply reply = script_.Answer(Bytes(command.begin(), command.end()));
            std::size_t sent = 0;
            while (sent < reply.bytes.size()) {
                const ssize_t n = ::write(peer_, reply.bytes.data() + sent, reply.bytes.size() - sent);
                if (n <= 0) break;
                sent += std::size_t(n);
            }
            const std::string out(reply.bytes.begin(), reply.bytes.begin() + std::ptrdiff_t(sent));
            Trace(reply.none ? '.' : '<', out);
            stream += out;
            if (reply.ctl & PeerReply::kEscape) ModemEscapePressed(nullptr);
            if (reply.ctl & PeerReply::kCloseAfter) {
                ::close(peer_);
                peer_ = -1;
            }
        }
    }

    int link = -1;         // the program's "COM port"
    std::string received;  // every command the modem read, NULs dropped
    std::string lastCommand;
    std::string stream;    // everything the modem said

private:
    Script& script_;
    int peer_ = -1;
    std::string in_;
};

// True when `text` is a run of the `allowed` commands.
bool MadeOf(const std::string& text, const std::vector<std::string>& allowed) {
    std::vector<bool> reach(text.size() + 1, false);
    reach[0] = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!reach[i]) continue;
        for (const std::string& c : allowed)
            if (!c.empty() && text.compare(i, c.size(), c) == 0) reach[i + c.size()] = true;
    }
    return reach[text.size()];
}

std::string Take(Script& s, std::size_t maxLength) {
    const std::size_t n = s.Choice() % (maxLength + 1);
    std::string out;
    for (std::size_t i = 0; i < n; ++i) out.push_back(static_cast<char>(s.Choice()));
    return out;
}

}  // namespace

void RunModem(Script& s) {
    ModemTimings& t = ModemTiming();
    const ModemTimings saved = t;
    t = ModemTimings{.prepareTimeoutMs = 5,
                     .escapeGuardMs = 0,
                     .beforeDialMs = 0,
                     .betweenCommandsMs = 0,
                     .afterConnectMs = 0,
                     .gsmTimeoutMs = 5,
                     .hangUpTimeoutMs = 5,
                     .hangUpGuardMs = 0,
                     .dialWaitUnitMs = 5};
    ModemPeer peer(s);
    platform::SetMessagePump([&] { peer.Pump(); });
    ModemPanel panel = [](const std::string& text) { Check(ValidUtf8(text), "a progress text that is not UTF-8"); };
    std::vector<std::string> allowed = {"ATE0\r", "ATV1\r", "+++", "ath\r", "AT+CPAS\r"};

    for (int i = 0; i < 4 && !s.Done(); ++i) {
        const uint8_t op = s.Choice();
        const ModemPanel& shown = (op & 8) ? panel : ModemPanel{};
        const std::size_t streamBefore = peer.stream.size();
        switch (op & 7) {
            case 0: {
                const int code = PrepareModem(peer.link, shown);
                Check(code >= 0 && code < kModemCodeCount, "PrepareModem: a code out of range");
                break;
            }
            case 1: {
                const bool ready = CheckGsmReady(peer.link, shown);
                if (ready)
                    Check(peer.stream.find("+CPAS: 0", streamBefore) != std::string::npos,
                          "GSM ready without \"+CPAS: 0\"");
                break;
            }
            case 2:
            case 3: {
                const uint32_t attempts = s.Choice() % 4;
                const uint32_t wait = s.Choice() % 4;
                std::string phone = Take(s, 16);
                for (char& c : phone) c = "0123456789 -()+*#"[static_cast<unsigned char>(c) % 17];
                const std::string init = Take(s, 40);
                for (const std::string& c : SplitInitCommands(init))
                    allowed.push_back(WithoutNul(platform::Utf8ToCp1251(c)));
                const std::string dial = "ATD" + StripPhoneNumber(phone) + "\r";
                allowed.push_back(dial);
                const int code = DialModem(peer.link, phone, init, nullptr, shown, attempts, wait);
                Check(code >= 0 && code < kModemCodeCount, "DialModem: a code out of range");
                if (code == kModemOk) {
                    Check(peer.lastCommand == dial, "a dial connected without its dial command");
                    const std::string said = peer.stream.substr(streamBefore);
                    Check(said.find("ONNE") != std::string::npos || said.find("onne") != std::string::npos,
                          "a dial connected without CONNECT");
                }
                break;
            }
            case 4:
            case 5: {
                const int code = HangUpModem(peer.link, op & 1);
                Check(code >= 0 && code < kModemCodeCount, "HangUpModem: a code out of range");
                break;
            }
            default: {
                const std::string command = Take(s, 24) + "\r";
                // The peer cuts lines at CR and "+++"; the command's pieces are what it reads.
                allowed.push_back(WithoutNul(platform::Utf8ToCp1251(command)));
                std::string answer;
                const int code = SendAtCommand(peer.link, command, answer, 5, nullptr, shown);
                Check(code >= 0 && code < kModemCodeCount, "SendAtCommand: a code out of range");
                Check(answer.size() <= kModemAnswerMax, "an answer line longer than 255 bytes");
                if (code == kModemEscape) {
                    Check(answer == "Escape...", "Esc without its answer text");
                } else if (code != kModemTimeout) {
                    Check(!answer.empty() && (answer[0] == '\r' || answer[0] == '\n'),
                          "an answer line that does not start at a line end");
                    Check(answer.size() == kModemAnswerMax ||
                              (answer.size() > 3 && (answer.back() == '\r' || answer.back() == '\n')),
                          "an answer line cut short");
                    // (A tail of an earlier answer still on its way when the
                    // port was purged may begin the line.)
                    Check(peer.stream.find(answer) != std::string::npos, "an answer the modem never sent");
                    Check(code == ModemAnswerCode(answer), "an answer given another code");
                }
                break;
            }
        }
        Check(!ModemWaiting(), "an Esc wait left behind");
        Check(!ModemEscapePressed(nullptr), "Esc taken with no wait running");
        // Whole commands only; a command that holds "+++" or a CR reaches
        // the modem in pieces, which the peer answers one by one.
        std::vector<std::string> pieces;
        for (const std::string& c : allowed) {
            std::size_t p = 0;
            while (p < c.size()) {
                const std::size_t cr = c.find('\r', p);
                const std::size_t plus = c.find("+++", p);
                std::size_t end = c.size();
                if (plus != std::string::npos && (cr == std::string::npos || plus < cr)) end = plus + 3;
                else if (cr != std::string::npos) end = cr + 1;
                pieces.push_back(c.substr(p, end - p));
                p = end;
            }
        }
        Check(MadeOf(peer.received, pieces), "the modem got a command the dialogue does not send");
    }
    platform::SetMessagePump(nullptr);
    t = saved;
}

}  // namespace zbr_fuzz
