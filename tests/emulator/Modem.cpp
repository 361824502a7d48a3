#include "emulator/Modem.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace emu {

namespace {

constexpr size_t kMaxCommandLine = 255;
// The program's and the emulator's polling blur the silence around "+++"
// by a few milliseconds; this much less than the guard time still counts.
constexpr auto kGuardTolerance = std::chrono::milliseconds(20);

char Up(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// The number after a command letter (0 when none).
int Number(const std::string& s, size_t& i) {
    long v = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && v < 100000) v = v * 10 + (s[i++] - '0');
    return static_cast<int>(v);
}

}  // namespace

Modem::Modem() { ResetSettings(); }

void Modem::ResetSettings() {
    echo_ = true;
    verbose_ = true;
    quiet_ = false;
    xLevel_ = 4;
    guardMs_ = powerOnGuardMs_;
    std::fill(std::begin(sreg_), std::end(sreg_), uint8_t{0});
    sreg_[2] = '+';
    sreg_[3] = '\r';
    sreg_[4] = '\n';
    sreg_[5] = 8;
    sreg_[12] = static_cast<uint8_t>(std::min(255, guardMs_ / 20));
}

// ---- script and settings

void Modem::QueueDial(DialAnswer a, int delayMs) {
    std::lock_guard<std::mutex> lk(m_);
    dials_.push_back({a, std::max(0, delayMs)});
}

void Modem::QueueDial(const std::vector<DialAnswer>& answers) {
    std::lock_guard<std::mutex> lk(m_);
    for (DialAnswer a : answers) dials_.push_back({a, 0});
}

void Modem::ClearDials() {
    std::lock_guard<std::mutex> lk(m_);
    dials_.clear();
}

size_t Modem::PendingDials() const {
    std::lock_guard<std::mutex> lk(m_);
    return dials_.size();
}

void Modem::SetConnectText(const std::string& text) {
    std::lock_guard<std::mutex> lk(m_);
    connectText_ = text;
}

void Modem::SetGuardTimeMs(int ms) {
    std::lock_guard<std::mutex> lk(m_);
    powerOnGuardMs_ = guardMs_ = std::max(0, ms);
    sreg_[12] = static_cast<uint8_t>(std::min(255, guardMs_ / 20));
}

int Modem::GuardTimeMs() const {
    std::lock_guard<std::mutex> lk(m_);
    return guardMs_;
}

void Modem::SetGsmStatus(int cpas) {
    std::lock_guard<std::mutex> lk(m_);
    gsmStatus_ = cpas;
}

void Modem::SetPowered(bool on) {
    std::lock_guard<std::mutex> lk(m_);
    powered_ = on;
    if (!on) {
        if (callUp_) HangUp(HangUpCause::Dtr);
        state_ = State::Command;
        lineBuf_.clear();
        ResetSettings();
    }
}

// ---- what happened

bool Modem::Connected() const {
    std::lock_guard<std::mutex> lk(m_);
    return callUp_;
}

bool Modem::Online() const {
    std::lock_guard<std::mutex> lk(m_);
    return state_ == State::Online;
}

bool Modem::Echo() const {
    std::lock_guard<std::mutex> lk(m_);
    return echo_;
}

std::vector<std::string> Modem::Commands() const {
    std::lock_guard<std::mutex> lk(m_);
    return commands_;
}

std::vector<std::string> Modem::Numbers() const {
    std::lock_guard<std::mutex> lk(m_);
    return numbers_;
}

int Modem::Calls() const {
    std::lock_guard<std::mutex> lk(m_);
    return calls_;
}

int Modem::HangUps() const {
    std::lock_guard<std::mutex> lk(m_);
    return hangUps_;
}

HangUpCause Modem::LastHangUp() const {
    std::lock_guard<std::mutex> lk(m_);
    return lastHangUp_;
}

int Modem::Escapes() const {
    std::lock_guard<std::mutex> lk(m_);
    return escapes_;
}

void Modem::ClearLog() {
    std::lock_guard<std::mutex> lk(m_);
    commands_.clear();
    numbers_.clear();
    calls_ = hangUps_ = escapes_ = 0;
    lastHangUp_ = HangUpCause::None;
}

// ---- results

std::string Modem::Result(const std::string& verbose, int numeric) const {
    if (quiet_) return {};
    return verbose_ ? "\r\n" + verbose + "\r\n" : std::to_string(numeric) + "\r";
}

// The result of a call; lower X levels tell fewer failures apart.
std::string Modem::CallResult(DialAnswer a) const {
    switch (a) {
        case DialAnswer::Connect: return Result(xLevel_ == 0 ? "CONNECT" : connectText_, 1);
        case DialAnswer::Busy: return xLevel_ >= 3 ? Result("BUSY", 7) : Result("NO CARRIER", 3);
        case DialAnswer::NoDialtone:
            return xLevel_ == 2 || xLevel_ == 4 ? Result("NO DIALTONE", 6) : Result("NO CARRIER", 3);
        case DialAnswer::NoAnswer: return xLevel_ >= 1 ? Result("NO ANSWER", 8) : Result("NO CARRIER", 3);
        case DialAnswer::NoCarrier: return Result("NO CARRIER", 3);
        case DialAnswer::Error: return Result("ERROR", 4);
        case DialAnswer::Silence: return {};
    }
    return {};
}

void Modem::HangUp(HangUpCause why) {
    callUp_ = false;
    state_ = State::Command;
    plusCount_ = 0;
    ++hangUps_;
    lastHangUp_ = why;
}

void Modem::GoOnline(Clock::time_point t) {
    state_ = State::Online;
    lastByte_ = t;
    plusCount_ = 0;
    lineBuf_.clear();
}

// Carries out one command line; returns what the modem answers.
std::string Modem::ExecuteLine(const std::string& line, Clock::time_point t) {
    size_t at = std::string::npos;
    for (size_t i = 0; i + 1 < line.size(); ++i)
        if (Up(line[i]) == 'A' && Up(line[i + 1]) == 'T') {
            at = i;
            break;
        }
    if (at == std::string::npos) return {};  // no command on the line
    commands_.push_back(line.substr(at));
    const std::string body = line.substr(at + 2);

    std::vector<std::string> info;
    bool error = false;
    size_t i = 0;
    while (i < body.size() && !error) {
        const char c = Up(body[i++]);
        switch (c) {
            case ' ': break;
            case 'E': echo_ = Number(body, i) != 0; break;
            case 'V': verbose_ = Number(body, i) != 0; break;
            case 'Q': quiet_ = Number(body, i) != 0; break;
            case 'X': {
                const int x = Number(body, i);
                if (x > 4) error = true;
                else xLevel_ = x;
                break;
            }
            case 'Z':
                Number(body, i);
                if (callUp_) HangUp(HangUpCause::Command);
                ResetSettings();
                break;
            case 'H':
                Number(body, i);
                if (callUp_) HangUp(HangUpCause::Command);
                break;
            case 'O':
                Number(body, i);
                if (!callUp_) return Result("NO CARRIER", 3);
                GoOnline(t);
                return CallResult(DialAnswer::Connect);
            case 'A': return Result("NO CARRIER", 3);  // no call is ringing
            case 'D': {
                if (callUp_) return Result("ERROR", 4);
                std::string number = body.substr(i);
                while (!number.empty() && (number.front() == ' ' || Up(number.front()) == 'T' || Up(number.front()) == 'P'))
                    number.erase(number.begin());
                if (!number.empty() && Up(number.front()) == 'L') number = lastNumber_;
                numbers_.push_back(number);
                lastNumber_ = number;
                DialScript s;
                if (!dials_.empty()) {
                    s = dials_.front();
                    dials_.pop_front();
                }
                if (s.answer == DialAnswer::Silence) return {};
                if (s.delayMs > 0) {
                    state_ = State::Dialling;
                    pending_ = s.answer;
                    dialDue_ = t + std::chrono::milliseconds(s.delayMs);
                    return {};
                }
                if (s.answer == DialAnswer::Connect) {
                    callUp_ = true;
                    ++calls_;
                    GoOnline(t);
                }
                return CallResult(s.answer);
            }
            case 'S': {
                const int n = Number(body, i);
                if (n > 255) {
                    error = true;
                } else if (i < body.size() && body[i] == '=') {
                    ++i;
                    const int v = Number(body, i);
                    if (v > 255) error = true;
                    sreg_[n] = static_cast<uint8_t>(v);
                    if (n == 12) guardMs_ = v * 20;
                } else if (i < body.size() && body[i] == '?') {
                    ++i;
                    char b[8];
                    std::snprintf(b, sizeof b, "%03d", sreg_[n]);
                    info.push_back(b);
                } else {
                    error = true;
                }
                break;
            }
            case 'I':
                Number(body, i);
                info.push_back("ZBR modem emulator");
                break;
            case 'L': case 'M': case 'B': case 'C': case 'N': case 'W': case 'Y': case 'P': case 'T':
                Number(body, i);
                break;
            case '&': case '%': case '\\': {
                if (i >= body.size()) {
                    error = true;
                    break;
                }
                const char d = Up(body[i++]);
                Number(body, i);
                if (c == '&' && d == 'F') {
                    if (callUp_) HangUp(HangUpCause::Command);
                    ResetSettings();
                }
                break;
            }
            case '+': {
                size_t end = body.find(';', i);
                if (end == std::string::npos) end = body.size();
                std::string name = "+";
                for (size_t k = i; k < end; ++k) name.push_back(Up(body[k]));
                i = end < body.size() ? end + 1 : end;
                if (name == "+CPAS") {
                    if (gsmStatus_ < 0) error = true;
                    else info.push_back("+CPAS: " + std::to_string(gsmStatus_));
                } else if (name == "+CPAS=?") {
                    info.push_back("+CPAS: (0-5)");
                } else if (name == "+CSQ") {
                    info.push_back("+CSQ: 20,99");
                } else if (name == "+CREG?") {
                    info.push_back("+CREG: 0,1");
                }
                break;
            }
            default: error = true; break;
        }
    }
    if (error) return Result("ERROR", 4);
    std::string out;
    for (const std::string& s : info) out += verbose_ ? "\r\n" + s + "\r\n" : s + "\r\n";
    return out + Result("OK", 0);
}

// ---- the line

std::string Modem::FromProgram(const uint8_t* p, int n, Clock::time_point t, std::string& reply) {
    std::lock_guard<std::mutex> lk(m_);
    std::string pass;
    if (!powered_) return pass;
    const auto guard = std::chrono::milliseconds(guardMs_);
    for (int k = 0; k < n; ++k) {
        const uint8_t b = p[k];
        switch (state_) {
            case State::Online:
                if (b == sreg_[2]) {
                    if (plusCount_ == 0) {
                        if (t - lastByte_ + kGuardTolerance >= guard) {
                            plusCount_ = 1;
                            lastPlus_ = t;
                        }
                    } else if (plusCount_ < 3 && t - lastPlus_ < guard) {
                        ++plusCount_;
                        lastPlus_ = t;
                    } else {
                        plusCount_ = 0;
                    }
                } else {
                    plusCount_ = 0;
                }
                lastByte_ = t;
                pass.push_back(static_cast<char>(b));  // the escape goes down the line too
                break;
            case State::Dialling:
                // Any character cancels a call being dialled.
                state_ = State::Command;
                reply += Result("NO CARRIER", 3);
                break;
            case State::Command:
                if (b == 0) break;
                if (echo_) reply.push_back(static_cast<char>(b));
                if (b == sreg_[3]) {
                    const std::string line = lineBuf_;
                    lineBuf_.clear();
                    reply += ExecuteLine(line, t);
                } else if (b == sreg_[4]) {
                    // line feeds are not part of a command
                } else if (b == sreg_[5]) {
                    if (!lineBuf_.empty()) lineBuf_.pop_back();
                } else if (lineBuf_.size() < kMaxCommandLine) {
                    lineBuf_.push_back(static_cast<char>(b));
                }
                break;
        }
    }
    return pass;
}

std::string Modem::Tick(Clock::time_point t) {
    std::lock_guard<std::mutex> lk(m_);
    if (!powered_) return {};
    if (state_ == State::Dialling && t >= dialDue_) {
        state_ = State::Command;
        if (pending_ == DialAnswer::Connect) {
            callUp_ = true;
            ++calls_;
            GoOnline(t);
        }
        return CallResult(pending_);
    }
    if (state_ == State::Online && plusCount_ == 3 && t - lastPlus_ >= std::chrono::milliseconds(guardMs_)) {
        state_ = State::Command;
        plusCount_ = 0;
        ++escapes_;
        lineBuf_.clear();
        return Result("OK", 0);
    }
    return {};
}

void Modem::DtrDropped() {
    std::lock_guard<std::mutex> lk(m_);
    if (state_ == State::Dialling) state_ = State::Command;
    if (callUp_) HangUp(HangUpCause::Dtr);
    lineBuf_.clear();
}

// ---- ModemLink

ModemLink::ModemLink(Link& line, Modem& modem, const std::string& devicePath) : line_(line), modem_(modem) {
    if (devicePath.empty()) return;
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0) return;
    if (::inotify_add_watch(inotify_, devicePath.c_str(), IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        ::close(inotify_);
        inotify_ = -1;
    }
}

ModemLink::~ModemLink() {
    if (inotify_ >= 0) ::close(inotify_);
}

// Counts the program's handles on the device; the last one closed is the
// DTR drop. (The emulator's own handle was opened before the watch began.)
void ModemLink::WatchOpens() {
    if (inotify_ < 0) return;
    alignas(inotify_event) char buf[4096];
    for (;;) {
        const ssize_t n = ::read(inotify_, buf, sizeof buf);
        if (n <= 0) return;
        for (ssize_t off = 0; off + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buf + off);
            if (e->mask & IN_OPEN) ++opens_;
            if ((e->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) && opens_ > 0 && --opens_ == 0) modem_.DtrDropped();
            off += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        }
    }
}

int ModemLink::Read(uint8_t* buf, int cap, int timeoutMs) {
    WatchOpens();
    if (std::string say = modem_.Tick(Modem::Clock::now()); !say.empty())
        line_.Write(reinterpret_cast<const uint8_t*>(say.data()), say.size());
    uint8_t in[512];
    const int n = line_.Read(in, std::min<int>(cap, sizeof in), timeoutMs);
    if (n <= 0) return n;
    std::string reply;
    const std::string pass = modem_.FromProgram(in, n, Modem::Clock::now(), reply);
    if (!reply.empty()) line_.Write(reinterpret_cast<const uint8_t*>(reply.data()), reply.size());
    std::memcpy(buf, pass.data(), pass.size());
    return static_cast<int>(pass.size());
}

bool ModemLink::Write(const uint8_t* p, size_t n) {
    if (!modem_.Online()) return true;  // no call: the controller's bytes go nowhere
    return line_.Write(p, n);
}

}  // namespace emu
