// A bounded wait for tests that lets window messages run meanwhile.
#pragma once
#include <functional>

#include "platform/MessagePump.h"

namespace zbr_test {

// Polls `done` in slices of 5 ms (messages run between them) until it holds
// or about `ms` milliseconds passed; then its last answer.
inline bool WaitFor(const std::function<bool()>& done, int ms = 2000) {
    for (int i = 0; i < ms / 5; ++i) {
        if (done()) return true;
        platform::IdleSlice(5);
    }
    return done();
}

}  // namespace zbr_test
