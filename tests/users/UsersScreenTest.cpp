// The users window as real Qt widgets, rendered offscreen to a PNG file
// (build/ui-screens) and checked for its size, its texts and ink where the
// controls are.
#include <gtest/gtest.h>

#include <QtWidgets>
#include <cstring>
#include <filesystem>
#include <vector>

#include "UsersTestUtil.h"
#include "config/Access.h"
#include "config/Changeaccess.h"
#include "config/ConfigImage.h"
#include "config/Shortuspass.h"
#include "config/Uspass.h"
#include "support/QtScreens.h"
#include "ui/qt/QtUi.h"

using namespace userstest;

namespace {

using zbr_test::AreaOf;
using zbr_test::InkIn;

std::string ScreenFile(const std::string& name) { return zbr_test::ScreenFile("ui-screens", name); }

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

// The three credential windows: their sizes, and every control drawn inside.
TEST(UsersScreen, CredentialWindows) {
    InitConfigImage();
    StoreUsers(TablePtr(kUsersTable), FactoryUsers());
    int rendered = 0;
    ui::qt::SetModalShownHook([&](ui::Form& form) {
        std::vector<ui::Control*> controls;
        QSize size;
        std::string name;
        if (auto* f = dynamic_cast<TFormUsPass*>(&form)) {
            controls = {&f->Edit1, &f->Edit4, &f->GroupBox1, &f->GroupBox2, &f->BitBtn1, &f->BitBtn2};
            size = QSize(354, 308);
            name = "FormUsPass.png";
        } else if (auto* f = dynamic_cast<TFormChangeAccess*>(&form)) {
            controls = {&f->ComboBox1, &f->Edit5, &f->ComboBox2, &f->Edit2, &f->Edit3, &f->BitBtn1, &f->BitBtn2};
            size = QSize(676, 308);
            name = "FormChangeAccess.png";
            // The manufacturer's password and code, hidden behind '*'.
            auto* password = qobject_cast<QLineEdit*>(ui::qt::WidgetOf(f->Edit2));
            auto* code = qobject_cast<QLineEdit*>(ui::qt::WidgetOf(f->Edit3));
            ASSERT_TRUE(password && code);
            EXPECT_EQ(password->displayText().toStdString(), "*****");
            EXPECT_EQ(code->displayText().toStdString(), "****");
        } else if (auto* f = dynamic_cast<TFormShortUsPass*>(&form)) {
            controls = {&f->Label1, &f->Label2, &f->BitBtn1, &f->BitBtn2};  // the edits start empty
            size = QSize(384, 176);
            name = "FormShortUsPass.png";
        }
        ASSERT_FALSE(name.empty());
        const std::string file = ScreenFile(name);
        std::filesystem::remove(file);
        ASSERT_TRUE(ui::qt::RenderToPng(form, file));
        ++rendered;
        QImage img(QString::fromStdString(file));
        EXPECT_EQ(img.size(), size) << name;
        for (ui::Control* c : controls) {
            const QRect area = AreaOf(form, *c);
            EXPECT_TRUE(QRect(0, 0, size.width(), size.height()).contains(area)) << name << " " << c->Name();
            EXPECT_GT(InkIn(img, area), 4) << name << " " << c->Name();
        }
        form.Close();
    });
    {
        TFormUsPass f(nullptr);
        std::memcpy(f.Password, "12345       ", 12);
        std::memcpy(f.Code, "1111", 4);
        f.ShowModal();
    }
    {
        TFormChangeAccess f(nullptr);
        f.ShowModal();
    }
    {
        TFormShortUsPass f(nullptr);
        f.ShowModal();
    }
    ui::qt::SetModalShownHook(nullptr);
    EXPECT_EQ(rendered, 3);
}
