#include "emulator/Emulator.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <random>
#include <stdexcept>
#include <thread>

#include "emulator/Controller.h"
#include "emulator/Modem.h"
#include "emulator/Protocol.h"
#include "emulator/Transport.h"

namespace emu {

namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr size_t kLogLimit = 20000;

// Sleeps until t in slices, giving up early when stop is set.
void SleepUntil(SteadyClock::time_point t, const std::atomic<bool>& stop) {
    while (!stop) {
        const auto now = SteadyClock::now();
        if (now >= t) return;
        std::this_thread::sleep_for(std::min<SteadyClock::duration>(t - now, std::chrono::milliseconds(20)));
    }
}

std::chrono::nanoseconds ByteTime(int baud) {
    return baud > 0 ? std::chrono::nanoseconds(10'000'000'000LL / baud) : std::chrono::nanoseconds(0);
}

}  // namespace

struct Emulator::Impl {
    struct Outgoing {
        std::vector<uint8_t> bytes;
        int byteDelayMs = 0;
        int replyDelayMs = 0;
        std::function<void()> after;
    };

    explicit Impl(uint32_t seed) : ctl(seed), rng(seed), archives(seed) {
        ctl.onBaudChange = [this](int baud) {
            if (lineBaud > 0 && baud > 0) lineBaud = baud;
        };
        // The archives read the controller's clock; callers that hold the
        // lock pass the time themselves.
        archives.SetClock([this] {
            std::lock_guard<std::mutex> lk(m);
            return ctl.Clock();
        });
        for (auto [command, length] : {std::pair{7, 13}, {8, 21}, {15, 17}, {16, 15}})
            ctl.SetHandler(static_cast<uint8_t>(command), length, [this](Controller& c, const Request& r) {
                const ArchiveReply a = archives.Answer(r.command, r.data, c.Clock());
                if (a.silent) {
                    Reply none;
                    none.none = true;
                    return none;
                }
                if (a.error) return c.Error(r.command, a.code);
                return c.Ok(r.command, a.data);
            });
    }

    mutable std::mutex m;
    Controller ctl;
    std::vector<uint8_t> held;  // a held reply, sent ahead of the next one
    std::vector<uint8_t> lastReply;  // the last reply frame made (for PreviousReply)
    std::mt19937 rng;
    std::deque<Fault> faults;
    ArchiveModel archives;
    std::array<bool, 3> boundsByHand{};  // tables 10, 11, 27 set through SetTable
    std::vector<ReceivedFrame> log;
    std::atomic<int> lineBaud{0};
    std::atomic<bool> rateCheck{false};
    std::atomic<bool> stop{false};

    std::unique_ptr<PtyLink> pty;
    std::string ptyLinkPath;
    std::unique_ptr<Modem> modem;          // modem mode: in front of the pty
    std::unique_ptr<ModemLink> modemLink;
    std::thread ptyThread;
    std::unique_ptr<TcpListener> tcp;
    std::thread tcpThread;

    std::optional<Outgoing> OnFrame(const ParsedFrame& f, const char* via, uint32_t lineSpeed = 0);
    void Serve(Link& link, const char* via, const std::function<bool()>& interrupted);
    void Send(Link& link, const Outgoing& out);
    // Tables 10, 11 and 27 and the contract hour follow the archives. Under the lock.
    void SyncArchives() {
        archives.SetContractHour(ctl.Table(6).at(6));
        const DeviceTime now = ctl.Clock();
        if (!boundsByHand[0]) ctl.SetTable(10, archives.IndexTable(Archive::Diagnostic, now));
        if (!boundsByHand[1]) ctl.SetTable(11, archives.IndexTable(Archive::Intervention, now));
        if (!boundsByHand[2]) ctl.SetTable(27, archives.Table27(now));
    }
    void RunAfter(const Outgoing& out) {
        if (!out.after) return;
        std::lock_guard<std::mutex> lk(m);
        out.after();
    }
};

// Decides what goes back for one received frame. Runs under the lock.
// lineSpeed: the speed the pseudo-terminal was set to when the frame came
// (0: not checked).
std::optional<Emulator::Impl::Outgoing> Emulator::Impl::OnFrame(const ParsedFrame& f, const char* via,
                                                                uint32_t lineSpeed) {
    std::lock_guard<std::mutex> lk(m);
    ReceivedFrame rf;
    rf.bytes = f.bytes;
    rf.preambles = f.preambles;
    rf.address = f.address;
    rf.command = f.command;
    rf.data = f.data;
    rf.skipped = f.skipped;
    rf.complete = f.complete;
    rf.crcOk = f.complete && f.crcOk;
    rf.via = via;
    rf.rateOk = lineSpeed == 0 || static_cast<int>(lineSpeed) == CodeToBaud(ctl.BaudCode());
    if (log.size() >= kLogLimit) log.erase(log.begin(), log.begin() + kLogLimit / 2);
    log.push_back(rf);
    ReceivedFrame& entry = log.back();

    const uint8_t own = ctl.Address();
    if (!rf.rateOk) return std::nullopt;  // bytes at another speed are noise to the controller
    if (!rf.crcOk || f.bytes.size() < static_cast<size_t>(kMinFrame) || (f.address != own && f.address != kAnyAddress))
        return std::nullopt;

    // A reply held back from an earlier request goes out first, whatever
    // becomes of this one.
    std::vector<uint8_t> earlier = std::move(held);
    held.clear();
    auto withEarlier = [&](std::optional<Outgoing> out) -> std::optional<Outgoing> {
        if (earlier.empty()) return out;
        if (!out) out.emplace();
        out->bytes.insert(out->bytes.begin(), earlier.begin(), earlier.end());
        return out;
    };

    Fault fault;
    if (!faults.empty()) {
        fault = faults.front();
        faults.pop_front();
    }
    if (fault.kind == FaultKind::Silence) return withEarlier(std::nullopt);

    SyncArchives();
    Request req{f.address, f.command, f.data};
    Reply rep;
    if (fault.kind == FaultKind::ErrorReply) {
        uint8_t table = 0;
        if (f.command == 1 && f.data.size() >= 2) table = f.data[1];
        if (f.command == 2 && f.data.size() >= 18) table = f.data[17];
        rep = ctl.Error(f.command, static_cast<uint8_t>(fault.param), table);
    } else {
        rep = ctl.Handle(req);
    }
    if (rep.none) return withEarlier(std::nullopt);

    const auto otherAddress = [&](uint8_t a) -> uint8_t {
        if (fault.param > 0 && fault.param <= 255 && fault.param != a) return static_cast<uint8_t>(fault.param);
        return static_cast<uint8_t>(a % 254 + 1);
    };

    if (fault.kind == FaultKind::WrongEcho) {
        const bool echo = !rep.IsError() && (f.command == 1 || f.command == 2) && rep.data.size() >= 4;
        if (echo && fault.param >= 0 && fault.param <= 2) {
            static const int kPos[3] = {2, 1, 3};
            rep.data[kPos[fault.param]] = static_cast<uint8_t>(rep.data[kPos[fault.param]] + 1);
        } else {
            rep.command = static_cast<uint8_t>(((rep.command & 0x7F) + 1) | 0x80);
        }
    }
    if (fault.kind == FaultKind::WrongAddress) rep.address = otherAddress(rep.address);

    std::vector<uint8_t> frame = BuildReply(rep.address, rep.command, rep.data);
    if (fault.kind == FaultKind::PreviousReply && !lastReply.empty()) std::swap(frame, lastReply);
    else lastReply = frame;
    if (fault.kind == FaultKind::BadCrc) frame[frame.size() - 2] ^= 0x5A;
    if (fault.kind == FaultKind::CutFrame) {
        size_t n = fault.param > 0 ? static_cast<size_t>(fault.param) : frame.size() / 2;
        if (n < frame.size()) frame.resize(n);
    }

    Outgoing out;
    if (fault.kind == FaultKind::Noise) {
        const int n = fault.param > 0 ? fault.param : 8;
        std::uniform_int_distribution<int> d(0, 255);
        for (int i = 0; i < n; ++i) {
            uint8_t b;
            do b = static_cast<uint8_t>(d(rng));
            while (b == kReplyStart);
            out.bytes.push_back(b);
        }
    }
    out.bytes.insert(out.bytes.end(), static_cast<size_t>(ctl.ReplyPreambles()), kPreamble);
    if (fault.kind == FaultKind::WrongAddressPrefix) {
        out.bytes.push_back(kReplyStart);
        out.bytes.push_back(otherAddress(rep.address));
    }
    if (fault.kind == FaultKind::BadLengthPrefix) out.bytes.insert(out.bytes.end(), {kReplyStart, rep.address, 3});
    if (fault.kind == FaultKind::StrayStart)
        out.bytes.insert(out.bytes.end(), {kReplyStart, otherAddress(rep.address), rep.address});
    out.bytes.insert(out.bytes.end(), frame.begin(), frame.end());
    if (fault.kind == FaultKind::ByteDelay) out.byteDelayMs = std::max(0, fault.param);
    if (fault.kind == FaultKind::ReplyDelay) out.replyDelayMs = std::max(0, fault.param);
    out.after = std::move(rep.after);
    entry.answered = true;
    if (fault.kind == FaultKind::HeldReply) {
        held = std::move(out.bytes);
        out.bytes.clear();
    }
    return withEarlier(std::move(out));
}

void Emulator::Impl::Send(Link& link, const Outgoing& out) {
    auto t = SteadyClock::now();
    if (out.replyDelayMs > 0) {
        t += std::chrono::milliseconds(out.replyDelayMs);
        SleepUntil(t, stop);
    }
    const auto byteTime = ByteTime(lineBaud);
    const auto gap = std::chrono::milliseconds(out.byteDelayMs);
    if (byteTime.count() == 0 && gap.count() == 0) {
        link.Write(out.bytes.data(), out.bytes.size());
        return;
    }
    // Each byte is there once its own time on the line has passed.
    for (size_t i = 0; i < out.bytes.size() && !stop; ++i) {
        if (i > 0) t += gap;
        t += byteTime;
        SleepUntil(t, stop);
        if (!link.Write(&out.bytes[i], 1)) return;
    }
}

// Reads requests from one link and answers them until stopped, until the
// link is gone or until `interrupted` says so (a newer TCP client).
void Emulator::Impl::Serve(Link& link, const char* via, const std::function<bool()>& interrupted) {
    FrameParser parser;
    auto lineFree = SteadyClock::now();
    uint8_t buf[512];
    // The direct line's speed, when it is checked.
    const PtyLink* direct = (&link == pty.get()) ? pty.get() : nullptr;
    auto handle = [&](const ParsedFrame& f) {
        if (lineBaud > 0) SleepUntil(lineFree, stop);  // the frame's last byte has to arrive first
        const uint32_t speed = direct && rateCheck ? std::max<uint32_t>(1, direct->LineSpeed()) : 0;
        if (auto out = OnFrame(f, via, speed)) {
            Send(link, *out);
            RunAfter(*out);
        }
    };
    while (!stop) {
        if (interrupted && interrupted()) return;
        const int n = link.Read(buf, sizeof buf, 10);
        if (n < 0) return;
        const auto now = SteadyClock::now();
        for (int i = 0; i < n && !stop; ++i) {
            auto at = now;
            if (const int baud = lineBaud; baud > 0) {
                lineFree = std::max(lineFree, now) + ByteTime(baud);
                at = lineFree;
            }
            if (auto f = parser.Feed(buf[i], at)) handle(*f);
        }
        if (n == 0)
            if (auto f = parser.Poll(now)) handle(*f);
    }
}

// ---- public API ----

Emulator::Emulator() : Emulator(1) {}
Emulator::Emulator(uint32_t seed) : impl_(std::make_unique<Impl>(seed)) {}
Emulator::~Emulator() { Stop(); }

void Emulator::SetAddress(uint8_t a) {
    std::lock_guard<std::mutex> lk(impl_->m);
    impl_->ctl.SetAddress(a);
}

uint8_t Emulator::Address() const {
    std::lock_guard<std::mutex> lk(impl_->m);
    return impl_->ctl.Address();
}

void Emulator::SetSoftwareVersion(uint8_t version) {
    std::lock_guard<std::mutex> lk(impl_->m);
    std::vector<uint8_t> t0 = impl_->ctl.Table(0);
    t0.at(3) = version;
    impl_->ctl.SetTable(0, t0);
}

void Emulator::SetLineRateCheck(bool on) { impl_->rateCheck = on; }

void Emulator::SetLineBaud(int baud) {
    std::lock_guard<std::mutex> lk(impl_->m);
    impl_->lineBaud = std::max(0, baud);
    if (baud > 0 && BaudToCode(baud) >= 0) impl_->ctl.SetBaudCode(BaudToCode(baud));
}

int Emulator::LineBaud() const { return impl_->lineBaud; }

std::string Emulator::StartPty(const std::string& linkPath) {
    namespace fs = std::filesystem;
    if (impl_->pty) throw std::runtime_error("the pseudo-terminal is already served");
    auto pty = std::make_unique<PtyLink>();
    if (!linkPath.empty()) {
        std::error_code ec;
        const fs::path p(linkPath);
        if (p.has_parent_path()) fs::create_directories(p.parent_path(), ec);
        if (fs::is_symlink(fs::symlink_status(p, ec))) fs::remove(p, ec);
        fs::create_symlink(pty->SlavePath(), p, ec);
        if (ec) throw std::runtime_error("cannot link " + linkPath + ": " + ec.message());
        impl_->ptyLinkPath = linkPath;
    }
    const std::string path = pty->SlavePath();
    impl_->pty = std::move(pty);
    impl_->stop = false;
    Link* served = impl_->pty.get();
    if (impl_->modem) {
        impl_->modemLink = std::make_unique<ModemLink>(*impl_->pty, *impl_->modem, path);
        served = impl_->modemLink.get();
    }
    impl_->ptyThread = std::thread([this, served] { impl_->Serve(*served, impl_->modem ? "modem" : "pty", nullptr); });
    return path;
}

int Emulator::StartTcp(const std::string& host, int port) {
    if (impl_->tcp) throw std::runtime_error("TCP is already served");
    impl_->tcp = std::make_unique<TcpListener>(host, port);
    impl_->stop = false;
    impl_->tcpThread = std::thread([this] {
        Impl& im = *impl_;
        while (!im.stop) {
            int fd = im.tcp->Accept(20);
            while (fd >= 0 && !im.stop) {
                FdLink link(fd);
                int next = -1;
                im.Serve(link, "tcp", [&] {
                    if (!im.tcp->Pending()) return false;
                    next = im.tcp->Accept(0);
                    return next >= 0;
                });
                fd = next;
            }
        }
    });
    return impl_->tcp->Port();
}

void Emulator::Stop() {
    impl_->stop = true;
    if (impl_->ptyThread.joinable()) impl_->ptyThread.join();
    if (impl_->tcpThread.joinable()) impl_->tcpThread.join();
    impl_->tcp.reset();
    if (!impl_->ptyLinkPath.empty() && impl_->pty) {
        namespace fs = std::filesystem;
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(impl_->ptyLinkPath, ec)) &&
            fs::read_symlink(impl_->ptyLinkPath, ec) == fs::path(impl_->pty->SlavePath()))
            fs::remove(impl_->ptyLinkPath, ec);
    }
    impl_->ptyLinkPath.clear();
    impl_->modemLink.reset();
    impl_->pty.reset();
    impl_->stop = false;
}

Modem& Emulator::EnableModem() {
    if (!impl_->modem) impl_->modem = std::make_unique<Modem>();
    return *impl_->modem;
}

Modem* Emulator::GetModem() const { return impl_->modem.get(); }

std::string Emulator::PtyPath() const { return impl_->pty ? impl_->pty->SlavePath() : std::string(); }
int Emulator::TcpPort() const { return impl_->tcp ? impl_->tcp->Port() : 0; }

void Emulator::QueueFault(Fault f) {
    std::lock_guard<std::mutex> lk(impl_->m);
    impl_->faults.push_back(f);
}

void Emulator::ClearFaults() {
    std::lock_guard<std::mutex> lk(impl_->m);
    impl_->faults.clear();
    impl_->held.clear();
}

size_t Emulator::PendingFaults() const {
    std::lock_guard<std::mutex> lk(impl_->m);
    return impl_->faults.size();
}

std::vector<ReceivedFrame> Emulator::Log() const {
    std::lock_guard<std::mutex> lk(impl_->m);
    return impl_->log;
}

void Emulator::ClearLog() {
    std::lock_guard<std::mutex> lk(impl_->m);
    impl_->log.clear();
}

std::vector<uint8_t> Emulator::Table(int n) const {
    std::lock_guard<std::mutex> lk(impl_->m);
    impl_->SyncArchives();
    return impl_->ctl.Table(n);
}

void Emulator::SetTable(int n, std::vector<uint8_t> bytes) {
    std::lock_guard<std::mutex> lk(impl_->m);
    if (n == 10 || n == 11) impl_->boundsByHand[n - 10] = true;
    if (n == 27) impl_->boundsByHand[2] = true;
    impl_->ctl.SetTable(n, std::move(bytes));
}

void Emulator::FactoryReset() {
    std::lock_guard<std::mutex> lk(impl_->m);
    impl_->ctl.FactoryReset();
    impl_->archives.Reset();
    impl_->boundsByHand = {};
}

void Emulator::SetSeed(uint32_t seed) {
    std::lock_guard<std::mutex> lk(impl_->m);
    impl_->ctl.SetSeed(seed);
    impl_->rng.seed(seed);
    impl_->archives.SetSeed(seed);
}

ArchiveModel& Emulator::Archives() { return impl_->archives; }

uint32_t Emulator::Seed() const {
    std::lock_guard<std::mutex> lk(impl_->m);
    return impl_->ctl.Seed();
}

void Emulator::SetClock(const DeviceTime6& t) {
    std::lock_guard<std::mutex> lk(impl_->m);
    impl_->ctl.SetClock(t);
}

DeviceTime6 Emulator::Clock() const {
    std::lock_guard<std::mutex> lk(impl_->m);
    return impl_->ctl.Clock();
}

void Emulator::FreezeClock(bool frozen) {
    std::lock_guard<std::mutex> lk(impl_->m);
    impl_->ctl.FreezeClock(frozen);
}

void Emulator::SetCredentials(const std::string& password, const std::string& userCode) {
    std::lock_guard<std::mutex> lk(impl_->m);
    impl_->ctl.SetCredentials(password, userCode);
}

void Emulator::SetTableDamaged(int t, bool damaged) {
    std::lock_guard<std::mutex> lk(impl_->m);
    impl_->ctl.SetDamaged(t, damaged);
}

bool Emulator::TableDamaged(int t) const {
    std::lock_guard<std::mutex> lk(impl_->m);
    return impl_->ctl.Damaged(t);
}

void Emulator::SetName(int row, const std::string& utf8) {
    std::lock_guard<std::mutex> lk(impl_->m);
    impl_->ctl.SetName(row, utf8);
}

std::vector<uint8_t> Emulator::Process(const std::vector<uint8_t>& frame) {
    FrameParser parser;
    const auto now = SteadyClock::now();
    std::optional<ParsedFrame> f;
    for (uint8_t b : frame)
        if (auto g = parser.Feed(b, now)) f = std::move(g);
    if (!f) f = parser.Poll(now + std::chrono::hours(1));
    if (!f) return {};
    auto out = impl_->OnFrame(*f, "direct");
    if (!out) return {};
    impl_->RunAfter(*out);
    return out->bytes;
}

void Emulator::WithController(const std::function<void(Controller&)>& f) {
    std::lock_guard<std::mutex> lk(impl_->m);
    f(impl_->ctl);
}

}  // namespace emu
