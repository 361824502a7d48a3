#include "platform/MessagePump.h"

#include <chrono>
#include <thread>
#include <utility>

namespace platform {
namespace {
std::function<void()>& Pump() {
    static std::function<void()> pump;
    return pump;
}
bool g_inPump = false;
}  // namespace

void SetMessagePump(std::function<void()> pump) { Pump() = std::move(pump); }

void PumpMessages() {
    if (g_inPump || !Pump()) return;  // never re-enter the pump from inside itself
    g_inPump = true;
    try {
        Pump()();
    } catch (...) {
        g_inPump = false;
        throw;
    }
    g_inPump = false;
}

void IdleSlice(int ms) {
    PumpMessages();
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace platform
