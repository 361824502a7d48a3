// The current link in the main window's status bars.
#include <gtest/gtest.h>

#include "DialogFixture.h"
#include "common/LinkStatus.h"

namespace {

class LinkStatus : public dlgtest::Fixture {
protected:
    void SetUp() override {
        Fixture::SetUp();
        bar1.AddPanel(175);
        bar1.AddPanel(250);
        bar1.AddPanel(300);
        bar2.AddPanel(400);
        MainStatusBar2 = &bar2;
    }
    void TearDown() override { MainStatusBar2 = nullptr; }
    ui::Form main{nullptr, "FormMain"};
    ui::StatusBar bar1{&main, "StatusBar1"};
    ui::StatusBar bar2{&main, "StatusBar2"};
};

TEST_F(LinkStatus, EachLinkKindHasItsTexts) {
    ProgramSettings.Dir.COMPort = 3;
    ProgramSettings.Dir.Rate = 9600;
    ProgramSettings.Dir.Adr = 17;
    ProgramSettings.Fon.Link.COMPort = 2;
    ProgramSettings.Fon.Link.Rate = 19200;
    dlgtest::AddPhone("ГРС Березне", 4, "0-362-55-12");
    dlgtest::AddEthernet("Вузол", 9, dlgtest::Ip(192, 168, 0, 10), 502);
    bar1.SetPanelText(2, "лишається");

    ProgramSettings.Conn_Prz = 0;
    bar2.SetPanelText(0, "старе");
    ShowLinkInStatusBar(&bar1);
    EXPECT_EQ(bar1.PanelText(0), " COM3,   9600 біт/с");
    EXPECT_EQ(bar1.PanelText(1), " Адр. 17");
    EXPECT_EQ(bar1.PanelText(2), "лишається");
    EXPECT_EQ(bar2.PanelText(0), "");

    ProgramSettings.Conn_Prz = 1;
    ShowLinkInStatusBar(&bar1);
    EXPECT_EQ(bar1.PanelText(0), " COM2,   19200 біт/с");
    EXPECT_EQ(bar1.PanelText(1), " Адр. 4");
    EXPECT_EQ(bar2.PanelText(0), " ГРС Березне (тел. 0-362-55-12)");

    ProgramSettings.Conn_Prz = 2;
    ShowLinkInStatusBar(&bar1);
    EXPECT_EQ(bar1.PanelText(0), "");
    EXPECT_EQ(bar1.PanelText(1), " Адр. 9");
    EXPECT_EQ(bar2.PanelText(0), " Вузол (IP-адр. 192.168.0.10)");
}

TEST_F(LinkStatus, EmptyListsAndMissingBarsShowNothing) {
    ProgramSettings.Conn_Prz = 1;
    bar1.SetPanelText(0, "x");
    bar2.SetPanelText(0, "y");
    ShowLinkInStatusBar(&bar1);
    EXPECT_EQ(bar1.PanelText(0), "");
    EXPECT_EQ(bar2.PanelText(0), "");
    // A selection beyond the list (hand-edited file) shows no subscriber.
    dlgtest::AddEthernet("Вузол", 9, 1, 502);
    ProgramSettings.Ethr.Users.user_index = 250;
    ProgramSettings.Conn_Prz = 2;
    ShowLinkInStatusBar(&bar1);
    EXPECT_EQ(bar1.PanelText(1), "");
    MainStatusBar2 = nullptr;
    ShowLinkInStatusBar(nullptr);  // no bars at all: nothing happens
}

}  // namespace
