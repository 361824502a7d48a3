// Forms: ownership, layout, modal showing, keys, menus, timers and the
// application services.
#include <gtest/gtest.h>

#include "platform/MessagePump.h"
#include "ui/TestDriver.h"
#include "ui/Ui.h"

namespace {

class TFormMainLike : public ui::Form {
public:
    TFormMainLike() : ui::Form(nullptr, "FormMain") {
        SetBounds(0, 0, 800, 600);
        StatusBar1.AddPanel(175);
        StatusBar1.AddPanel(250);
        StatusBar1.AddPanel(50);
        StatusBar2.AddPanel(400);
        Panel1.SetAlign(ui::Align::Client);
        MainMenu1.Add(N1);
        N1.Add(N5);
        N5.Add(NNewcnf);
        N1.Add(NExit);
        MainMenu1.Add(Nvers);
        TimerStart.SetInterval(100);
        TimerStart.SetEnabled(false);
    }
    ui::MainMenu MainMenu1{this, "MainMenu1"};
    ui::MenuItem N1{this, "N1", "Файл"}, N5{this, "N5", "Файли  конфігурації"}, NNewcnf{this, "NNewcnf", "Нова"},
        NExit{this, "NExit", "Вихід"}, Nvers{this, "Nvers", "Версія"};
    ui::Panel Panel1{this, "Panel1"};
    ui::StatusBar StatusBar1{this, "StatusBar1"};  // nearest the bottom edge
    ui::StatusBar StatusBar2{this, "StatusBar2"};
    ui::Timer TimerStart{this, "TimerStart"};
};

class TFormDialog : public ui::Form {
public:
    TFormDialog() : ui::Form(nullptr, "FormDialog") {
        BitBtn1.SetModalResult(ui::mrOk);
        BitBtn1.SetDefault(true);
        BitBtn2.SetCancel(true);
        BitBtn2.OnClick = [this] { log += "cancel;"; Close(); };
        OnShow = [this] { log += "show;"; };
        OnActivate = [this] { log += "activate;"; };
        OnClose = [this](ui::CloseAction&) { log += "close;"; };
        OnHide = [this] { log += "hide;"; };
        OnCloseQuery = [this](bool& can) { can = !keepOpen; };
    }
    std::string log;
    bool keepOpen = false;
    ui::Edit Edit1{this, "Edit1"};
    ui::Button BitBtn1{this, "BitBtn1"};
    ui::Button BitBtn2{this, "BitBtn2"};
};

TEST(Forms, ComponentsAreFoundByNameAndDetachWhenDestroyed) {
    ui::test::Driver drv;
    TFormMainLike f;
    EXPECT_EQ(f.FindComponent("StatusBar1"), &f.StatusBar1);
    EXPECT_EQ(f.Find<ui::MenuItem>("NExit"), &f.NExit);
    EXPECT_EQ(f.Find<ui::Edit>("NExit"), nullptr);  // wrong type
    EXPECT_EQ(f.FindComponent("nothing"), nullptr);
    // Rows made at run time are found the same way and owned by the form.
    for (int i = 1; i <= 3; ++i) {
        auto& p = f.Make<ui::Panel>("pn" + std::to_string(i));
        p.SetParent(&f.Panel1);
        p.SetTag(i);
    }
    EXPECT_EQ(f.Find<ui::Panel>("pn2")->Tag(), 2);
    EXPECT_EQ(f.Panel1.ControlCount(), 3);
    {
        ui::Panel outer(&f, "outer");
        ui::Label inner(&f, "inner");
        inner.SetParent(&outer);
        // outer goes first: inner is detached, not left pointing at it
    }
    EXPECT_EQ(f.FindComponent("outer"), nullptr);
    EXPECT_EQ(f.FindComponent("inner"), nullptr);
}

TEST(Forms, AlignedControlsFollowTheClientArea) {
    ui::test::Driver drv;
    TFormMainLike f;
    // Outer size counts frame (4), caption (22) and the menu bar (20).
    EXPECT_EQ(f.ClientWidth(), 792);
    EXPECT_EQ(f.ClientHeight(), 600 - 8 - 22 - 20);
    int ch = f.ClientHeight();
    EXPECT_EQ(f.StatusBar1.Top(), ch - 19);
    EXPECT_EQ(f.StatusBar2.Top(), ch - 38);
    EXPECT_EQ(f.StatusBar1.Width(), 792);
    EXPECT_EQ(f.Panel1.Height(), ch - 38);
    f.StatusBar2.Hide();
    EXPECT_EQ(f.Panel1.Height(), ch - 19);
    EXPECT_EQ(f.StatusBar1.Top(), ch - 19);
    f.SetBounds(0, 0, 640, 480);
    EXPECT_EQ(f.StatusBar1.Width(), 632);
    EXPECT_EQ(f.StatusBar1.Top(), f.ClientHeight() - 19);
    // The menu bar stays when every item is hidden.
    f.N1.SetVisible(false);
    f.Nvers.SetVisible(false);
    EXPECT_EQ(f.ClientHeight(), 480 - 30 - 20);
    // Status panels; a bad index writes nowhere.
    f.StatusBar1.SetPanelText(2, "Обмін...");
    f.StatusBar1.SetPanelText(9, "lost");
    EXPECT_EQ(f.StatusBar1.PanelText(2), "Обмін...");
    EXPECT_EQ(f.StatusBar1.PanelText(9), "");
}

TEST(Forms, ModalResultOfAButtonClosesTheModalForm) {
    ui::test::Driver drv;
    TFormDialog f;
    drv.onModal<TFormDialog>([](TFormDialog& d) {
        EXPECT_TRUE(d.Modal());
        EXPECT_TRUE(d.Visible());
        EXPECT_EQ(d.ActiveControl(), &d.Edit1);  // first control that takes focus
        d.Edit1.TypeText("5");
        d.BitBtn1.Click();
    });
    EXPECT_EQ(f.ShowModal(), ui::mrOk);
    EXPECT_EQ(f.log, "show;activate;close;hide;");
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(f.Edit1.Text(), "5");
    EXPECT_EQ(drv.modalCount<TFormDialog>(), 1);

    // Close() in a handler gives mrCancel; a handler that leaves the form
    // open is a close through the window's close box.
    drv.onModal<TFormDialog>([](TFormDialog& d) { d.BitBtn2.Click(); });
    EXPECT_EQ(f.ShowModal(), ui::mrCancel);
    drv.onModal<TFormDialog>([](TFormDialog&) {});
    EXPECT_EQ(f.ShowModal(), ui::mrCancel);

    // Esc clicks the Cancel button, Enter the Default one.
    drv.onModal<TFormDialog>([&](TFormDialog&) { drv.pressKey(ui::key::Escape); });
    f.log.clear();
    EXPECT_EQ(f.ShowModal(), ui::mrCancel);
    EXPECT_NE(f.log.find("cancel;"), std::string::npos);
    // Enter in the edit clicks the default button; on a focused button, that one.
    drv.onModal<TFormDialog>([&](TFormDialog& d) { d.Edit1.SetFocus(); drv.pressKey(ui::key::Return); });
    EXPECT_EQ(f.ShowModal(), ui::mrOk);
    drv.onModal<TFormDialog>([&](TFormDialog& d) { d.BitBtn2.SetFocus(); drv.pressKey(ui::key::Return); });
    EXPECT_EQ(f.ShowModal(), ui::mrCancel);
}

TEST(Forms, CloseQueryCanKeepTheFormOpen) {
    ui::test::Driver drv;
    TFormDialog f;
    drv.onModal<TFormDialog>([](TFormDialog& d) {
        d.keepOpen = true;
        d.BitBtn1.Click();
        EXPECT_FALSE(d.CloseModal());  // what the loop would ask
        EXPECT_EQ(d.ModalResult(), ui::mrNone);
        d.keepOpen = false;
        d.BitBtn1.Click();
    });
    EXPECT_EQ(f.ShowModal(), ui::mrOk);
}

TEST(Forms, UserActionsOnHiddenOrDisabledControlsFail) {
    ui::test::Driver drv;
    std::vector<std::string> failures;
    drv.onFailure = [&](const std::string& w) { failures.push_back(w); };
    TFormDialog f;
    int clicks = 0;
    f.BitBtn1.OnClick = [&] { ++clicks; };
    f.BitBtn1.SetEnabled(false);
    EXPECT_FALSE(f.BitBtn1.Click());
    f.BitBtn1.SetEnabled(true);
    f.BitBtn1.Hide();
    EXPECT_FALSE(f.BitBtn1.Click());
    EXPECT_EQ(clicks, 0);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_NE(failures[0].find("BitBtn1"), std::string::npos);
    EXPECT_NE(failures[0].find("disabled"), std::string::npos);
}

TEST(Forms, MenuItemsAndTimers) {
    ui::test::Driver drv;
    drv.onFailure = [](const std::string&) {};
    TFormMainLike f;
    int news = 0, ticks = 0;
    f.NNewcnf.OnClick = [&] { ++news; };
    f.TimerStart.OnTimer = [&] { ++ticks; f.TimerStart.SetEnabled(false); };
    EXPECT_TRUE(f.NNewcnf.Click());
    f.N5.SetVisible(false);
    EXPECT_FALSE(f.NNewcnf.Click());  // under a hidden item
    EXPECT_FALSE(f.N1.Click());       // opens a sub-menu
    EXPECT_EQ(news, 1);
    EXPECT_EQ(f.N1.Count(), 2);
    int visible = 0;
    f.MainMenu1.Items().ForEach([&](ui::MenuItem& i) { visible += i.Visible(); });
    EXPECT_EQ(visible, 4);

    EXPECT_FALSE(drv.fireTimer(f.TimerStart));  // disabled in the form
    f.TimerStart.SetEnabled(true);
    EXPECT_TRUE(drv.fireTimer(f.TimerStart));
    EXPECT_FALSE(drv.fireTimer(f.TimerStart));  // the one-shot turned itself off
    EXPECT_EQ(ticks, 1);
    f.TimerStart.SetEnabled(true);
    EXPECT_EQ(drv.fireTimers(), 1);
}

TEST(Forms, MainFormCloseEndsTheProgram) {
    ui::test::Driver drv;
    TFormMainLike f;
    bool closed = false;
    f.OnClose = [&](ui::CloseAction&) { closed = true; };
    ui::Application::Run(f);
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(ui::Application::MainForm(), &f);
    EXPECT_FALSE(ui::Application::Terminated());
    f.NExit.OnClick = [&] { f.Close(); };
    f.NExit.Click();
    EXPECT_TRUE(closed);
    EXPECT_TRUE(ui::Application::Terminated());
}

TEST(Forms, MessageHookSeesEscInsideALongWait) {
    ui::test::Driver drv;
    TFormMainLike f;
    bool exchangeActive = true, abortRequested = false;
    f.OnActivate = [&] {
        ui::Application::OnMessage = [&](const ui::Message& m, bool&) {
            if (m.kind == ui::Message::KeyDown && m.key == ui::key::Escape && exchangeActive) abortRequested = true;
        };
    };
    f.Show();
    int polls = 0;
    drv.onProcessMessages([&] { if (++polls == 3) drv.pressKey(ui::key::Escape); });
    // A read loop waiting in slices, as the link layer does.
    int slices = 0;
    while (!abortRequested && slices < 100) {
        platform::PumpMessages();
        ++slices;
    }
    EXPECT_TRUE(abortRequested);
    EXPECT_EQ(slices, 3);
    EXPECT_GE(drv.processCount(), 3);
}

TEST(Forms, PostedWorkHourglassAndScreen) {
    ui::test::Driver drv;
    int runs = 0;
    ui::Application::Post([&] { ++runs; });
    EXPECT_EQ(runs, 0);
    ui::Application::ProcessMessages();
    ui::Application::ProcessMessages();
    EXPECT_EQ(runs, 1);
    {
        ui::HourGlass busy;
        EXPECT_EQ(ui::Screen::Cursor(), ui::Cursor::HourGlass);
    }
    EXPECT_EQ(ui::Screen::Cursor(), ui::Cursor::Default);
    drv.setScreen(1024, 768, 120);
    EXPECT_EQ(ui::Screen::PixelsPerInch(), 120);
    TFormDialog f;
    f.SetBounds(0, 0, 200, 100);
    f.SetPosition(ui::Position::ScreenCenter);
    f.Show();
    EXPECT_EQ(f.Left(), 412);
    EXPECT_EQ(f.Top(), 334);
}

}  // namespace
