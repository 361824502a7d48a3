// The configuration editor offline: its caption and buttons by mode, the
// controls the presence flags switch, the accepted and changed flags, and a
// sub-editor working on the record's own block.
#include <gtest/gtest.h>

#include <cstring>

#include "config/Access.h"
#include "config/ConHGC.h"
#include "config/ConVU.h"
#include "config/ConVich.h"
#include "config/ConWMT.h"
#include "config/Config.h"
#include "config/Const_Par.h"
#include "config/ContrName.h"
#include "config/Distr.h"
#include "config/Ident.h"
#include "config/Limits.h"
#include "config/OvgList.h"
#include "config/PrzDistr.h"
#include "config/Sys.h"
#include "config/Time_Sinhr.h"
#include "link/Conneth.h"
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

namespace {

// Opens the editor behind `button` and checks it got `block` in accept mode
// with the window dimmed (or not, for the constants).
template <class Editor>
void OpensOn(ui::test::Driver& drv, ConfigRecord& rec, ui::Button TFormConfig::*button, std::size_t offset,
             bool dims = true) {
    int shown = 0;
    drv.onModal<Editor>([&](Editor& e) {
        ++shown;
        EXPECT_EQ(static_cast<const void*>(e.Block), static_cast<const void*>(rec.At(offset))) << typeid(Editor).name();
        EXPECT_EQ(e.Mode, 0);
        auto* owner = dynamic_cast<TFormConfig*>(e.Owner());
        ASSERT_NE(owner, nullptr);
        EXPECT_EQ(owner->Panel1.Color(), dims ? TFormConfig::kBusyColor : TFormConfig::kIdleColor);
        EXPECT_TRUE(e.BitBtn2.Click());
    });
    drv.onModal<TFormConfig>([&](TFormConfig& f) {
        EXPECT_TRUE((f.*button).Click());
        EXPECT_EQ(f.Panel1.Color(), TFormConfig::kIdleColor);
        EXPECT_TRUE(f.BitBtn2.Click());
    });
    TFormConfig f(nullptr);
    f.Record = &rec;
    f.ShowModal();
    EXPECT_EQ(shown, 1) << typeid(Editor).name();
}

}  // namespace

TEST_F(ConfigWindow, EveryEditorOnItsBlockOfTheRecord) {
    rec[cnfofs::kWmtPresent] = 1;
    OpensOn<TFormContrName>(drv, rec, &TFormConfig::BitBtn19, 29);
    OpensOn<TFormSys>(drv, rec, &TFormConfig::BitBtn6, 213);
    OpensOn<TFormConEth>(drv, rec, &TFormConfig::BitBtn22, 1893);
    OpensOn<TFormConVU>(drv, rec, &TFormConfig::BitBtn16, 109);
    OpensOn<TFormConVich>(drv, rec, &TFormConfig::BitBtn12, 2437);
    OpensOn<TFormConHGC>(drv, rec, &TFormConfig::BitBtn17, 325);
    OpensOn<TFormConWMT>(drv, rec, &TFormConfig::BitBtn13, 385);
    OpensOn<TFormPrzDistr>(drv, rec, &TFormConfig::BitBtn4, 863);
    OpensOn<TFormDistr>(drv, rec, &TFormConfig::BitBtn5, 1883);
    OpensOn<TFormLimits>(drv, rec, &TFormConfig::BitBtn7, 983);
    OpensOn<TFormLimits>(drv, rec, &TFormConfig::BitBtn8, 1163);
    OpensOn<TFormLimits>(drv, rec, &TFormConfig::BitBtn9, 1343);
    OpensOn<TFormLimits>(drv, rec, &TFormConfig::BitBtn10, 1523);
    OpensOn<TFormLimits>(drv, rec, &TFormConfig::BitBtn11, 1703);
    OpensOn<TFormConst_Par>(drv, rec, &TFormConfig::BitBtn20, 2445, false);
    OpensOn<TFormConst_Par>(drv, rec, &TFormConfig::BitBtn21, 2545, false);
}

TEST_F(ConfigWindow, EditorsGetTheirKindLineOxygenAndFlowComputers) {
    rec[cnfofs::kLines] = 0x07;  // both lines, oxygen measured
    rec[cnfofs::kFlowLink] = 3;
    for (int i = 0; i < 3; ++i) rec.FlowRow(i)[0] = uint8_t(10 + i);
    drv.onModal<TFormLimits>([](TFormLimits& e) {
        EXPECT_EQ(e.Kind, 3);
        EXPECT_EQ(e.Oxygen, 1);
        EXPECT_TRUE(e.BitBtn2.Click());
    });
    drv.onModal<TFormConst_Par>([](TFormConst_Par& e) {
        EXPECT_EQ(e.Line, 1);
        EXPECT_EQ(e.Oxygen, 1);
        EXPECT_TRUE(e.BitBtn2.Click());
    });
    drv.onModal<TFormConHGC>([this](TFormConHGC& e) {
        EXPECT_EQ(e.OvgCount, 3);
        ASSERT_NE(e.OvgAddresses, nullptr);
        EXPECT_EQ(e.OvgAddresses[2], 12);
        EXPECT_EQ(static_cast<const void*>(e.Names), static_cast<const void*>(rec.At(29)));
        EXPECT_TRUE(e.BitBtn2.Click());
    });
    drv.onModal<TFormConfig>([](TFormConfig& f) {
        EXPECT_TRUE(f.BitBtn10.Click());
        EXPECT_TRUE(f.BitBtn21.Click());
        EXPECT_TRUE(f.BitBtn17.Click());
        EXPECT_TRUE(f.BitBtn2.Click());
    });
    {
        TFormConfig f(nullptr);
        f.Record = &rec;
        f.ShowModal();
    }

    // No flow computers in the record: the chromatograph editor gets none.
    rec[cnfofs::kFlowPresent] = 0;
    drv.onModal<TFormConHGC>([](TFormConHGC& e) {
        EXPECT_EQ(e.OvgCount, 0);
        EXPECT_TRUE(e.BitBtn2.Click());
    });
    drv.onModal<TFormConfig>([](TFormConfig& f) {
        EXPECT_TRUE(f.BitBtn17.Click());
        EXPECT_TRUE(f.BitBtn2.Click());
    });
    TFormConfig f(nullptr);
    f.Record = &rec;
    f.ShowModal();
}

TEST_F(ConfigWindow, FlowComputerListOnACopyOfTheCount) {
    rec[cnfofs::kFlowLink] = 3;
    for (int i = 0; i < 3; ++i) rec.FlowRow(i)[0] = uint8_t(10 + i);
    // A count past the 16 rows: the list opens with the rows there are.
    drv.onModal<TFormOvgList>([this](TFormOvgList& e) {
        EXPECT_EQ(e.Count, 3);
        EXPECT_EQ(static_cast<void*>(e.Rows), static_cast<void*>(rec.At(443)));
        EXPECT_EQ(e.Mode, 0);
        EXPECT_EQ(e.ThreadByte, rec[cnfofs::kLines]);
        e.StringGrid1.SetRow(0);
        drv.answerYes();
        EXPECT_TRUE(e.BitBtn8.Click());  // the first one deleted
        EXPECT_TRUE(e.BitBtn1.Click());
    });
    drv.onModal<TFormConfig>([](TFormConfig& f) {
        EXPECT_TRUE(f.BitBtn3.Click());
        EXPECT_TRUE(f.BitBtn1.Click());
    });
    TFormConfig f(nullptr);
    f.Record = &rec;
    f.ShowModal();
    EXPECT_EQ(f.changed, 1);
    EXPECT_EQ(rec[cnfofs::kFlowLink], 2);
    EXPECT_EQ(rec.FlowRow(0)[0], 11);
    EXPECT_EQ(rec.FlowRow(1)[0], 12);

    rec[cnfofs::kFlowLink] = 250;
    drv.onModal<TFormOvgList>([](TFormOvgList& e) {
        EXPECT_EQ(e.Count, 16);
        EXPECT_TRUE(e.BitBtn2.Click());
    });
    drv.onModal<TFormConfig>([](TFormConfig& f) {
        EXPECT_TRUE(f.BitBtn3.Click());
        EXPECT_TRUE(f.BitBtn2.Click());
    });
    TFormConfig g(nullptr);
    g.Record = &rec;
    g.ShowModal();
    EXPECT_EQ(rec[cnfofs::kFlowLink], 250);  // not accepted: left as it was
}

TEST_F(ConfigWindow, NamesSystemParametersClockFlagsAndIdentification) {
    rec[cnfofs::kFlowPresent] = 0;
    // The name accepted: the caption follows it (without the leading blank).
    drv.onModal<TFormContrName>([](TFormContrName& e) {
        e.Edit1.SetText("ГРС Північна");
        EXPECT_TRUE(e.BitBtn3.Click());
    });
    // Flow computers switched on: their controls come on at once.
    drv.onModal<TFormSys>([](TFormSys& e) {
        auto* owner = dynamic_cast<TFormConfig*>(e.Owner());
        ASSERT_NE(owner, nullptr);
        EXPECT_FALSE(owner->BitBtn3.Enabled());
        e.CheckBox3.SetChecked(true);
        EXPECT_TRUE(e.BitBtn3.Click());
    });
    // The four clock flags on a copy, back in their places on accept.
    drv.onModal<TFormTime_Sinhr>([](TFormTime_Sinhr& e) {
        EXPECT_FALSE(e.CheckBox1.Checked());
        EXPECT_TRUE(e.CheckBox2.Checked());  // record byte 224
        e.CheckBox1.SetChecked(true);
        e.CheckBox3.SetChecked(true);
        e.CheckBox4.SetChecked(true);
        EXPECT_TRUE(e.BitBtn1.Click());
    });
    // A new record shows the type and the version only.
    drv.onModal<TFormIdent>([this](TFormIdent& e) {
        EXPECT_EQ(e.Ident, rec.At(1));
        EXPECT_EQ(e.FullView, 0);
        EXPECT_TRUE(e.BitBtn1.Click());
    });
    drv.onModal<TFormConfig>([](TFormConfig& f) {
        EXPECT_TRUE(f.BitBtn19.Click());
        EXPECT_EQ(f.Caption(), "Параметри конфігурації контролера \"ГРС Північна\" ");
        EXPECT_TRUE(f.BitBtn6.Click());
        EXPECT_TRUE(f.BitBtn3.Enabled());
        EXPECT_TRUE(f.GroupBox3.Enabled());
        EXPECT_TRUE(f.BitBtn18.Click());
        EXPECT_TRUE(f.BitBtn24.Click());
        EXPECT_TRUE(f.BitBtn1.Click());
    });
    TFormConfig f(nullptr);
    f.Record = &rec;
    f.ShowModal();
    EXPECT_EQ(f.changed, 1);
    EXPECT_EQ(rec.ControllerName(), "ГРС Північна");
    EXPECT_EQ(rec[cnfofs::kFlowPresent], 1);
    EXPECT_EQ(rec[223], 1);
    EXPECT_EQ(rec[224], 1);
    EXPECT_EQ(rec[333], 1);
    EXPECT_EQ(rec[334], 1);

    // Read from a controller: the whole identification.
    rec[cnfofs::kSource] = 1;
    drv.onModal<TFormIdent>([](TFormIdent& e) {
        EXPECT_EQ(e.FullView, 1);
        EXPECT_TRUE(e.BitBtn1.Click());
    });
    drv.onModal<TFormConfig>([](TFormConfig& f) {
        EXPECT_TRUE(f.BitBtn24.Click());
        EXPECT_TRUE(f.BitBtn1.Click());
    });
    TFormConfig g(nullptr);
    g.Record = &rec;
    g.ShowModal();
    EXPECT_EQ(g.changed, 0);
}
