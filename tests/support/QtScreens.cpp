#include "support/QtScreens.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "ui/qt/QtUi.h"

namespace {

// One QApplication and backend for the whole test program. Tests never need
// a display.
class QtScreen : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        argv_[0] = program_invocation_short_name;
        screen_ = std::make_unique<ui::qt::Screen>(argc_, argv_);
    }
    void TearDown() override { screen_.reset(); }

private:
    int argc_ = 1;
    char* argv_[2] = {nullptr, nullptr};  // outlives the QApplication
    std::unique_ptr<ui::qt::Screen> screen_;
};

[[maybe_unused]] auto* g_env = ::testing::AddGlobalTestEnvironment(new QtScreen);

}  // namespace

namespace zbr_test {

std::string ScreenFile(const std::string& folder, const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(ZBR_BUILD_DIR) / folder;
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

int InkIn(const QImage& img, const QRect& r, int darkBelow) {
    int n = 0;
    for (int y = std::max(r.top(), 0); y <= std::min(r.bottom(), img.height() - 1); ++y)
        for (int x = std::max(r.left(), 0); x <= std::min(r.right(), img.width() - 1); ++x)
            if (qGray(img.pixel(x, y)) < darkBelow) ++n;
    return n;
}

QRect AreaOf(ui::Form& f, ui::Control& c) {
    int x = c.Left(), y = c.Top();
    for (ui::Control* p = c.Parent(); p && p != &f; p = p->Parent()) {
        x += p->Left();
        y += p->Top();
        if (auto* sb = dynamic_cast<ui::ScrollBox*>(p)) {
            x -= sb->HorzPosition();
            y -= sb->VertPosition();
        }
    }
    const int menu = f.Menu() ? f.MenuHeight() : 0;
    return QRect(f.FrameWidth() + x, f.FrameWidth() + f.CaptionHeight() + menu + y, c.Width(), c.Height());
}

}  // namespace zbr_test
