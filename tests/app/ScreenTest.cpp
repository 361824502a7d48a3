// The main window, the connect dialog and the table-state window as real Qt
// windows (offscreen), connected to the emulator, rendered to PNG files in
// the build tree (build/app-screens) and checked for what they must show.
#include <gtest/gtest.h>

#include <QtWidgets>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/Main.h"
#include "app/TableInfo.h"
#include "config/Conffun.h"
#include "config/ConfigImage.h"
#include "config/Shortuspass.h"
#include "emulator/Emulator.h"
#include "link/Connect.h"
#include "platform/MessagePump.h"
#include "platform/Paths.h"
#include "support/QtScreens.h"
#include "support/TestFolders.h"
#include "support/Waiting.h"
#include "ui/qt/QtUi.h"

namespace {

using zbr_test::AreaOf;
using zbr_test::WaitFor;

std::string ScreenFile(const std::string& name) { return zbr_test::ScreenFile("app-screens", name); }

// Dark pixels (text) in a rectangle of the image.
int Ink(const QImage& img, const QRect& r) { return zbr_test::InkIn(img, r, 110); }

class Screens : public ::testing::Test {
protected:
    std::filesystem::path dir;
    emu::Emulator emu;

    void SetUp() override {
        dir = zbr_test::FreshWorkDir("app-screen");
        std::filesystem::create_directories(dir / "INI");
        std::ofstream(dir / "INI" / "zbr.ini", std::ios::binary)
            << "[CURR_PAR]\r\nConn_Prz=0\r\nDo_Close_Port=0\r\nForm_Width=1000\r\nForm_Height=680\r\n"
               "[DIR_CONN_PAR]\r\nCOMPort=1\r\nAdr=1\r\nRate=9600\r\nPreambles=2\r\nRepeat=1\r\nTimeOut=100\r\n"
               "WaitTime=1\r\n";
        emu.StartPty((dir / "dev" / "com1").string());
        InitConfigImage();
        IsConnected = 0;
    }
    void TearDown() override {
        ui::qt::SetModalShownHook(nullptr);
        emu.Stop();
    }
};

TEST_F(Screens, ConnectedMainWindowAndConnectDialog) {
    std::string connectFile = ScreenFile("FormConnect.png");
    std::filesystem::remove(connectFile);
    ui::qt::SetModalShownHook([&](ui::Form& f) {
        if (auto* c = dynamic_cast<TFormConnect*>(&f)) {
            EXPECT_TRUE(ui::qt::RenderToPng(*c, connectFile));
            c->ConnectSettleMs = 0;
            c->BitBtn1.Click();
        } else if (auto* u = dynamic_cast<TFormShortUsPass*>(&f)) {
            u->Edit1.TypeText("1111");
            u->Edit2.TypeText("12345");
            u->BitBtn1.Click();
        } else {
            ADD_FAILURE() << "unexpected window " << f.Name();
            f.Close();
        }
    });
    auto form = std::make_unique<TFormMain>(nullptr);
    form->Show();
    ASSERT_TRUE(WaitFor([] { return IsConnected == 1; }, 5000));
    ui::Application::ProcessMessages();
    ui::qt::Sync();

    // The real widgets show what the model holds.
    auto* window = ui::qt::WidgetOf(*form);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle().toStdString(), "Програма обслуговування контролера  ЗБР_11");
    auto* bar = window->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    QStringList titles;
    for (QAction* a : bar->actions())
        if (a->isVisible()) titles << a->text();
    EXPECT_EQ(titles.join("|").toStdString(), "Файл|Параметри|Дані|Звіти|Зв'язок з іншим пристроєм|Версія");

    const std::string mainFile = ScreenFile("FormMain_connected.png");
    ASSERT_TRUE(ui::qt::RenderToPng(*form, mainFile));
    QImage img(QString::fromStdString(mainFile));
    EXPECT_EQ(img.size(), QSize(form->Width(), form->Height()));
    // Link, controller name: text in panels 0 and 1 of the bottom status bar.
    const QRect status = AreaOf(*form, form->StatusBar1);
    EXPECT_GT(Ink(img, QRect(status.left(), status.top(), 175, status.height())), 40);
    EXPECT_GT(Ink(img, QRect(status.left() + 175, status.top(), 250, status.height())), 40);
    EXPECT_GT(Ink(img, QRect(0, form->FrameWidth() + form->CaptionHeight(), img.width(), form->MenuHeight())), 80);
    EXPECT_TRUE(std::filesystem::exists(connectFile));

    // A telephone call's look: the subscriber and modem bars and the call panel.
    form->StatusBar2.Show();
    form->StatusBar3.Show();
    form->StatusBar2.SetPanelText(0, " ГРС Південна (тел. (044) 123-45-67)");
    form->StatusBar3.SetPanelText(0, " Встановлення зв'язку по телефону. Команда ATD0441234567.");
    form->pntime.SetCaption("00:01:07");
    form->ShowModemPanel();
    ui::Application::ProcessMessages();
    ui::qt::Sync();
    const std::string callFile = ScreenFile("FormMain_call.png");
    ASSERT_TRUE(ui::qt::RenderToPng(*form, callFile));
    QImage call(QString::fromStdString(callFile));
    EXPECT_GT(Ink(call, AreaOf(*form, form->pntime)), 20);
    EXPECT_GT(Ink(call, AreaOf(*form, form->BitBtn3)), 30);
    EXPECT_GT(Ink(call, AreaOf(*form, form->StatusBar3)), 40);
    EXPECT_LT(AreaOf(*form, form->pnmodem).bottom(), AreaOf(*form, form->StatusBar3).top());
    form->Disconnect();
    QImage dlg(QString::fromStdString(connectFile));
    EXPECT_GT(dlg.width(), 300);
    form->Close();
}

TEST_F(Screens, TableStateWindow) {
    emu.SetTableDamaged(5, true);
    emu.SetTableDamaged(22, true);
    const std::string file = ScreenFile("FormTableInfo.png");
    std::filesystem::remove(file);
    bool shown = false;
    ui::qt::SetModalShownHook([&](ui::Form& f) {
        if (auto* c = dynamic_cast<TFormConnect*>(&f)) {
            c->ConnectSettleMs = 0;
            c->BitBtn1.Click();
        } else if (auto* u = dynamic_cast<TFormShortUsPass*>(&f)) {
            u->BitBtn2.Click();
        } else if (auto* t = dynamic_cast<TFormTableInfo*>(&f)) {
            shown = true;
            ui::qt::Sync();
            EXPECT_TRUE(ui::qt::RenderToPng(*t, file));
            QImage img(QString::fromStdString(file));
            EXPECT_EQ(img.size(), QSize(t->Width(), t->Height()));
            for (int n = 1; n <= t->RowCount(); ++n)
                EXPECT_GT(Ink(img, AreaOf(*t, t->pn(n))), 20) << n;
            EXPECT_GT(Ink(img, AreaOf(*t, t->BitBtn4)), 30);
            t->BitBtn2.Click();
        } else {
            f.Close();  // the retry question of the damaged name table: "Ні"
        }
    });
    auto form = std::make_unique<TFormMain>(nullptr);
    form->Show();
    ASSERT_TRUE(WaitFor([&] { return shown && IsConnected == 1; }, 5000));
    form->Close();
}

TEST_F(Screens, ClosingTheWindowDuringAnExchangeClosesAfterIt) {
    ui::qt::SetModalShownHook([&](ui::Form& f) {
        if (auto* c = dynamic_cast<TFormConnect*>(&f)) {
            c->ConnectSettleMs = 0;
            c->BitBtn1.Click();
        } else {
            f.Close();  // identification skipped; the retry question answered "Ні"
        }
    });
    auto form = std::make_unique<TFormMain>(nullptr);
    form->Show();
    ASSERT_TRUE(WaitFor([] { return IsConnected == 1; }, 5000));
    bool boxThere = false, pending = false, read = true;
    form->Attach(form->NContrDt, [&](TFormMain& f, ui::MenuItem&) {
        read = ReadTableRange({2, 0, 8}, &f.StatusBar1, true);
        boxThere = HgcBox != nullptr;
        pending = f.ClosePending() && f.Visible();
    });
    emu.QueueFault({emu::FaultKind::ReplyDelay, 900});
    // The window's close box, pressed while the request waits for its reply.
    QTimer::singleShot(150, [&] { ui::qt::WidgetOf(*form)->close(); });
    ASSERT_TRUE(form->NContrDt.Click());
    EXPECT_TRUE(boxThere);
    EXPECT_TRUE(pending);
    EXPECT_FALSE(read);  // aborted
    ASSERT_TRUE(WaitFor([&] { return !form->Visible(); }, 2000));
    EXPECT_EQ(HgcBox, nullptr);
}

}  // namespace
