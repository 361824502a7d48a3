// One Qt screen for the whole test program, and a bounded wait that lets
// the event loop run.
#pragma once
#include <functional>

namespace zbr_test {
// Runs the message loop until `done` holds or about two seconds passed.
bool WaitFor(const std::function<bool()>& done);
}
