// The modem dialogue against the emulator's modem on a pseudo-terminal
// (linked as WorkDir/dev/com7), then the controller behind it through the
// link object.
#include <algorithm>

#include "LinkFixture.h"
#include "emulator/Modem.h"
#include "link/Connectmodem.h"
#include "support/EmulatorModem.h"
#include "support/Waiting.h"
#include "ui/TestDriver.h"

using namespace linktest;
using emu::DialAnswer;

namespace {

class Modem : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeWorkDir("modem");
        modem = &zbr_test::EnableModem(emu);
        OpenOverPty(emu, box, dir, 7, 9600, hgcbox::kLinkModem);
        panel = [this](const std::string& s) { shown.push_back(s); };
    }
    void TearDown() override {
        platform::SetMessagePump(nullptr);
        box.ClosePort();
        emu.Stop();
    }

    int Dial(uint32_t attempts, uint32_t waitSeconds = 2, const std::string& init = "ATZ^AT&F") {
        return DialModem(box.hCom, "(000) 111-22-33", init, nullptr, panel, attempts, waitSeconds);
    }
    bool Shown(const std::string& text) const { return std::find(shown.begin(), shown.end(), text) != shown.end(); }

    zbr_test::ModemTimingsForTest timings{{.prepareTimeoutMs = 300,
                                           .escapeGuardMs = zbr_test::kEscapeGuardMs,
                                           .beforeDialMs = 20,
                                           .betweenCommandsMs = 5,
                                           .afterConnectMs = 5,
                                           .gsmTimeoutMs = 300,
                                           .hangUpTimeoutMs = 300,
                                           .hangUpGuardMs = zbr_test::kEscapeGuardMs}};
    std::filesystem::path dir;
    emu::Emulator emu;
    emu::Modem* modem = nullptr;
    hgcbox box{1};
    ModemPanel panel;
    std::vector<std::string> shown;
};

const char kDialPanel[] = " Встановлення зв'язку по телефону. Команда ";

}  // namespace

TEST(ModemText, InitStringPhoneAndAnswers) {
    EXPECT_EQ(SplitInitCommands("ATZ^AT&F^ATS0=0"), (std::vector<std::string>{"ATZ\r", "AT&F\r", "ATS0=0\r"}));
    EXPECT_EQ(SplitInitCommands("  atz^junk^^xAt&d2"), (std::vector<std::string>{"atz\r", "At&d2\r"}));
    EXPECT_TRUE(SplitInitCommands("").empty());
    EXPECT_EQ(StripPhoneNumber("(000) 111-22-33"), "0001112233");
    EXPECT_EQ(StripCrLf("\r\nOK\r\n"), "OK");
    EXPECT_EQ(ModemAnswerCode("\r\nNO DIALTONE\r"), kModemNoDialTone);
    EXPECT_EQ(ModemAnswerCode("\r\nCONNECT 9600\r"), kModemOk);
    EXPECT_EQ(ModemAnswerCode("\r\nERROR BUSY\r"), kModemError);  // first match in the fixed order
    EXPECT_STREQ(ModemErrorText(12), "");
    EXPECT_STREQ(ModemErrorText(-1), "");
}

// The whole road: dial, then requests to the controller through the modem,
// then hang-up.
TEST_F(Modem, DialConnectsAndTheControllerAnswersThroughIt) {
    ASSERT_EQ(Dial(1, 2, "ATZ^AT&F^ATS0=0"), kModemOk);
    EXPECT_STREQ(ModemErrorTexts[0], "З'єднання встановлене");
    EXPECT_TRUE(modem->Online());
    EXPECT_EQ(modem->Numbers(), std::vector<std::string>{"0001112233"});
    EXPECT_EQ(modem->Commands(), (std::vector<std::string>{"ATE0", "ATV1", "ATZ", "AT&F", "ATS0=0", "AT+CPAS",
                                                           "ATD0001112233"}));
    EXPECT_TRUE(Shown(std::string(kDialPanel) + "ATD0001112233."));
    EXPECT_TRUE(Shown(std::string(kDialPanel) + "ATD0001112233.  Ответ CONNECT 9600"));
    EXPECT_TRUE(Shown(" Перевірка готовності GSM. Команда AT+CPAS. Відповідь +CPAS: 0"));

    ASSERT_TRUE(ReadRows(box, 0, 0, 18)) << box.ErrorText();
    EXPECT_EQ(box.Rx[8 + 1], 'I');
    EXPECT_EQ(box.Rx[8 + 3], 11);
    ASSERT_FALSE(emu.Log().empty());
    EXPECT_EQ(emu.Log().back().via, "modem");

    EXPECT_EQ(HangUpModem(box.hCom, true), kModemOk);
    EXPECT_FALSE(modem->Connected());
    EXPECT_EQ(modem->LastHangUp(), emu::HangUpCause::Command);
    EXPECT_EQ(modem->Escapes(), 1);
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));  // the line is gone
}

TEST_F(Modem, BusyNumberIsDialledAgain) {
    modem->QueueDial({DialAnswer::Busy, DialAnswer::Busy, DialAnswer::Connect});
    EXPECT_EQ(Dial(3), kModemOk);
    EXPECT_EQ(modem->Numbers().size(), 3u);
    EXPECT_TRUE(Shown(std::string(kDialPanel) + "ATD0001112233.  Ответ BUSY"));
    EXPECT_TRUE(modem->Online());
    EXPECT_EQ(HangUpModem(box.hCom, true), kModemOk);

    // Attempts used up: the last round's code.
    modem->QueueDial({DialAnswer::Busy, DialAnswer::Busy, DialAnswer::Connect});
    EXPECT_EQ(Dial(2), kModemBusy);
    EXPECT_STREQ(ModemErrorTexts[kModemBusy], "Номер абонента зайнятий");
    EXPECT_EQ(modem->PendingDials(), 1u);
    EXPECT_FALSE(modem->Connected());
}

TEST_F(Modem, DialFailuresGiveTheirCodes) {
    const struct {
        DialAnswer answer;
        int code;
        const char* text;
    } cases[] = {
        {DialAnswer::NoDialtone, kModemNoDialTone, "Відсутній сигнал АТС"},
        {DialAnswer::NoCarrier, kModemNoCarrier, "Втрата несучої"},
        {DialAnswer::Error, kModemError, "Відсутній гудок в лінії"},
        {DialAnswer::NoAnswer, kModemNoAnswer, "Абонент не відповідає"},
    };
    for (const auto& c : cases) {
        modem->QueueDial(c.answer);
        const int code = Dial(1);
        EXPECT_EQ(code, c.code);
        EXPECT_STREQ(ModemErrorText(code), c.text);
    }
    EXPECT_EQ(modem->Numbers().size(), 4u);
    EXPECT_EQ(modem->Calls(), 0);
}

TEST_F(Modem, SilentDialTimesOut) {
    modem->QueueDial(DialAnswer::Silence);
    EXPECT_EQ(Dial(1, 1), kModemTimeout);
    EXPECT_STREQ(ModemErrorTexts[kModemTimeout], "Сплив час очікування відповіді модему");
}

// A settings file nobody checked may ask for no attempts at all: one is made.
TEST_F(Modem, ZeroAttemptsMakeOne) {
    modem->QueueDial({DialAnswer::Busy, DialAnswer::Connect});
    EXPECT_EQ(Dial(0), kModemBusy);
    EXPECT_EQ(modem->Numbers().size(), 1u);
    EXPECT_EQ(Dial(0), kModemOk);
    EXPECT_TRUE(modem->Online());
}

// Esc goes from the window layer's message hook to the dialogue; the dial
// ends at once, although attempts are left.
TEST_F(Modem, EscEndsTheDialAtOnce) {
    ui::test::Driver drv;
    ui::Application::OnMessage = [](const ui::Message& m, bool& handled) {
        if (m.kind == ui::Message::KeyDown && m.key == ui::key::Escape && ModemEscapePressed()) handled = true;
    };
    EXPECT_FALSE(ModemEscapePressed());  // nothing waits: the key goes its usual way

    // During the dial command (the modem would connect after 5 s).
    modem->QueueDial(DialAnswer::Connect, 5000);
    bool pressed = false;
    drv.onProcessMessages([&] {
        if (!pressed && !modem->Numbers().empty()) {
            pressed = true;
            drv.pressKey(ui::key::Escape);
        }
    });
    EXPECT_EQ(DialModem(box.hCom, "123", "ATZ", nullptr, panel, 3, 10), kModemEscape);
    EXPECT_TRUE(pressed);
    EXPECT_EQ(modem->Numbers().size(), 1u);
    EXPECT_EQ(modem->Commands().back(), "ATD123");
    EXPECT_FALSE(ModemWaiting());
    EXPECT_STREQ(ModemErrorTexts[kModemEscape], "Спроба з'єднання перервана на вимогу користувача");

    // During the readiness check: no dial follows.
    box.ClosePort();  // cancels the call being dialled
    ASSERT_TRUE(box.OpenPort());
    modem->ClearLog();
    pressed = false;
    drv.onProcessMessages([&] {
        if (!pressed && !shown.empty() && shown.back().rfind(" Перевірка готовності GSM", 0) == 0) {
            pressed = true;
            drv.pressKey(ui::key::Escape);
        }
    });
    EXPECT_EQ(DialModem(box.hCom, "123", "ATZ", nullptr, panel, 3, 10), kModemEscape);
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(modem->Numbers().empty());
}

TEST_F(Modem, GsmNotReadyEndsTheDial) {
    modem->SetGsmStatus(4);
    EXPECT_EQ(Dial(3), kModemGsmNotReady);
    EXPECT_STREQ(ModemErrorText(kModemGsmNotReady), "Немає готовності GSM");
    EXPECT_TRUE(modem->Numbers().empty());
    const std::vector<std::string> commands = modem->Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "AT+CPAS"), 1);
}

TEST_F(Modem, NoModemOnThePort) {
    modem->SetPowered(false);
    EXPECT_EQ(Dial(1), kModemAbsent);
    EXPECT_STREQ(ModemErrorText(kModemAbsent), "Модем відсутній або не підключений");
}

// A modem left online answers nothing to ATE0: the "+++" escape brings it
// back to command mode, with the call still up until "ath".
TEST_F(Modem, PrepareEscapesAModemLeftOnline) {
    ASSERT_EQ(Dial(1), kModemOk);
    EXPECT_EQ(PrepareModem(box.hCom), kModemOk);
    EXPECT_EQ(modem->Escapes(), 1);
    EXPECT_TRUE(modem->Connected());
    EXPECT_FALSE(modem->Online());

    EXPECT_EQ(HangUpModem(box.hCom, false), kModemOk);
    EXPECT_FALSE(modem->Connected());
    EXPECT_EQ(modem->LastHangUp(), emu::HangUpCause::Command);
}

// Closing the port drops DTR: the modem hangs up.
TEST_F(Modem, ClosingThePortHangsUp) {
    ASSERT_EQ(Dial(1), kModemOk);
    ASSERT_TRUE(modem->Connected());
    box.ClosePort();
    EXPECT_TRUE(zbr_test::WaitFor([&] { return !modem->Connected(); }));
    EXPECT_EQ(modem->LastHangUp(), emu::HangUpCause::Dtr);
}
