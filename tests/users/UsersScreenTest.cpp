// The users window as real Qt widgets, rendered offscreen to a PNG file
// (build/ui-screens) and checked for its size, its texts and ink where the
// controls are.
#include <gtest/gtest.h>

#include <QtWidgets>
#include <filesystem>
#include <memory>

#include "UsersTestUtil.h"
#include "config/Access.h"
#include "ui/qt/QtUi.h"

using namespace userstest;

namespace {

int g_argc = 1;
char g_name[] = "users_screen_test";
char* g_argv[] = {g_name, nullptr};

class QtScreen : public ::testing::Environment {
public:
    void SetUp() override { screen_ = std::make_unique<ui::qt::Screen>(g_argc, g_argv); }
    void TearDown() override { screen_.reset(); }
private:
    std::unique_ptr<ui::qt::Screen> screen_;
};
[[maybe_unused]] auto* g_env = ::testing::AddGlobalTestEnvironment(new QtScreen);

std::string ScreenFile(const std::string& name) {
    std::filesystem::path dir = std::filesystem::path(ZBR_BUILD_DIR) / "ui-screens";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

int InkIn(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = std::max(r.top(), 0); y <= std::min(r.bottom(), img.height() - 1); ++y)
        for (int x = std::max(r.left(), 0); x <= std::min(r.right(), img.width() - 1); ++x)
            if (qGray(img.pixel(x, y)) < 100) ++n;
    return n;
}

// Where a control of the form lies in the rendered image.
QRect AreaOf(ui::Form& f, ui::Control& c) {
    int x = c.Left(), y = c.Top();
    for (ui::Control* p = c.Parent(); p && p != &f; p = p->Parent()) {
        x += p->Left();
        y += p->Top();
    }
    return QRect(f.FrameWidth() + x, f.FrameWidth() + f.CaptionHeight() + y, c.Width(), c.Height());
}

}  // namespace

TEST(UsersScreen, UsersWindow) {
    const std::string file = ScreenFile("FormAccess.png");
    std::filesystem::remove(file);
    UsersTable t = FactoryUsers();
    t[1] = User("АДМ", userlevel::Admin, "a", "22");
    t[4] = User("Опер", userlevel::Operator, "", "55");
    uint8_t record[kUsersTableBytes];
    StoreUsers(record, t);
    TFormAccess f(nullptr);
    f.Rows = reinterpret_cast<UserRow*>(record);
    f.Mode = 1;
    bool rendered = false;
    ui::qt::SetModalShownHook([&](ui::Form& form) {
        auto& a = static_cast<TFormAccess&>(form);
        auto* combo = qobject_cast<QComboBox*>(ui::qt::WidgetOf(*a.cb[1]));
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->currentText().toStdString(), "Адміністратор");
        EXPECT_EQ(combo->objectName().toStdString(), "cb2");
        auto* name = qobject_cast<QLineEdit*>(ui::qt::WidgetOf(*a.ek[4]));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text().toStdString(), "Опер");
        EXPECT_FALSE(ui::qt::WidgetOf(*a.bt[2])->isEnabled());
        EXPECT_TRUE(ui::qt::WidgetOf(*a.bt[1])->isEnabled());
        EXPECT_FALSE(ui::qt::WidgetOf(a.BitBtn1)->isVisible());
        ASSERT_TRUE(ui::qt::RenderToPng(a, file));
        rendered = true;
        QImage img(QString::fromStdString(file));
        EXPECT_EQ(img.size(), QSize(432, 564));
        for (ui::Control* c : {static_cast<ui::Control*>(a.cb[0]), static_cast<ui::Control*>(a.ek[4]),
                               static_cast<ui::Control*>(a.bt[1]), static_cast<ui::Control*>(&a.BitBtn3),
                               static_cast<ui::Control*>(&a.Label2), static_cast<ui::Control*>(a.lb[15])})
            EXPECT_GT(InkIn(img, AreaOf(a, *c)), 10) << c->Name();
        EXPECT_EQ(InkIn(img, AreaOf(a, *a.ek[7])), 0);  // a free row shows no name
        a.BitBtn2.Click();
    });
    f.ShowModal();
    ui::qt::SetModalShownHook(nullptr);
    EXPECT_TRUE(rendered);
    EXPECT_FALSE(f.Accepted);
}
