// The one place where long waits let window messages run.
//
// Every wait that can last more than a few milliseconds (a reply from the
// controller, a modem answer, a settle delay) calls PumpMessages() between
// its polling slices. The window framework installs its message processing
// here at start-up; without a window (tests of the link, the emulator) the
// pump does nothing.
#pragma once
#include <functional>

namespace platform {

void SetMessagePump(std::function<void()> pump);
void PumpMessages();

// Sleeps at most `ms` milliseconds (short slices, never longer than asked),
// pumping messages once. For waits that poll nothing.
void IdleSlice(int ms);

}  // namespace platform
