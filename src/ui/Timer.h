// A timer: OnTimer every Interval milliseconds, only while Enabled
// (enabled by default, as in the form designer).
#pragma once
#include <functional>
#include <vector>

#include "ui/Component.h"

namespace ui {

class Timer : public Component {
public:
    Timer(Component* owner, std::string name);
    ~Timer() override;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool e);
    int Interval() const { return interval_; }
    void SetInterval(int ms);
    std::function<void()> OnTimer;
    // One tick: fires OnTimer when enabled; returns whether it fired.
    bool Fire();
    // Every timer that exists (a backend installed later picks them up).
    static const std::vector<Timer*>& All();
private:
    bool enabled_ = true;
    int interval_ = 1000;
};

}  // namespace ui
