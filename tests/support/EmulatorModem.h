// The emulator's Hayes modem and the program's modem timings, set up as the
// telephone-link tests use them: the modem in front of the emulator's
// pseudo-terminal with a short guard time around "+++", and the program's
// waits made short for one test and put back after it.
//
//   zbr_test::ModemTimingsForTest timings{{.prepareTimeoutMs = 300, .escapeGuardMs = zbr_test::kEscapeGuardMs,
//                                           ...}};
//   emu::Modem& modem = zbr_test::EnableModem(emu);  // before emu.StartPty
#pragma once
#include <cstdint>

#include "emulator/Emulator.h"
#include "emulator/Modem.h"
#include "link/Connectmodem.h"

namespace zbr_test {

// The emulator modem's guard time: the quiet line it wants before and after
// "+++". The program's own guards (escape and hang-up) are a little longer,
// so that the modem always takes the escape.
inline constexpr int kModemGuardMs = 100;
inline constexpr uint32_t kEscapeGuardMs = 150;

// Switches the emulator's modem on (before its pseudo-terminal starts) with
// the short guard time.
inline emu::Modem& EnableModem(emu::Emulator& emu) {
    emu::Modem& modem = emu.EnableModem();
    modem.SetGuardTimeMs(kModemGuardMs);
    return modem;
}

// The program's modem timings are `t` while this lives; the ones from before
// come back when it goes.
class ModemTimingsForTest {
public:
    explicit ModemTimingsForTest(const ModemTimings& t) : saved_(ModemTiming()) { ModemTiming() = t; }
    ~ModemTimingsForTest() { ModemTiming() = saved_; }
    ModemTimingsForTest(const ModemTimingsForTest&) = delete;
    ModemTimingsForTest& operator=(const ModemTimingsForTest&) = delete;

private:
    ModemTimings saved_;
};

}  // namespace zbr_test
