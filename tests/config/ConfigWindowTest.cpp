// The configuration editor offline: its caption and buttons by mode, the
// controls the presence flags switch, the accepted and changed flags, and a
// sub-editor working on the record's own block.
#include <gtest/gtest.h>

#include <cstring>

#include "config/Access.h"
#include "config/Config.h"
#include "config/Users.h"
#include "platform/Codepage.h"
#include "support/TestFolders.h"
#include "ui/TestDriver.h"

namespace {

class ConfigWindow : public ::testing::Test {
protected:
    void SetUp() override {
        zbr_test::FreshWorkDir("config-window");
        InitNewConfigFile(rec);
        UsersTable users = LoadUsers(rec.At(cnfofs::kUsers));
        SetField(users[0].Name, 4, "ZBR");
        users[0].Level = userlevel::Maker;
        SetField(users[0].Code, 4, "1111");
        StoreUsers(rec.At(cnfofs::kUsers), users);
    }
    void TearDown() override { drv.verify(); }

    ConfigRecord rec;
    ui::test::Driver drv;
};

}  // namespace

TEST_F(ConfigWindow, AcceptWithoutChangeAndWithOne) {
    // Accepted unchanged: changed 0 (a new file is saved all the same by its caller).
    drv.onModal<TFormConfig>([](TFormConfig& f) {
        EXPECT_EQ(f.Caption(), " Параметри конфігурації контролера \"Контролер ЗБР_11\" ");
        EXPECT_EQ(f.Width(), 760);
        EXPECT_EQ(f.Height(), 548);
        EXPECT_TRUE(f.BitBtn1.Visible());
        EXPECT_FALSE(f.BitBtn14.Visible());
        EXPECT_EQ(f.BitBtn1.Caption(), "Прийняти");
        EXPECT_TRUE(f.BitBtn1.Click());
    });
    {
        TFormConfig f(nullptr);
        EXPECT_EQ(f.Record, nullptr);
        f.Record = &rec;
        f.ShowModal();
        EXPECT_EQ(f.accepted, 1);
        EXPECT_EQ(f.changed, 0);
    }

    // The users editor on the record's block, in accept mode, with the
    // window dimmed while it is open; its accepted change marks the record
    // changed.
    const ConfigRecord before = rec;
    drv.onModal<TFormAccess>([](TFormAccess& a) {
        EXPECT_EQ(a.Mode, 0);
        EXPECT_TRUE(a.BitBtn1.Visible());
        EXPECT_EQ(a.ek[0]->Text(), "ZBR");
        auto* owner = dynamic_cast<TFormConfig*>(a.Owner());
        ASSERT_NE(owner, nullptr);
        EXPECT_EQ(owner->Panel1.Color(), TFormConfig::kBusyColor);
        a.ek[0]->SetText("ADM");
        EXPECT_TRUE(a.BitBtn1.Click());
    });
    drv.onModal<TFormConfig>([](TFormConfig& f) {
        EXPECT_TRUE(f.BitBtn15.Click());
        EXPECT_EQ(f.Panel1.Color(), TFormConfig::kIdleColor);
        EXPECT_TRUE(f.BitBtn1.Click());
    });
    {
        TFormConfig f(nullptr);
        f.Record = &rec;
        f.ShowModal();
        EXPECT_EQ(f.accepted, 1);
        EXPECT_EQ(f.changed, 1);
        EXPECT_EQ(f.backup, before);
    }
    EXPECT_EQ(std::memcmp(rec.At(cnfofs::kUsers), "ADM ", 4), 0);
}

TEST_F(ConfigWindow, CancelAfterAnAcceptedChangeLeavesAcceptedZero) {
    drv.onModal<TFormAccess>([](TFormAccess& a) {
        a.ek[0]->SetText("ADM");
        EXPECT_TRUE(a.BitBtn1.Click());
    });
    drv.onModal<TFormConfig>([](TFormConfig& f) {
        EXPECT_TRUE(f.BitBtn15.Click());
        EXPECT_TRUE(f.BitBtn2.Click());
    });
    TFormConfig f(nullptr);
    f.Record = &rec;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
    // What the editor changed stays in the record; the caller throws it away.
    EXPECT_EQ(std::memcmp(rec.At(cnfofs::kUsers), "ADM ", 4), 0);

    // Esc closes the same way.
    drv.onModal<TFormConfig>([](TFormConfig& f) { f.HandleKeyDown(ui::key::Escape); });
    TFormConfig g(nullptr);
    g.Record = &rec;
    g.ShowModal();
    EXPECT_EQ(g.accepted, 0);
}

TEST_F(ConfigWindow, WriteModeAndThePresenceFlags) {
    rec[cnfofs::kFlowPresent] = 0;
    rec[cnfofs::kWmtPresent] = 1;
    platform::WriteField(rec.At(cnfofs::kNames), 20, "  ГРС-7  ", 0);
    drv.onModal<TFormConfig>([](TFormConfig& f) {
        EXPECT_EQ(f.Caption(), " Параметри конфігурації контролера \"ГРС-7\" ");
        EXPECT_TRUE(f.BitBtn14.Visible());
        EXPECT_FALSE(f.BitBtn1.Visible());
        EXPECT_EQ(f.BitBtn14.Caption(), "Записати в пристрій");
        for (ui::Control* c : std::initializer_list<ui::Control*>{&f.Label14, &f.BitBtn12, &f.GroupBox3, &f.Label27,
                                                                  &f.BitBtn3, &f.Label31, &f.Label28, &f.BitBtn4,
                                                                  &f.Label43, &f.Label1, &f.BitBtn5})
            EXPECT_FALSE(c->Enabled()) << c->Name();
        EXPECT_TRUE(f.Label8.Enabled());
        EXPECT_TRUE(f.BitBtn13.Enabled());

        // Flow computers switched on in the record: enabled at once.
        (*f.Record)[cnfofs::kFlowPresent] = 1;
        (*f.Record)[cnfofs::kWmtPresent] = 0;
        f.EnableConfigButtons();
        EXPECT_TRUE(f.BitBtn3.Enabled());
        EXPECT_TRUE(f.GroupBox3.Enabled());
        EXPECT_FALSE(f.BitBtn13.Enabled());
        EXPECT_TRUE(f.BitBtn14.Click());
    });
    TFormConfig f(nullptr);
    f.Record = &rec;
    f.Mode = 1;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(f.changed, 1);
}
