#include "ui/Timer.h"

#include <algorithm>

#include "ui/Application.h"

namespace ui {

namespace {
std::vector<Timer*>& Registry() {
    static std::vector<Timer*> timers;
    return timers;
}
}  // namespace

Timer::Timer(Component* owner, std::string name) : Component(owner, std::move(name)) {
    Registry().push_back(this);
    Backend::Current().TimerChanged(*this);
}

Timer::~Timer() {
    auto& r = Registry();
    r.erase(std::remove(r.begin(), r.end(), this), r.end());
}

const std::vector<Timer*>& Timer::All() { return Registry(); }

void Timer::SetEnabled(bool e) {
    if (e == enabled_) return;
    enabled_ = e;
    Backend::Current().TimerChanged(*this);
}

void Timer::SetInterval(int ms) {
    ms = std::max(ms, 0);
    if (ms == interval_) return;
    interval_ = ms;
    Backend::Current().TimerChanged(*this);
}

bool Timer::Fire() {
    if (!enabled_ || interval_ <= 0 || !OnTimer) return false;
    OnTimer();
    return true;
}

}  // namespace ui
