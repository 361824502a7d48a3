// The telephone link: the operator identifies, the modem dials the chosen
// subscriber, the connect sequence runs through the call, and the modem
// panel's button hangs up.
#include "AppFixture.h"

#include "emulator/Modem.h"

namespace apptest {
namespace {

class TelephoneLink : public AppTest {
protected:
    zbr_test::ModemTimingsForTest timings{{.prepareTimeoutMs = 1000,
                                           .escapeGuardMs = zbr_test::kEscapeGuardMs,
                                           .beforeDialMs = 0,
                                           .betweenCommandsMs = 0,
                                           .afterConnectMs = 0,
                                           .gsmTimeoutMs = 1000,
                                           .hangUpTimeoutMs = 500,
                                           .hangUpGuardMs = zbr_test::kEscapeGuardMs}};
    emu::Modem* modem = nullptr;

    void SetUp() override {
        AppTest::SetUp();
        DirectSettings(1, 1);
        WriteFile("INI/fon_abonents.ini", "[FON_CONN_PAR]\r\nusers_num=1\r\nuser_index=0\r\nsort_prz=0\r\n"
                                          "[FON_ABONENT_1]\r\nuser_name=ГРС Південна\r\ncontr_adr=1\r\n"
                                          "adr_modbus=1\r\nphone_code=(044) 123-45-67\r\n");
        StartPty(true);
        modem = emu.GetModem();
        ASSERT_NE(modem, nullptr);
        StartForm();
    }
};

TEST_F(TelephoneLink, DialsIdentifiesAndHangsUpWithTheButton) {
    RunConnect();
    EXPECT_EQ(IsConnected, 1);
    EXPECT_EQ(identities, 1);  // before the dial, not again after it
    EXPECT_EQ(modem->Numbers(), std::vector<std::string>{"0441234567"});
    EXPECT_EQ(modem->Calls(), 1);
    EXPECT_EQ(form->ModemLinked, 1);
    const std::vector<Request> expected = {{1, 0, 0, 18}, {1, 5, 0, 3},  {1, 6, 0, 12},
                                           {1, 14, 0, 14}, {1, 41, 0, 1}, {1, 15, 6, 1}};
    EXPECT_EQ(Requests(), expected);
    for (const emu::ReceivedFrame& f : emu.Log()) EXPECT_EQ(f.via, "modem");
    EXPECT_TRUE(form->pnmodem.Visible());
    EXPECT_TRUE(form->TimerMoney.Enabled());
    EXPECT_EQ(form->pntime.Caption(), "00:00:00");
    EXPECT_EQ(form->StatusBar2.PanelText(0), " ГРС Південна (тел. (044) 123-45-67)");
    // Above the three status bars at the right edge of the window.
    EXPECT_EQ(form->pnmodem.Left() + form->pnmodem.Width() + 4, form->Panel1.Width());
    EXPECT_TRUE(form->StatusBar3.PanelText(0).empty());
    ASSERT_TRUE(drv->fireTimer(form->TimerMoney));
    EXPECT_EQ(form->pntime.Caption().size(), 8u);

    ASSERT_TRUE(form->BitBtn3.Click());
    EXPECT_EQ(modem->HangUps(), 1);
    EXPECT_FALSE(modem->Connected());
    EXPECT_EQ(form->ModemLinked, 0);
    EXPECT_EQ(IsConnected, 0);
    EXPECT_FALSE(form->pnmodem.Visible());
    EXPECT_FALSE(form->TimerMoney.Enabled());
    EXPECT_FALSE(form->StatusBar2.Visible());
    EXPECT_FALSE(Shown("NWorkPar"));
    EXPECT_EQ(HgcBox->hCom, platform::kNoHandle);
}

TEST_F(TelephoneLink, BusyNumberAndDeclinedRetryEndTheSequence) {
    modem->QueueDial(emu::DialAnswer::Busy);
    drv->expectQuestion(3, "Номер абонента зайнятий", "Повторити спробу з'єднання?", false);
    drv->expectMessage(1, "Зв'язок з пристроєм не встановлено");
    RunConnect();
    EXPECT_EQ(IsConnected, 0);
    EXPECT_EQ(form->ModemLinked, 0);
    EXPECT_TRUE(Requests().empty());
    EXPECT_FALSE(form->pnmodem.Visible());
    EXPECT_EQ(HgcBox->hCom, platform::kNoHandle);
}

TEST_F(TelephoneLink, RetryAfterNoAnswerConnects) {
    modem->QueueDial(emu::DialAnswer::NoAnswer);
    drv->expectQuestion(3, "Абонент не відповідає", "Повторити спробу з'єднання?", true);
    RunConnect();
    EXPECT_EQ(IsConnected, 1);
    EXPECT_EQ(modem->Numbers().size(), 2u);
    EXPECT_EQ(modem->Calls(), 1);
    // Shut-down hangs up too.
    form->Close();
    EXPECT_EQ(modem->HangUps(), 1);
}

TEST_F(TelephoneLink, ClosingTheWindowWhileDiallingEndsTheDialAndCloses) {
    // The modem would answer long after the connection wait: without an end
    // from the close, the dial would run out its time and ask to dial again.
    modem->QueueDial(emu::DialAnswer::Connect, 20000);
    bool closeAsked = false;
    drv->onProcessMessages([&] {
        if (closeAsked || modem->Numbers().empty() || !ModemWaiting()) return;
        closeAsked = true;
        form->Close();
        EXPECT_TRUE(form->Visible());
    });
    RunConnect();
    EXPECT_TRUE(closeAsked);
    EXPECT_EQ(IsConnected, 0);
    EXPECT_EQ(form->ModemLinked, 0);
    EXPECT_EQ(modem->Calls(), 0);
    EXPECT_TRUE(Requests().empty());
    EXPECT_TRUE(form->TimerClose.Enabled());
    EXPECT_TRUE(drv->fireTimer(form->TimerClose));
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(HgcBox, nullptr);
}

}  // namespace
}  // namespace apptest
