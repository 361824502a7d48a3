#include "QtEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/MessagePump.h"
#include "ui/Ui.h"
#include "ui/qt/QtUi.h"

namespace {
int g_argc = 1;
char g_name[] = "ui_qt_tests";
char* g_argv[] = {g_name, nullptr};

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Tests never need a display.
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        screen_ = std::make_unique<ui::qt::Screen>(g_argc, g_argv);
    }
    void TearDown() override { screen_.reset(); }
private:
    std::unique_ptr<ui::qt::Screen> screen_;
};

[[maybe_unused]] auto* g_env = ::testing::AddGlobalTestEnvironment(new QtEnvironment);
}  // namespace

namespace zbr_test {
bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 400; ++i) {
        if (done()) return true;
        platform::IdleSlice(5);
    }
    return done();
}
}  // namespace zbr_test
