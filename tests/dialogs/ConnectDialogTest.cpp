// The connect dialog and the link-parameter dialog: choosing the link kind,
// the subscriber and the address, the parameter checks, and connecting to
// the controller emulator over a pty (linked as WorkDir/dev/com5) and TCP.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>

#include "DialogFixture.h"
#include "common/Abonent.h"
#include "common/Abonents_list.h"
#include "common/LinkStatus.h"
#include "emulator/Emulator.h"
#include "link/Conn_par.h"
#include "link/Connect.h"
#include "link/Hgcbox.h"
#include "platform/SerialPort.h"
#include "platform/Tcp.h"

namespace {

using dlgtest::Ip;
using dlgtest::SameBytes;

// A loopback port nobody listens on (just released by the system).
int FreeTcpPort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

class ConnectDialog : public dlgtest::Fixture {
protected:
    void SetUp() override {
        Fixture::SetUp();
        HgcBox = new hgcbox(0);
        bar1.AddPanel(175);
        bar1.AddPanel(250);
        bar2.AddPanel(400);
        bar3.AddPanel(400);
        MainStatusBar2 = &bar2;
        MainStatusBar3 = &bar3;
        ProgramSettings.Free_Port_Wait = 0;  // a port that does not open fails at once
        ProgramSettings.Dir.WaitTime = 1;
        ProgramSettings.Dir.Repeat = 1;
        ProgramSettings.Fon.Link.WaitTime = 1;
        ProgramSettings.Fon.Link.Repeat = 1;
    }
    void TearDown() override {
        delete HgcBox;
        HgcBox = nullptr;
        MainStatusBar2 = MainStatusBar3 = nullptr;
    }
    std::string StartPty() { return emu.StartPty((dir / "dev" / "com5").string()); }
    // Connects over the direct link to address 1, `first` done in the dialog
    // before it is accepted; the dialog's accepted byte.
    int ConnectDirect(const std::function<void(TFormConnect&)>& first = {}) {
        drv.onModal<TFormConnect>([first](TFormConnect& f) {
            if (first) first(f);
            f.ComboBox1.SetText({});
            f.ComboBox1.TypeText("1");
            f.BitBtn1.Click();
        });
        TFormConnect f(&main);
        f.status_bar = &bar1;
        f.ShowModal();
        return f.accepted;
    }
    // Reads table 0 row 0 through the link object as the dialog left it.
    bool ReadTable0() {
        HgcBox->TcpSendDelayMs = 0;
        const uint8_t req[3] = {0, 0, 1};
        return HgcBox->Exchange(1, req, 3);
    }

    emu::Emulator emu;
    ui::Form main{nullptr, "FormMain"};
    ui::StatusBar bar1{&main, "StatusBar1"};
    ui::StatusBar bar2{&main, "StatusBar2"};
    ui::StatusBar bar3{&main, "StatusBar3"};
};

TEST_F(ConnectDialog, LinkKindDecidesWhatTheWindowShows) {
    ProgramSettings.Dir.Adr = 17;
    dlgtest::AddPhone("Березне", 4, "555");
    dlgtest::AddPhone("Західна", 6, "777");
    ProgramSettings.Fon.Users.user_index = 1;
    drv.onModal<TFormConnect>([&](TFormConnect& f) {
        EXPECT_EQ(f.Width(), 440);
        EXPECT_EQ(f.ComboBox3.ItemIndex(), 0);
        EXPECT_EQ(f.Height(), 194);
        EXPECT_FALSE(f.pn_abon.Visible());
        EXPECT_FALSE(bar2.Visible());
        EXPECT_FALSE(bar3.Visible());
        EXPECT_TRUE(f.ComboBox1.Enabled());
        EXPECT_EQ(f.ComboBox1.Text(), "17");
        EXPECT_EQ(f.ActiveControl(), &f.BitBtn1);
        EXPECT_EQ(bar1.PanelText(0), " COM1,   38400 біт/с");
        EXPECT_EQ(bar1.PanelText(1), " Адр. 17");

        f.ComboBox3.Select(1);
        EXPECT_EQ(ProgramSettings.Conn_Prz, 1);
        EXPECT_EQ(f.Height(), 266);
        EXPECT_TRUE(f.pn_abon.Visible());
        EXPECT_TRUE(bar2.Visible());
        EXPECT_TRUE(bar3.Visible());
        EXPECT_FALSE(f.ComboBox1.Enabled());
        EXPECT_EQ(f.ComboBox2.Items(), (std::vector<std::string>{"Березне", "Західна", "Новый абонент"}));
        EXPECT_EQ(f.ComboBox2.ItemIndex(), 1);
        EXPECT_EQ(f.ComboBox1.Text(), "6");
        EXPECT_EQ(bar2.PanelText(0), " Західна (тел. 777)");

        f.ComboBox2.Select(0);
        EXPECT_EQ(ProgramSettings.Fon.Users.user_index, 0);
        EXPECT_EQ(f.ComboBox1.Text(), "4");
        EXPECT_EQ(bar1.PanelText(1), " Адр. 4");

        f.ComboBox3.Select(2);  // an empty Ethernet list
        EXPECT_EQ(f.ComboBox2.Items(), (std::vector<std::string>{"Новый абонент"}));
        EXPECT_EQ(f.ComboBox2.ItemIndex(), -1);
        EXPECT_EQ(f.ComboBox1.ItemIndex(), -1);
        f.BitBtn2.Click();
    });
    TFormConnect f(&main);
    f.status_bar = &bar1;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
}

TEST_F(ConnectDialog, UnknownLinkKindShowsNoSubscriberPanel) {
    ProgramSettings.Conn_Prz = 7;  // a hand-edited zbr.ini
    dlgtest::AddPhone("Березне", 4, "555");
    drv.expectMessage(2, "Уведені не всі параметри");
    drv.onModal<TFormConnect>([&](TFormConnect& f) {
        EXPECT_EQ(f.ComboBox3.ItemIndex(), -1);
        EXPECT_EQ(f.ActiveControl(), &f.ComboBox3);
        EXPECT_EQ(f.Height(), 194);
        EXPECT_FALSE(f.pn_abon.Visible());
        // The buttons stand inside the window.
        EXPECT_LE(f.pn_main.Top() + f.BitBtn1.Top() + f.BitBtn1.Height(), f.ClientHeight());
        f.ComboBox1.SetText("5");
        f.BitBtn1.Click();
        f.ComboBox3.Select(1);
        EXPECT_TRUE(f.pn_abon.Visible());
        EXPECT_EQ(f.Height(), 266);
        EXPECT_EQ(f.ComboBox2.ItemIndex(), 0);
        EXPECT_LE(f.pn_main.Top() + f.BitBtn1.Top() + f.BitBtn1.Height(), f.ClientHeight());
        f.BitBtn2.Click();
    });
    TFormConnect f(&main);
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
}

TEST_F(ConnectDialog, NewSubscriberEntry) {
    ProgramSettings.Conn_Prz = 2;
    dlgtest::AddEthernet("Ялта", 3, Ip(10, 0, 0, 3), 4001);
    WriteEthernetSubscribers(EthernetIniPath());
    int shown = 0;
    drv.onModal<TFormAbonent>([&](TFormAbonent& f) {
        EXPECT_EQ(f.edit_mode, 0);
        if (++shown == 1) return;  // cancelled first
        f.Edit1.TypeText("Арциз");
        f.ComboBox1.TypeText("8");
        f.ip4.TypeText("10");
        f.ip3.TypeText("0");
        f.ip2.TypeText("0");
        f.ip1.TypeText("8");
        f.Edit11.TypeText("502");
        f.BitBtn4.Click();
    });
    drv.onModal<TFormConnect>([&](TFormConnect& f) {
        f.ComboBox2.Select("Новый абонент");
        EXPECT_EQ(f.ComboBox2.ItemIndex(), 0);  // the former selection again
        EXPECT_EQ(ProgramSettings.Ethr.Users.users_num, 1);
        f.ComboBox2.Select("Новый абонент");
        // Added, sorted by name (Арциз before Ялта), selected, stored.
        EXPECT_EQ(f.ComboBox2.Items(), (std::vector<std::string>{"Арциз", "Ялта", "Новый абонент"}));
        EXPECT_EQ(f.ComboBox2.ItemIndex(), 0);
        EXPECT_EQ(f.ComboBox1.Text(), "8");
        EXPECT_EQ(bar2.PanelText(0), " Арциз (IP-адр. 10.0.0.8)");
        EXPECT_EQ(dlgtest::IniInt(EthernetIniPath(), "ETHERNET_CONN_PAR", "users_num"), 2);
        EXPECT_EQ(dlgtest::IniInt(EthernetIniPath(), "ETHERNET_ABONENT_1", "port"), 502);
    });
    TFormConnect f(&main);
    f.status_bar = &bar1;
    f.ShowModal();
    EXPECT_EQ(shown, 2);
}

TEST_F(ConnectDialog, FailedListWriteIsReportedAndTriedAgainAtConnect) {
    const int port = emu.StartTcp();
    ProgramSettings.Conn_Prz = 2;
    ProgramSettings.Ethr.ConnectWaitTime = 2;
    std::filesystem::remove_all(dir / "INI");
    drv.onModal<TFormAbonent>([](TFormAbonent& f) {
        f.Edit1.TypeText("Локальний");
        f.ComboBox1.TypeText("1");
        f.ip4.TypeText("127");
        f.ip3.TypeText("0");
        f.ip2.TypeText("0");
        f.ip1.TypeText("1");
        f.BitBtn4.Click();  // refused: no port; then closed
    });
    drv.expectMessage(2, "Уведені не всі параметри");
    drv.onModal<TFormConnect>([&](TFormConnect& f) {
        f.ConnectSettleMs = 0;
        f.ComboBox2.Select("Новый абонент");
        EXPECT_EQ(ProgramSettings.Ethr.Users.users_num, 0);
        drv.verify();
        drv.onModal<TFormAbonent>([&](TFormAbonent& a) {
            a.Edit1.TypeText("Локальний");
            a.ComboBox1.TypeText("1");
            a.ip4.TypeText("127");
            a.ip3.TypeText("0");
            a.ip2.TypeText("0");
            a.ip1.TypeText("1");
            a.Edit11.TypeText(std::to_string(port));
            a.BitBtn4.Click();
        });
        drv.expectMessage(1, "Помилка роботи з файлом", EthernetIniPath());
        f.ComboBox2.Select("Новый абонент");
        drv.verify();
        EXPECT_EQ(ProgramSettings.Ethr.Users.users_num, 1);
        EXPECT_EQ(f.ComboBox2.ItemIndex(), 0);
        // The folder is back: the connect stores the list it could not store before.
        std::filesystem::create_directories(dir / "INI");
        f.BitBtn1.Click();
    });
    TFormConnect f(&main);
    f.ShowModal();
    ASSERT_EQ(f.accepted, 1);
    EXPECT_EQ(dlgtest::IniInt(EthernetIniPath(), "ETHERNET_CONN_PAR", "users_num"), 1);
    EXPECT_EQ(dlgtest::IniInt(EthernetIniPath(), "ETHERNET_ABONENT_1", "port"), port);
}

TEST_F(ConnectDialog, FullListOffersNoNewSubscriberAndTheListWindowIsStored) {
    ProgramSettings.Conn_Prz = 1;
    for (int i = 0; i < 200; ++i) dlgtest::AddPhone("N" + std::to_string(100 + i), 1, "1");
    drv.onModal<TFormAbonents_List>([&](TFormAbonents_List& f) {
        drv.expectQuestion(3, "Ви дійсно хочете", "видалити цей абонент?", true);
        f.BitBtn3.Click();
        f.BitBtn4.Click();
    });
    drv.onModal<TFormConnect>([&](TFormConnect& f) {
        EXPECT_EQ(f.ComboBox2.ItemCount(), 200);
        EXPECT_EQ(f.ComboBox2.IndexOf("Новый абонент"), -1);
        f.BitBtn6.Click();
        EXPECT_EQ(f.ComboBox2.ItemCount(), 200);  // 199 and the new entry
        EXPECT_EQ(f.ComboBox2.Item(199), "Новый абонент");
        EXPECT_EQ(dlgtest::IniInt(PhoneIniPath(), "FON_CONN_PAR", "users_num"), 199);
    });
    TFormConnect f(&main);
    f.ShowModal();
}

TEST_F(ConnectDialog, DeletingFromAListCutAtStartKeepsTheRestOfItsFile) {
    // 250 Ethernet subscribers E001..E250 in the file: the start loads the
    // first 200; one is deleted in the list window and the list accepted.
    auto name = [](int i) { return "E" + std::string(i < 10 ? "00" : i < 100 ? "0" : "") + std::to_string(i); };
    std::string text = "[ETHERNET_CONN_PAR]\r\nusers_num=250\r\nuser_index=0\r\nsort_prz=0\r\n";
    for (int i = 1; i <= 250; ++i)
        text += "[ETHERNET_ABONENT_" + std::to_string(i) + "]\r\nuser_name=" + name(i) +
                "\r\ncontr_adr=1\r\nip_adr=167772161\r\nport=" + std::to_string(i) + "\r\n";
    zbr_test::WriteBytes(EthernetIniPath(), text);
    ProgramSettings.Conn_Prz = 2;
    ASSERT_EQ(ReadEthernetSubscribers(EthernetIniPath()), 250);
    SortEthernetSubscribers(ProgramSettings.Ethr.Users);
    SettingsShadow = ProgramSettings;

    drv.onModal<TFormAbonents_List>([&](TFormAbonents_List& f) {
        EXPECT_EQ(f.StringGrid1.RowCount(), 200);
        f.StringGrid1.SelectCell(1, 9);
        EXPECT_EQ(f.StringGrid1.Cell(1, 9), " E010");
        drv.expectQuestion(3, "Ви дійсно хочете", "видалити цей абонент?", true);
        f.BitBtn3.Click();
        f.BitBtn4.Click();
    });
    drv.onModal<TFormConnect>([&](TFormConnect& f) {
        f.BitBtn6.Click();
        EXPECT_EQ(f.ComboBox2.ItemCount(), 200);  // 199 and the new entry
    });
    TFormConnect f(&main);
    f.ShowModal();

    // Every subscriber but the deleted one is still in the file, in order.
    platform::IniFile ini(EthernetIniPath());
    EXPECT_EQ(ini.ReadInteger("ETHERNET_CONN_PAR", "users_num", 0), 249);
    for (int k = 1; k <= 249; ++k) {
        const int was = k < 10 ? k : k + 1;
        const std::string sec = "ETHERNET_ABONENT_" + std::to_string(k);
        EXPECT_EQ(ini.ReadRawString(sec, "user_name", ""), name(was)) << k;
        EXPECT_EQ(ini.ReadInteger(sec, "port", 0), was) << k;
    }
    // The next start loads the first 200 of them and says the cut again.
    std::memset(&ProgramSettings.Ethr.Users, 0, sizeof ProgramSettings.Ethr.Users);
    EXPECT_EQ(ReadEthernetSubscribers(EthernetIniPath()), 249);
    EXPECT_EQ(ProgramSettings.Ethr.Users.users_num, 200);
    EXPECT_EQ(ProgramSettings.Ethr.Users.users[199].Name(), "E201");
}

TEST_F(ConnectDialog, DirectConnectOpensThePortAndStoresTheSettings) {
    StartPty();
    ProgramSettings.Dir.COMPort = 5;
    ProgramSettings.Dir.Rate = 9600;
    ASSERT_EQ(ConnectDirect(), 1);
    EXPECT_EQ(ui::Screen::Cursor(), ui::Cursor::Default);
    EXPECT_NE(HgcBox->hCom, platform::kNoHandle);
    EXPECT_EQ(HgcBox->LinkType, hgcbox::kLinkDirect);
    EXPECT_FALSE(HgcBox->OpenPerExchange);
    EXPECT_EQ(HgcBox->Address, 1);
    EXPECT_EQ(HgcBox->ComPort, 5);
    EXPECT_EQ(HgcBox->ReplyTimeoutMs, 1000u);
    EXPECT_TRUE(ReadTable0());
    EXPECT_EQ(dlgtest::IniInt(SettingsIniPath(), "DIR_CONN_PAR", "COMPort"), 5);
    EXPECT_EQ(bar1.PanelText(0), " COM5,   9600 біт/с");

    // Opening per exchange leaves the port closed.
    HgcBox->ClosePort();
    ProgramSettings.Do_Close_Port = true;
    TFormConnect g(&main);
    g.ShowModal();
    ASSERT_EQ(g.accepted, 1);
    EXPECT_EQ(HgcBox->hCom, platform::kNoHandle);
    EXPECT_TRUE(HgcBox->OpenPerExchange);
    EXPECT_TRUE(ReadTable0());
}

TEST_F(ConnectDialog, EnterConnectsFromTheAddressBox) {
    StartPty();
    ProgramSettings.Dir.COMPort = 5;
    ProgramSettings.Dir.Rate = 9600;
    drv.onModal<TFormConnect>([this](TFormConnect& f) {
        f.ComboBox3.SetFocus();
        f.ComboBox1.SetFocus();
        f.ComboBox1.SetText({});
        f.ComboBox1.TypeText("a1");  // the letter does not get in
        EXPECT_EQ(f.ComboBox1.Text(), "1");
        drv.pressKey(ui::key::Return);
    });
    TFormConnect f(&main);
    f.status_bar = &bar1;
    EXPECT_EQ(f.ShowModal(), ui::mrOk);
    ASSERT_EQ(f.accepted, 1);
    EXPECT_EQ(HgcBox->Address, 1);
    EXPECT_TRUE(ReadTable0());

    // Enter on the focused "Вихід" leaves without connecting.
    HgcBox->ClosePort();
    drv.onModal<TFormConnect>([](TFormConnect& f) { f.BitBtn2.KeyDown(ui::key::Return); });
    TFormConnect g(&main);
    g.ShowModal();
    EXPECT_EQ(g.accepted, 0);
    EXPECT_EQ(HgcBox->hCom, platform::kNoHandle);
}

TEST_F(ConnectDialog, ChosenSubscriberReachesItsListFile) {
    StartPty();
    ProgramSettings.Conn_Prz = 1;
    ProgramSettings.Fon.Link.COMPort = 5;
    dlgtest::AddPhone("Березне", 4, "555");
    dlgtest::AddPhone("Західна", 6, "777");
    ASSERT_TRUE(WritePhoneSubscribers(PhoneIniPath()));
    ASSERT_EQ(dlgtest::IniInt(PhoneIniPath(), "FON_CONN_PAR", "user_index"), 0);
    drv.onModal<TFormConnect>([](TFormConnect& f) {
        f.ComboBox2.Select("Західна");
        f.BitBtn1.Click();
    });
    TFormConnect f(&main);
    f.ShowModal();
    ASSERT_EQ(f.accepted, 1);
    EXPECT_EQ(dlgtest::IniInt(PhoneIniPath(), "FON_CONN_PAR", "user_index"), 1);
    EXPECT_EQ(dlgtest::IniInt(SettingsIniPath(), "CURR_PAR", "Conn_Prz"), 1);
    EXPECT_EQ(dlgtest::IniInt(SettingsIniPath(), "FON_CONN_PAR", "Adr"), 6);
    EXPECT_EQ(HgcBox->LinkType, hgcbox::kLinkModem);
    EXPECT_FALSE(HgcBox->OpenPerExchange);
    EXPECT_EQ(HgcBox->Address, 6);
    EXPECT_NE(HgcBox->hCom, platform::kNoHandle);
}

TEST_F(ConnectDialog, WrongInputAndUnavailablePortKeepTheWindowOpen) {
    struct Case {
        uint8_t link;
        const char* address;  // nullptr: as the window shows it
        int kind;
        std::string line1, line2;
    };
    ProgramSettings.Dir.COMPort = 150;
    ProgramSettings.Fon.Link.COMPort = 150;
    dlgtest::AddPhone("Березне", 4, "555");
    const Case cases[] = {
        {0, "", 2, "Уведені не всі параметри", ""},
        {0, "0", 2, "Адреса поза припустимого діапазону", "(1...255)"},
        {0, "256", 2, "Адреса поза припустимого діапазону", "(1...255)"},
        {0, "99999999999", 2, "Адреса поза припустимого діапазону", "(1...255)"},
        {0, "3", 1, "Комунікаційний порт СОМ150 недоступний", ""},
        {1, nullptr, 1, "Комунікаційний порт СОМ150 недоступний", ""},
        {1, "new", 2, "Уведені не всі параметри", ""},
        {2, nullptr, 2, "Уведені не всі параметри", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line1 + " " + (c.address ? c.address : "-"));
        ProgramSettings.Conn_Prz = c.link;
        drv.expectMessage(c.kind, c.line1, c.line2);
        drv.onModal<TFormConnect>([&](TFormConnect& f) {
            if (c.address && std::string(c.address) == "new") f.ComboBox2.SetItemIndex(1);  // "Новый абонент"
            else if (c.address) f.ComboBox1.SetText(c.address);
            f.BitBtn1.Click();
            EXPECT_EQ(f.ModalResult(), ui::mrNone);
            EXPECT_EQ(ui::Screen::Cursor(), ui::Cursor::Default);
        });
        TFormConnect f(&main);
        f.ShowModal();
        EXPECT_EQ(f.accepted, 0);
        EXPECT_EQ(HgcBox->hCom, platform::kNoHandle);
        drv.verify();
    }
}

TEST_F(ConnectDialog, FailedSettingsWriteStopsTheConnect) {
    StartPty();
    ProgramSettings.Dir.COMPort = 5;
    std::filesystem::remove_all(dir / "INI");
    drv.expectMessage(1, "Помилка роботи з файлом", SettingsIniPath());
    drv.onModal<TFormConnect>([](TFormConnect& f) {
        f.ComboBox1.SetText("17");
        f.BitBtn1.Click();
        EXPECT_EQ(f.ModalResult(), ui::mrNone);
    });
    TFormConnect f(&main);
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
    EXPECT_EQ(HgcBox->hCom, platform::kNoHandle);
    EXPECT_EQ(ui::Screen::Cursor(), ui::Cursor::Default);
}

TEST_F(ConnectDialog, EthernetConnectsOverTcp) {
    const int port = emu.StartTcp();
    ProgramSettings.Conn_Prz = 2;
    ProgramSettings.Ethr.ConnectWaitTime = 2;
    ProgramSettings.Ethr.Link.WaitTime = 1;
    dlgtest::AddEthernet("Локальний", 1, Ip(127, 0, 0, 1), uint32_t(port));
    drv.onModal<TFormConnect>([](TFormConnect& f) {
        f.ConnectSettleMs = 0;
        EXPECT_EQ(f.ComboBox1.Text(), "1");
        f.BitBtn1.Click();
    });
    TFormConnect f(&main);
    f.status_bar = &bar1;
    f.ShowModal();
    ASSERT_EQ(f.accepted, 1);
    EXPECT_NE(HgcBox->Sock, platform::kNoSocket);
    EXPECT_EQ(HgcBox->LinkType, hgcbox::kLinkTcp);
    EXPECT_EQ(HgcBox->Address, 1);
    EXPECT_EQ(HgcBox->ReplyTimeoutMs, 1000u);
    EXPECT_TRUE(ReadTable0());
    EXPECT_EQ(ProgramSettings.Ethr.Link.Adr, 1);
    EXPECT_EQ(dlgtest::IniInt(SettingsIniPath(), "CURR_PAR", "Conn_Prz"), 2);
    EXPECT_EQ(bar1.PanelText(1), " Адр. 1");
    EXPECT_EQ(bar2.PanelText(0), " Локальний (IP-адр. 127.0.0.1)");
}

TEST_F(ConnectDialog, EthernetRetriesWithFreshSocketsUntilTheServerListens) {
    const int port = FreeTcpPort();
    ProgramSettings.Conn_Prz = 2;
    ProgramSettings.Ethr.ConnectWaitTime = 5;
    dlgtest::AddEthernet("Пізній", 1, Ip(127, 0, 0, 1), uint32_t(port));
    TFormConnect f(&main);
    // Window messages run between the attempts; one of them starts the server.
    // Meanwhile nothing in the window can start a second connect or change
    // the link being connected.
    bool started = false, busy = true;
    drv.onProcessMessages([&] {
        for (ui::Control* c : std::initializer_list<ui::Control*>{&f.BitBtn1, &f.BitBtn3, &f.BitBtn2, &f.BitBtn6,
                                                                  &f.ComboBox3, &f.ComboBox2})
            busy = busy && !c->EffectivelyEnabled();
        if (!started && drv.processCount() > 20) {
            started = true;
            emu.StartTcp("127.0.0.1", port);
        }
    });
    drv.onModal<TFormConnect>([&](TFormConnect& f) {
        f.ConnectSettleMs = 0;
        f.BitBtn1.Click();
        EXPECT_EQ(ui::Screen::Cursor(), ui::Cursor::Default);
    });
    f.ShowModal();
    ASSERT_TRUE(started);
    EXPECT_TRUE(busy);
    ASSERT_EQ(f.accepted, 1);
    EXPECT_TRUE(ReadTable0());
}

TEST_F(ConnectDialog, EthernetTimeoutIsReportedAndForgetsTheSocket) {
    ProgramSettings.Conn_Prz = 2;
    ProgramSettings.Ethr.ConnectWaitTime = 1;
    dlgtest::AddEthernet("Мовчун", 1, Ip(127, 0, 0, 1), uint32_t(FreeTcpPort()));
    drv.expectMessage(0, "Перевищено час очікування з'єднання сервер/клієнт");
    drv.onModal<TFormConnect>([](TFormConnect& f) {
        f.ConnectSettleMs = 0;
        f.BitBtn1.Click();
        EXPECT_EQ(f.ModalResult(), ui::mrNone);
        // The window is the operator's again, the address still from the subscriber.
        for (ui::Control* c : std::initializer_list<ui::Control*>{&f.BitBtn1, &f.BitBtn3, &f.BitBtn2, &f.BitBtn6,
                                                                  &f.ComboBox3, &f.ComboBox2})
            EXPECT_TRUE(c->EffectivelyEnabled()) << c->Name();
        EXPECT_FALSE(f.ComboBox1.Enabled());
    });
    TFormConnect f(&main);
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
    EXPECT_EQ(HgcBox->Sock, platform::kNoSocket);
    EXPECT_EQ(ui::Screen::Cursor(), ui::Cursor::Default);
}

// ---------------------------------------------------------------- link parameters

class LinkParamsDialog : public ConnectDialog {};

TEST_F(LinkParamsDialog, DirectLinkShowsItsParameters) {
    StartPty();
    ProgramSettings.Dir.COMPort = 5;
    ProgramSettings.Dir.Rate = 19200;
    ProgramSettings.Dir.TimeOut = 120;
    ProgramSettings.Dir.Preambles = 3;
    ProgramSettings.Dir.Repeat = 2;
    ProgramSettings.Free_Port_Wait = 4;
    drv.onModal<TFormConn_Par>([](TFormConn_Par& f) {
        EXPECT_EQ(f.Caption(), " Параметри зв'язку з пристроєм  (безпосередній зв'язок)");
        EXPECT_EQ(f.Width(), 606);
        EXPECT_EQ(f.Height(), 264);
        EXPECT_TRUE(f.BitBtn4.Visible());
        EXPECT_TRUE(f.pn_dir.Visible());
        EXPECT_FALSE(f.pn_fon.Visible());
        EXPECT_FALSE(f.pn_ethr.Visible());
        EXPECT_EQ(f.ComboBox1.Text(), "COM5");
        EXPECT_EQ(f.ComboBox2.ItemCount(), 22);
        EXPECT_EQ(f.ComboBox2.Text(), "19200");
        EXPECT_EQ(f.ComboBox3.Text(), " 2");
        EXPECT_EQ(f.Edit1.Text(), "1");
        EXPECT_EQ(f.Edit2.Text(), "120");
        EXPECT_EQ(f.Edit3.Text(), "3");
        EXPECT_EQ(f.ActiveControl(), &f.ComboBox1);
        EXPECT_FALSE(f.CheckBox1.Checked());
        EXPECT_FALSE(f.Edit13.Enabled());
        EXPECT_EQ(f.Edit13.Text(), "");
        // The check box takes effect at once, even when the window is left.
        f.CheckBox1.Click();
        EXPECT_TRUE(ProgramSettings.Do_Close_Port);
        EXPECT_TRUE(f.Edit13.Enabled());
        EXPECT_EQ(f.Edit13.Text(), "4");
        f.BitBtn2.Click();
    });
    TFormConn_Par f;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
    EXPECT_TRUE(ProgramSettings.Do_Close_Port);
}

// The byte wait set in the link window is the one the link keeps to: a
// reply whose bytes come 150 ms apart is read with 300 ms and fails with
// 100 ms ("Відповідь отримана не повністю").
TEST_F(LinkParamsDialog, TheByteWaitSetDecidesWhetherASlowReplyIsRead) {
    StartPty();
    ProgramSettings.Dir.COMPort = 5;
    ProgramSettings.Dir.Rate = 9600;
    for (const std::string gap : {"300", "100"}) {
        SCOPED_TRACE(gap);
        drv.onModal<TFormConn_Par>([&](TFormConn_Par& f) {
            f.Edit2.SetText(gap);
            f.BitBtn1.Click();
        });
        ASSERT_EQ(ConnectDirect([](TFormConnect& f) { f.BitBtn3.Click(); }), 1);
        emu.QueueFault({emu::FaultKind::ByteDelay, 150});
        const bool read = ReadTable0();
        EXPECT_EQ(read, gap == "300") << HgcBox->ErrorText();
        if (!read) {
            EXPECT_EQ(HgcBox->Error, hgcbox::kErrByteTimeout);
        }
        HgcBox->ClosePort();
    }
}

struct ParamCase {
    const char* what;
    std::function<void(TFormConn_Par&)> spoil;
    std::string line1, line2;
};

void ExpectParamRefusals(ui::test::Driver& drv, const std::vector<ParamCase>& cases) {
    for (const ParamCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto before = std::make_unique<ProgramSettingsRecord>(ProgramSettings);
        drv.expectMessage(2, c.line1, c.line2);
        drv.onModal<TFormConn_Par>([&](TFormConn_Par& f) {
            c.spoil(f);
            f.BitBtn1.Click();
            EXPECT_EQ(f.ModalResult(), ui::mrNone);
        });
        TFormConn_Par f;
        f.ShowModal();
        EXPECT_EQ(f.accepted, 0);
        EXPECT_TRUE(SameBytes(ProgramSettings, *before));
        drv.verify();
    }
}

TEST_F(LinkParamsDialog, EveryValueIsCheckedBeforeAnythingChanges) {
    StartPty();
    ProgramSettings.Dir.COMPort = 5;
    ProgramSettings.Do_Close_Port = true;
    const std::string out = "Параметр поза припустимого діапазону";
    const std::string notAll = "Уведені не всі параметри";
    auto set = [](ui::Edit TFormConn_Par::*e, const char* text) {
        return [e, text](TFormConn_Par& f) { (f.*e).SetText(text); };
    };
    ExpectParamRefusals(
        drv, {
                 {"no port", [](TFormConn_Par& f) { f.ComboBox1.SetItemIndex(-1); }, notAll, ""},
                 {"no rate", [](TFormConn_Par& f) { f.ComboBox2.SetItemIndex(-1); }, notAll, ""},
                 {"no attempts", [](TFormConn_Par& f) { f.ComboBox3.SetItemIndex(-1); }, notAll, ""},
                 {"empty wait", set(&TFormConn_Par::Edit1, ""), notAll, ""},
                 {"empty release wait", set(&TFormConn_Par::Edit13, ""), notAll, ""},
                 {"preambles 256", set(&TFormConn_Par::Edit3, "256"), "Кількість преамбул в запиті", out},
                 {"wait 0", set(&TFormConn_Par::Edit1, "0"), "Час очікування першого байту відповіді", out},
                 {"wait 121", set(&TFormConn_Par::Edit1, "121"), "Час очікування першого байту відповіді", out},
                 {"gap 54", set(&TFormConn_Par::Edit2, "54"), "Час очікування наступних байтів відповіді", out},
                 {"gap 5001", set(&TFormConn_Par::Edit2, "5001"), "Час очікування наступних байтів відповіді", out},
                 {"gap beyond int", set(&TFormConn_Par::Edit2, "99999999999"),
                  "Час очікування наступних байтів відповіді", out},
                 {"release 21", set(&TFormConn_Par::Edit13, "21"), "Час очікування визволення СОМ порту", out},
             });
    ProgramSettings.Conn_Prz = 1;
    ProgramSettings.Fon.Link.COMPort = 5;
    ExpectParamRefusals(
        drv, {
                 {"no connection wait", set(&TFormConn_Par::Edit6, ""), notAll, ""},
                 {"connection wait 361", set(&TFormConn_Par::Edit6, "361"), "Очікування з'єднання", out},
                 {"attempts 11", set(&TFormConn_Par::Edit10, "11"), "Кількість спроб з'єднання", out},
             });
    ProgramSettings.Conn_Prz = 2;
    ExpectParamRefusals(
        drv, {
                 {"no attempts", [](TFormConn_Par& f) { f.ComboBox6.SetItemIndex(-1); }, "Введены не все параметры", ""},
                 {"empty preambles", set(&TFormConn_Par::Edit8, ""), "Введены не все параметры", ""},
                 {"gap 54", set(&TFormConn_Par::Edit9, "54"), "Час очікування наступних байтів відповіді", out},
                 {"connection wait 0", set(&TFormConn_Par::Edit4, "0"), "Ожидание соединения", out},
                 {"attempts 0", set(&TFormConn_Par::Edit12, "0"), "Кількість спроб з'єднання", out},
             });
}

TEST_F(LinkParamsDialog, BoundaryValuesAreAcceptedAndStored) {
    StartPty();
    ProgramSettings.Dir.COMPort = 5;
    for (const char* gap : {"55", "5000"}) {
        drv.onModal<TFormConn_Par>([&](TFormConn_Par& f) {
            f.ComboBox2.Select("115200");
            f.ComboBox3.Select(" 3");
            f.Edit2.SetText(gap);
            f.Edit3.SetText("0");
            f.BitBtn1.Click();
        });
        TFormConn_Par f;
        f.ShowModal();
        EXPECT_EQ(f.accepted, 1);
        const uint32_t timeOut = ProgramSettings.Dir.TimeOut, rate = ProgramSettings.Dir.Rate;  // packed
        EXPECT_EQ(timeOut, uint32_t(std::stoi(gap)));
        EXPECT_EQ(rate, 115200u);
        EXPECT_EQ(ProgramSettings.Dir.Repeat, 3);
        EXPECT_EQ(ProgramSettings.Dir.Preambles, 0);
        EXPECT_EQ(ProgramSettings.Dir.COMPort, 5);
    }
    // The telephone link: its own panel, no port release; opened from the
    // connect dialog, whose follow-up writes zbr.ini.
    ProgramSettings.Conn_Prz = 1;
    ProgramSettings.Fon.Link.COMPort = 5;
    dlgtest::AddPhone("Березне", 4, "555");
    drv.onModal<TFormConn_Par>([](TFormConn_Par& f) {
        EXPECT_EQ(f.Caption(), " Параметри зв'язку з пристроєм (зв'язок по телефону)");
        EXPECT_EQ(f.Height(), 344);
        EXPECT_TRUE(f.pn_fon.Visible());
        EXPECT_FALSE(f.BitBtn4.Visible());
        EXPECT_FALSE(f.CheckBox1.Enabled());
        EXPECT_FALSE(f.Edit13.Enabled());
        EXPECT_EQ(f.Edit13.Text(), "");
        EXPECT_EQ(f.Edit6.Text(), "50");
        f.Edit5.SetText("ATZ^ATX3");
        f.Edit6.SetText("360");
        f.Edit10.SetText("10");
        f.BitBtn1.Click();
    });
    drv.onModal<TFormConnect>([](TFormConnect& f) { f.BitBtn3.Click(); });
    TFormConnect c(&main);
    c.ShowModal();
    EXPECT_EQ(ProgramSettings.Fon.CommandText(), "ATZ^ATX3");
    EXPECT_EQ(dlgtest::IniInt(SettingsIniPath(), "FON_CONN_PAR", "ConnectWaitTime"), 360);
    EXPECT_EQ(dlgtest::IniInt(SettingsIniPath(), "FON_CONN_PAR", "Conn_Repeat"), 10);
}

TEST_F(LinkParamsDialog, AddressSearchFindsTheControllerOnTheLine) {
    StartPty();
    emu.SetAddress(17);
    ProgramSettings.Dir.COMPort = 5;
    ProgramSettings.Dir.Adr = 1;
    drv.expectMessage(5, "Адреса пристрою встановлена", "(адрес = 17).");
    drv.onModal<TFormConn_Par>([](TFormConn_Par& f) {
        EXPECT_EQ(f.BitBtn4.Tag(), 1);
        f.BitBtn4.Click();
    });
    drv.onModal<TFormConnect>([](TFormConnect& f) {
        f.BitBtn3.Click();
        EXPECT_EQ(f.ComboBox1.Text(), "17");
    });
    TFormConnect c(&main);
    c.ShowModal();
    EXPECT_EQ(ProgramSettings.Dir.Adr, 17);
    EXPECT_EQ(HgcBox->hCom, platform::kNoHandle);
    EXPECT_EQ(dlgtest::IniInt(SettingsIniPath(), "DIR_CONN_PAR", "Adr"), 17);
    const auto log = emu.Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().address, 255);
    EXPECT_EQ(log.back().command, 1);
}

TEST_F(LinkParamsDialog, AddressSearchWithoutAnswerOrPort) {
    StartPty();
    ProgramSettings.Dir.COMPort = 5;
    ProgramSettings.Dir.Adr = 9;
    emu.QueueFault({emu::FaultKind::Silence, 0});
    drv.expectMessage(5, "Пристрій не виявлено");
    drv.onModal<TFormConn_Par>([](TFormConn_Par& f) {
        f.BitBtn4.Click();
        EXPECT_EQ(f.ModalResult(), ui::mrNone);
        EXPECT_TRUE(f.BitBtn4.Enabled());
        EXPECT_TRUE(f.BitBtn2.Enabled());
    });
    {
        TFormConn_Par f;
        f.ShowModal();
        EXPECT_EQ(f.accepted, 0);
    }
    EXPECT_EQ(ProgramSettings.Dir.Adr, 9);
    drv.verify();
    // Another program holds the port: listed, but it does not open.
    int held = platform::ComOpen(5, 9600, 8, 0, 0, 0, 0, true, false);
    ASSERT_NE(held, platform::kNoHandle);
    drv.expectMessage(6, "Комунікаційний порт СОМ5 недоступний");
    drv.onModal<TFormConn_Par>([](TFormConn_Par& f) {
        EXPECT_EQ(f.ComboBox1.Text(), "COM5");
        f.BitBtn4.Click();
        EXPECT_EQ(ui::Screen::Cursor(), ui::Cursor::Default);
        EXPECT_TRUE(f.BitBtn2.Enabled());
    });
    TFormConn_Par f;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
    platform::ComClose(held);
}

}  // namespace
