// Makes the seed corpora of the reply fuzz targets (link_reply,
// table_replies, archive_replies, modem, monitors): each seed is one run of the target's
// harness with the controller emulator answering every request, some with
// a fault of the line or the archive, recorded as the input that replays
// that run.
//   make_reply_seeds <corpus folder>      (tests/fuzz/corpus)
#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "emulator/Emulator.h"
#include "config/ConfigImage.h"
#include "emulator/Modem.h"
#include "fuzz/ReplyHarness.h"

using namespace zbr_fuzz;

namespace {

// The program's choices given in advance, the emulator's replies as they
// are asked for; everything taken is written down in the input format.
class Recorder : public Script {
public:
    Recorder(std::function<Bytes(const Bytes&)> answer, std::vector<uint8_t> choices, std::map<int, uint8_t> ctl)
        : answer_(std::move(answer)), choices_(choices.begin(), choices.end()), ctl_(std::move(ctl)) {}
    uint8_t Choice() override {
        uint8_t v = 0;
        if (!choices_.empty()) {
            v = choices_.front();
            choices_.pop_front();
        }
        out.push_back(v);
        return v;
    }
    bool Done() const override { return choices_.empty(); }
    PeerReply Answer(const Bytes& request) override {
        PeerReply r;
        r.bytes = answer_(request);
        if (auto it = ctl_.find(answers_++); it != ctl_.end()) r.ctl = it->second;
        out.push_back(r.ctl);
        if (r.bytes.size() >= 255) {
            out.push_back(255);
            out.push_back(uint8_t(r.bytes.size() - 255));
        } else {
            out.push_back(uint8_t(r.bytes.size()));
        }
        out.insert(out.end(), r.bytes.begin(), r.bytes.end());
        return r;
    }
    Bytes out;

private:
    std::function<Bytes(const Bytes&)> answer_;
    std::deque<uint8_t> choices_;
    std::map<int, uint8_t> ctl_;  // ctl bytes of some answers, by their number from 0
    int answers_ = 0;
};

constexpr emu::DeviceTime6 kNow{24, 3, 20, 10, 30, 0};

struct Seed {
    std::string name;
    std::vector<uint8_t> choices;
    std::function<void(emu::Emulator&)> setUp;  // faults, tables
    std::map<int, uint8_t> ctl = {};            // ctl bytes of some answers
};

int Write(const std::filesystem::path& folder, const std::vector<Seed>& seeds, void (*run)(Script&)) {
    std::filesystem::create_directories(folder);
    for (const Seed& s : seeds) {
        emu::Emulator emu;
        emu.SetClock(kNow);
        emu.FreezeClock(true);
        if (s.setUp) s.setUp(emu);
        Recorder rec([&emu](const Bytes& request) { return emu.Process(request); }, s.choices, s.ctl);
        run(rec);
        std::ofstream f(folder / (s.name + ".bin"), std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(rec.out.data()), std::streamsize(rec.out.size()));
        std::printf("%s/%s.bin: %zu bytes\n", folder.filename().c_str(), s.name.c_str(), rec.out.size());
    }
    return int(seeds.size());
}

using V = std::vector<uint8_t>;

std::function<void(emu::Emulator&)> Fault(emu::FaultKind k, int param = 0) {
    return [k, param](emu::Emulator& e) { e.QueueFault({k, param}); };
}
std::function<void(emu::Emulator&)> ArchiveFault(emu::ArchiveFaultKind k, int param = 0, int request = 1) {
    return [k, param, request](emu::Emulator& e) { e.Archives().QueueFault({k, param, request}); };
}

// ---- link_reply: cfg, then per exchange: function pick, length, data, argument.
// Function picks: 0:1 1:2 2:7 3:8 4:12 5:14 6:15 7:16 8:25 9:32 10:33.
std::vector<uint8_t> Read(uint8_t t, uint8_t first, uint8_t rows) { return {0, 3, t, first, rows, 0}; }
std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
const std::vector<uint8_t> kHourly = {6, 11, 3, 0, 0, 24, 3, 19, 10, 24, 3, 19, 13, 0};
const std::vector<uint8_t> kDaily = {7, 9, 3, 0, 0, 24, 3, 10, 24, 3, 13, 0};
const std::vector<uint8_t> kPeriod = {3, 15, 0, 6, 0, 24, 3, 20, 9, 0, 0, 24, 3, 20, 9, 20, 0, 0};
const std::vector<uint8_t> kDiagPeriod = {3, 15, 0, 0, 0, 24, 3, 18, 0, 0, 0, 24, 3, 20, 0, 0, 0, 0};
const std::vector<uint8_t> kWriteT6 = {1, 4, 6, 0, 1, 1, 0};

std::vector<Seed> LinkSeeds() {
    using K = emu::FaultKind;
    return {
        {"read_t5", V{0} + Read(5, 0, 3), {}},
        {"reads", V{0} + Read(0, 0, 18) + Read(6, 0, 12) + Read(4, 0, 11), {}},
        {"write_t6", V{0} + kWriteT6, {}},
        {"hourly", V{0} + kHourly, {}},
        {"daily", V{0} + kDaily, {}},
        {"period", V{0} + kPeriod + kDiagPeriod, {}},
        {"index", {0, 2, 7, 0, 0, 1, 0, 0, 0, 5, 0}, {}},
        {"clock", {0, 4, 2, 0, 5, 0}, {}},
        {"unknown_function", V{0, 5, 13} + V(13, 0) + V{0}, {}},
        {"no_data", {0, 8, 0, 0, 9, 0, 0, 10, 0, 0}, {}},
        {"learn_address", V{2} + Read(3, 0, 4) + Read(5, 0, 1), {}},
        {"serial", V{1} + Read(5, 0, 3) + kHourly, {}},
        {"retry_bad_crc", V{4} + Read(5, 0, 3), Fault(K::BadCrc)},
        {"cut_frame", V{0} + Read(5, 0, 3) + Read(5, 0, 3), Fault(K::CutFrame, 9)},
        {"noise", V{0} + Read(6, 0, 12), Fault(K::Noise, 5)},
        {"wrong_address", V{4} + Read(6, 0, 12), Fault(K::WrongAddress)},
        {"wrong_address_prefix", V{0} + Read(6, 0, 12), Fault(K::WrongAddressPrefix)},
        {"bad_length_prefix", V{0} + Read(6, 0, 12), Fault(K::BadLengthPrefix)},
        {"error_reply", V{0} + Read(6, 0, 12), Fault(K::ErrorReply, 60)},
        {"wrong_echo", V{0} + Read(5, 0, 3) + Read(5, 1, 1), Fault(K::WrongEcho, 0)},
        {"held_reply", V{0} + Read(5, 0, 3) + Read(5, 1, 1) + Read(6, 0, 12), Fault(K::HeldReply)},
        {"previous_reply", V{0} + Read(5, 0, 3) + Read(6, 0, 12) + Read(6, 0, 12), [](emu::Emulator& e) {
             e.QueueFault({K::None});
             e.QueueFault({K::PreviousReply});
         }},
        {"silence", V{4} + Read(5, 0, 3), Fault(K::Silence)},
        {"new_address", V{0, 1, 4, 3, 0, 1, 7, 0} + Read(3, 0, 4), {}},
        {"escape", V{0} + Read(5, 0, 3) + Read(6, 0, 12), {}, {{0, PeerReply::kEscape}}},
    };
}

// ---- table_replies: cfg, then per operation: op, table, first, rows (see PickRange).
std::vector<uint8_t> Op(uint8_t op, uint8_t t, uint8_t first, uint8_t rows) {
    return {op, t, first, uint8_t(rows - 1)};
}

std::vector<Seed> TableSeeds() {
    using K = emu::FaultKind;
    return {
        {"read_names", V{0} + Op(0, 5, 0, 3), {}},
        {"read_names_1251", V{1} + Op(0, 5, 0, 3) + Op(1, 5, 1, 2), {}},
        {"read_ranges", V{0} + Op(0, 0, 0, 18) + Op(0, 22, 5, 10) + Op(0, 4, 3, 8), {}},
        {"write_range", V{0} + Op(1, 6, 0, 12) + Op(1, 5, 0, 3), {}},
        {"read_whole", V{0} + Op(2, 4, 0, 1) + Op(2, 13, 0, 1), {}},
        {"read_all", V{0} + Op(3, 0, 0, 1), {}},
        {"write_changed", V{0} + Op(0, 22, 0, 20) + Op(4, 22, 0, 20) + V{2, 4, 0, 7, 60, 0, 9},
         {}},
        {"write_changed_names", V{0} + Op(0, 5, 0, 3) + Op(4, 5, 0, 3) + V{1, 3, 0, 0xB2}, {}},
        {"quiet_read", V{0} + Op(8, 6, 0, 12), {}},
        {"refused", V{0} + Op(0, 4, 0, 16) + Op(1, 4, 0, 16) + Op(0, 47, 0, 1) + Op(2, 1, 0, 1), {}},
        {"wrong_echo_retry", V{0} + Op(0, 5, 0, 3) + V{1}, Fault(K::WrongEcho, 0)},
        {"wrong_echo_write", V{0} + Op(1, 6, 0, 12) + V{1}, Fault(K::WrongEcho, 2)},
        {"destroyed_table", V{0} + Op(0, 22, 0, 20) + V{0}, Fault(K::ErrorReply, 60)},
        {"bad_crc_retry", V{0} + Op(0, 6, 0, 12) + V{1}, Fault(K::BadCrc)},
        {"held_reply", V{0} + Op(0, 5, 0, 3) + V{1} + Op(0, 6, 0, 12), Fault(K::HeldReply)},
        {"two_attempts", V{2} + Op(0, 6, 0, 12) + Op(1, 6, 0, 12), [](emu::Emulator& e) {
             e.QueueFault({K::BadCrc});
             e.QueueFault({K::None});
             e.QueueFault({K::Silence});
         }},
        {"closing", V{0} + Op(0, 22, 0, 20) + Op(0, 6, 0, 12), {}, {{0, PeerReply::kEscape}}},
    };
}

// ---- archive_replies: op (kind pick | line << 4 | into << 5), a, b[, first index], answers.
std::vector<Seed> ArchiveSeeds(const emu::Emulator& probe) {
    using A = emu::ArchiveFaultKind;
    const std::vector<uint8_t> t10 = probe.Table(10), t11 = probe.Table(11);
    auto index = [](uint8_t op, uint8_t count, const std::vector<uint8_t>& table) {
        return V{op, uint8_t(count - 1), 0, table[0], table[1], table[2], table[3]};
    };
    const std::vector<uint8_t> yes(8, 1);
    // One past the newest diagnostic message.
    std::vector<uint8_t> t10Newest(t10.begin() + 4, t10.begin() + 8);
    for (auto& c : t10Newest)
        if (++c != 0) break;
    return {
        {"chrom_hour", {0, 10, 5}, {}},
        {"chrom_hour_line2", {0x10, 10, 5}, {}},
        {"chrom_hour_into", {0x20, 4, 3}, {}},
        {"chrom_day", {1, 5, 3}, {}},
        {"wmt_hour", {2, 20, 12}, {}},
        {"wmt_day", {3, 10, 9}, {}},
        {"chrom_meas", {4, 6, 3}, {}},
        {"wmt_meas", {5, 6, 2}, {}},
        {"calib", {6, 56, 56}, {}},
        {"verif", {7, 20, 12}, {}},
        {"diagnostic", {8, 8, 8}, {}},
        {"intervention", {9, 8, 8}, {}},
        {"diagnostic_index", index(10, 25, t10), {}},
        {"intervention_index", index(11, 12, t11), {}},
        {"short_reply", V{0, 10, 5} + yes, ArchiveFault(A::ShortReply, 1, 2)},
        {"corrupt_record", {0, 10, 5}, ArchiveFault(A::CorruptRecord, 1, 2)},
        {"corrupt_last", {0, 10, 5}, ArchiveFault(A::CorruptRecord, 1, 1)},
        {"early_record", V{0, 10, 5} + yes, ArchiveFault(A::EarlyRecord, 1, 2)},
        {"late_record", V{1, 5, 3} + yes, ArchiveFault(A::LateRecord, 1, 1)},
        {"empty_page", {4, 6, 3}, ArchiveFault(A::Empty, 0, 2)},
        {"archive_error", {8, 8, 8}, ArchiveFault(A::ArchiveError, 0, 1)},
        {"error_reply_retry", V{6, 56, 56} + yes, ArchiveFault(A::ErrorReply, 22, 1)},
        {"silence_declined", {7, 20, 12, 0}, ArchiveFault(A::Silence, 0, 2)},
        {"index_short", index(10, 25, t10) + yes, ArchiveFault(A::ShortReply, 2, 2)},
        {"line_late_reply", V{2, 20, 12} + yes,
         [](emu::Emulator& e) { e.QueueFault({emu::FaultKind::None}); e.QueueFault({emu::FaultKind::HeldReply}); }},
        {"broken_twice", V{0, 10, 3}, [](emu::Emulator& e) {
             e.Archives().CorruptRecordAt(emu::Archive::ChromHourly, 0, {24, 3, 20, 3, 0, 0});
         }},
        {"late_twice", V{0, 10, 5} + yes, [](emu::Emulator& e) {
             e.Archives().QueueFault({A::LateRecord, 2, 1});
             e.Archives().QueueFault({A::LateRecord, 1, 2});
         }},
        {"late_again", V{0, 10, 5} + yes, [](emu::Emulator& e) {
             e.Archives().QueueFault({A::LateRecord, 1, 1});
             e.Archives().QueueFault({A::LateRecord, 1, 2});
         }},
        {"esc_between_hours", {0, 10, 5}, {}, {{1, PeerReply::kEscapeLater}}},
        {"esc_during_hours", {0, 10, 5}, {}, {{1, PeerReply::kEscape}}},
        {"esc_between_pages", {4, 6, 3}, {}, {{1, PeerReply::kEscapeLater}}},
        {"esc_between_blocks", index(10, 25, t10), {}, {{0, PeerReply::kEscapeLater}}},
        {"index_beyond", index(10, 5, t10Newest), {}},
        {"index_repeat", index(10, 25, t10) + yes, [](emu::Emulator& e) {
             e.QueueFault({emu::FaultKind::None});
             e.QueueFault({emu::FaultKind::PreviousReply});
         }},
        {"two_attempts", {0x40, 10, 5}, [](emu::Emulator& e) {
             e.QueueFault({emu::FaultKind::None});
             e.QueueFault({emu::FaultKind::CutFrame, 20});
         }},
        {"bounds_hour", {12}, {}},
        {"bounds_day", {13}, {}},
        {"previous_page", V{4, 6, 3} + yes,
         [](emu::Emulator& e) { e.QueueFault({emu::FaultKind::None}); e.QueueFault({emu::FaultKind::PreviousReply}); }},
    };
}

// ---- modem: per step op, (dial: attempts, wait, phone, init string), the
// emulator's modem answering every command line; its clock steps two
// seconds a line, so that every "+++" has its guard time around it.
struct ModemSeed {
    std::string name;
    std::vector<uint8_t> choices;
    std::function<void(emu::Modem&)> setUp;
    std::map<int, uint8_t> ctl = {};
};

V Text(const std::string& t) {
    V out{uint8_t(t.size())};
    out.insert(out.end(), t.begin(), t.end());
    return out;
}
V Dial(uint8_t attempts, const std::string& init, uint8_t op = 2) {
    V phone = {10};
    for (char c : std::string("0001112233")) phone.push_back(uint8_t(c - '0'));
    return V{op, attempts, 1} + phone + Text(init);
}

int WriteModemSeeds(const std::filesystem::path& folder) {
    using D = emu::DialAnswer;
    auto dials = [](std::vector<D> a) { return [a](emu::Modem& m) { m.QueueDial(a); }; };
    const std::vector<ModemSeed> seeds = {
        {"dial_connect", Dial(1, "ATZ^AT&F^ATS0=0"), {}},
        {"dial_panel", Dial(1, "ATZ", 10), {}},
        {"dial_busy_then_connect", Dial(3, "ATZ"), dials({D::Busy, D::Connect})},
        {"dial_no_carrier", Dial(2, "AT&F"), dials({D::NoCarrier, D::NoDialtone})},
        {"dial_no_answer", Dial(2, ""), dials({D::NoAnswer, D::Error})},
        {"dial_silence", Dial(1, "ATZ"), dials({D::Silence})},
        {"dial_then_hang_up", Dial(1, "ATZ") + V{4}, {}},
        {"dial_then_hang_up_escape", Dial(1, "ATZ") + V{5}, {}},
        {"online_prepare", Dial(1, "ATZ") + V{0}, {}},
        {"gsm_ready", {9}, {}},
        {"gsm_not_ready", Dial(1, "ATZ"), [](emu::Modem& m) { m.SetGsmStatus(3); }},
        {"gsm_error", {1}, [](emu::Modem& m) { m.SetGsmStatus(-1); }},
        {"switched_off", Dial(1, "ATZ") + V{4}, [](emu::Modem& m) { m.SetPowered(false); }},
        {"command", V{6} + Text("ATI") + V{14} + Text("AT+CSQ"), {}},
        {"escape", Dial(2, "ATZ^AT&F"), {}, {{2, PeerReply::kEscape}}},
        {"hang_up_line", Dial(1, "ATZ") + V{4}, {}, {{4, PeerReply::kCloseAfter}}},
    };
    std::filesystem::create_directories(folder);
    for (const ModemSeed& s : seeds) {
        emu::Modem modem;
        if (s.setUp) s.setUp(modem);
        auto t = emu::Modem::Clock::time_point{} + std::chrono::hours(1);
        Recorder rec(
            [&](const Bytes& command) {
                t += std::chrono::seconds(2);
                std::string reply;
                modem.FromProgram(command.data(), int(command.size()), t, reply);
                reply += modem.Tick(t + std::chrono::seconds(1) + std::chrono::milliseconds(100));
                return Bytes(reply.begin(), reply.end());
            },
            s.choices, s.ctl);
        RunModem(rec);
        std::ofstream f(folder / (s.name + ".bin"), std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(rec.out.data()), std::streamsize(rec.out.size()));
        std::printf("%s/%s.bin: %zu bytes\n", folder.filename().c_str(), s.name.c_str(), rec.out.size());
    }
    return int(seeds.size());
}

// ---- monitors: fills (count, then table pick and the table's bytes, here
// the emulator's own), then per window: pick, how, its own bytes.
std::vector<Seed> MonitorSeeds(const emu::Emulator& probe) {
    auto fills = [&probe](std::vector<uint8_t> tables, std::map<int, std::map<int, uint8_t>> changes = {}) {
        V out{uint8_t(tables.size())};
        for (uint8_t t : tables) {
            out.push_back(uint8_t(std::find(std::begin(kMonitorTables), std::end(kMonitorTables), t) -
                                  std::begin(kMonitorTables)));
            std::vector<uint8_t> bytes = probe.Table(t);
            bytes.resize(std::size_t(ConfigTableDir[t].rows) * ConfigTableDir[t].rowSize, 0);
            for (const auto& [at, b] : changes[t]) bytes[std::size_t(at)] = b;
            out.insert(out.end(), bytes.begin(), bytes.end());
        }
        return out;
    };
    const V sys = fills({0, 5, 6, 41});
    return {
        {"chrom_line1", sys + V{0, 0}, {}},
        {"chrom_line2_oxygen", sys + V{1, 0x31}, {}},
        {"chrom_refresh_off", sys + V{0, 0x50}, {}},
        {"wmt", fills({15}) + V{2, 0}, {}},
        {"wmt_type0", fills({15}, {{15, {{6, 0}}}}) + V{2, 0}, {}},
        {"wmt_type2", fills({15}, {{15, {{6, 2}}}}) + V{2, 0}, {}},
        {"state", fills({0, 6}, {{6, {{8, 1}, {9, 1}}}}) + V{3, 0}, {}},
        {"state_flow", fills({0, 6, 9}, {{6, {{8, 1}, {9, 1}}}, {9, {{0, 3}}}}) + V{3, 1}, {}},
        {"state_tables", fills({0, 6}) + V{3, 2 | 4}, {}},
        {"state_byte_order", fills({0, 6}, {{0, {{10, 0}}}}) + V{3, 0}, {}},
        {"table_info", fills({7}, {{7, {{3, 1}, {22, 1}}}}) + V{4, 0} + V(47, 1), {}},
        {"ident", fills({0}) + V{5, 0, 6, 0}, {}},
        {"sys", fills({6}) + V{7, 1} + V{7, 3}, {}},
        {"clock", fills({2, 6, 42}) + V{8, 0, 0x10, 0x2D, 0x00, 0x80}, {}},
        {"names", fills({0, 5}) + V{9, 1} + V{9, 3}, {}},
        {"functions", fills({8, 41}) + V{10, 0, 11, 0}, {}},
        {"flow_computers", fills({9}, {{9, {{0, 4}}}}) + V{12, 0} + V{1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0} +
                               V{1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0} + V(16, 1),
         {}},
        {"distribution", fills({21}) + V{13, 1, 13, 7}, {}},
        {"clock_sync", fills({6, 14}) + V{14, 1, 14, 3}, {}},
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_reply_seeds <corpus folder>\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::filesystem::path root = argv[1];
    emu::Emulator probe;
    probe.SetClock(kNow);
    probe.FreezeClock(true);
    int n = Write(root / "link_reply", LinkSeeds(), RunLinkReply);
    n += Write(root / "table_replies", TableSeeds(), RunTableReplies);
    n += Write(root / "archive_replies", ArchiveSeeds(probe), RunArchiveReplies);
    n += WriteModemSeeds(root / "modem");
    n += Write(root / "monitors", MonitorSeeds(probe), RunMonitors);
    std::printf("%d seeds\n", n);
    return 0;
}
