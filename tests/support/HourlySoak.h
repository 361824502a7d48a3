// Hourly archive reads under mixed faults, as the robustness soak and the
// archive reader benchmark run them: faults of the line (no reply, cut,
// broken CRC, noise, foreign address, late replies, replies held back until
// the next request, the previous reply sent again, optionally slow replies
// byte by byte) and of the archive (a count that claims too much, records
// before the hour asked for or after the period, records with a broken CRC,
// error replies, silence), each request spoilt with a given chance; then a
// tally of what the reader stored against what the controller holds.
//
//   zbr_test::QueueMixedFaults(emu, model, seed, 400, 7, box.ReplyTimeoutMs);
//   ... read ...
//   const zbr_test::SoakTally t = zbr_test::TallyHourly(got, want);
//   EXPECT_TRUE(t.Clean()) << t.Text();
#pragma once
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "emulator/ArchiveModel.h"
#include "emulator/Emulator.h"
#include "robustness/Random.h"

namespace zbr_test {

struct MixedFaults {
    int line = 0;     // line faults queued
    int archive = 0;  // archive faults queued
};

// Queues faults for the next `requests` requests: each request gets a line
// fault with `percent` % chance and, independently, an archive fault with
// the same chance. Late replies come 50 ms to three reply waits after their
// wait gave up. Slow replies (each byte a little slower than the byte wait
// allows) only with `slowBytes`: they hold the line for the whole frame.
inline MixedFaults QueueMixedFaults(emu::Emulator& emu, emu::ArchiveModel& model, uint32_t seed, int requests,
                                    int percent, uint32_t replyTimeoutMs, uint32_t byteTimeoutMs = 0,
                                    bool slowBytes = false) {
    robust::Dice dice(seed);
    MixedFaults n;
    using K = emu::FaultKind;
    std::vector<K> line = {K::Silence,   K::CutFrame,  K::BadCrc,        K::Noise,           K::WrongAddress,
                           K::ReplyDelay, K::HeldReply, K::PreviousReply, K::BadLengthPrefix, K::WrongAddressPrefix};
    if (slowBytes) line.push_back(K::ByteDelay);
    using A = emu::ArchiveFaultKind;
    const std::vector<A> archive = {A::ShortReply, A::EarlyRecord, A::LateRecord,
                                    A::CorruptRecord, A::ErrorReply, A::Silence};
    for (int r = 1; r <= requests; ++r) {
        emu::Fault f{K::None, 0};
        if (dice.Chance(percent)) {
            f.kind = dice.Pick(line);
            switch (f.kind) {
            case K::CutFrame: f.param = int(dice.Int(0, 150)); break;
            case K::Noise: f.param = int(dice.Int(1, 40)); break;
            case K::ReplyDelay: f.param = int(replyTimeoutMs + dice.Int(50, 3 * int64_t(replyTimeoutMs))); break;
            case K::ByteDelay: f.param = int(byteTimeoutMs + 5); break;
            default: break;
            }
            ++n.line;
        }
        emu.QueueFault(f);
        if (dice.Chance(percent)) {
            emu::ArchiveFault a{dice.Pick(archive), 0, r};
            switch (a.kind) {
            case A::ShortReply: a.param = int(dice.Int(1, 3)); break;
            case A::EarlyRecord:
            case A::LateRecord: a.param = int(dice.Int(1, 3)); break;
            case A::CorruptRecord: a.param = int(dice.Int(0, 7)); break;
            case A::ErrorReply: a.param = int(dice.Int(1, 64)); break;
            default: break;
            }
            model.QueueFault(a);
            ++n.archive;
        }
    }
    return n;
}

// What a read stored, against the records the controller holds for the
// period (in order). Records are told apart by their hour (the first four
// bytes: year, month, day, hour).
struct SoakTally {
    std::size_t expected = 0;    // records the controller holds for the period
    std::size_t stored = 0;      // records the reader stored
    std::size_t lost = 0;        // records of the period never stored
    std::size_t doubled = 0;     // records of the period stored more than once
    std::size_t outOfOrder = 0;  // records stored after a later one
    std::size_t broken = 0;      // records stored with their CRC broken (as the controller spoilt them)
    std::size_t wrong = 0;       // records whose bytes are neither the controller's nor its broken copy
    std::size_t before = 0;      // records from before the period
    std::size_t after = 0;       // records from after the period (kept, at the end, once each)
    bool Clean() const { return lost == 0 && doubled == 0 && outOfOrder == 0 && wrong == 0 && before == 0; }
    std::string Text() const {
        return "expected " + std::to_string(expected) + ", stored " + std::to_string(stored) + ", lost " +
               std::to_string(lost) + ", doubled " + std::to_string(doubled) + ", out of order " +
               std::to_string(outOfOrder) + ", broken " + std::to_string(broken) + ", wrong " +
               std::to_string(wrong) + ", before " + std::to_string(before) + ", after " + std::to_string(after);
    }
};

inline SoakTally TallyHourly(const std::vector<std::vector<uint8_t>>& got,
                             const std::vector<std::vector<uint8_t>>& want) {
    using Key = std::vector<uint8_t>;
    auto key = [](const std::vector<uint8_t>& r) { return Key(r.begin(), r.begin() + std::min<std::size_t>(4, r.size())); };
    SoakTally t;
    t.expected = want.size();
    t.stored = got.size();
    std::map<Key, std::size_t> index;
    for (std::size_t i = 0; i < want.size(); ++i) index[key(want[i])] = i;
    std::vector<int> seen(want.size(), 0);
    Key lastKey;
    for (const std::vector<uint8_t>& r : got) {
        const Key k = key(r);
        if (!lastKey.empty() && k < lastKey) ++t.outOfOrder;  // each hour after the ones before
        if (lastKey.empty() || k > lastKey) lastKey = k;
        const auto it = index.find(k);
        if (it == index.end()) {
            if (!want.empty() && k < key(want.front())) ++t.before;
            else if (!want.empty() && k > key(want.back())) ++t.after;
            else ++t.wrong;
            continue;
        }
        const std::vector<uint8_t>& w = want[it->second];
        if (seen[it->second]++ > 0) ++t.doubled;
        std::vector<uint8_t> spoilt = w;
        if (!spoilt.empty()) spoilt.back() ^= 0xA5;  // as the emulator spoils a record
        if (r == spoilt) ++t.broken;
        else if (r != w) ++t.wrong;
    }
    for (int s : seen) t.lost += s == 0;
    return t;
}

}  // namespace zbr_test
