// The link object over a pseudo-terminal (linked as WorkDir/dev/com5)
// against the controller emulator.
#include <cstring>

#include "LinkFixture.h"
#include "common/Crc16.h"

using namespace linktest;

namespace {

class HgcboxPty : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeWorkDir("pty");
        OpenOverPty(emu, box, dir, 5, 115200);
    }
    void TearDown() override {
        platform::SetMessagePump(nullptr);
        box.ClosePort();
        emu.Stop();
    }
    std::filesystem::path dir;
    emu::Emulator emu;
    hgcbox box{1};
};

}  // namespace

TEST(Hgcbox, Defaults) {
    hgcbox box(0);
    EXPECT_EQ(box.Address, 0);
    EXPECT_EQ(box.LinkType, 0);
    EXPECT_EQ(box.ComPort, 1);
    EXPECT_EQ(box.hCom, platform::kNoHandle);
    EXPECT_EQ(box.Sock, platform::kNoSocket);
    EXPECT_EQ(box.OpenRetrySec, 1u);
    EXPECT_TRUE(box.OpenPerExchange);
    EXPECT_EQ(box.Baud, 1200u);
    EXPECT_EQ(box.PreambleLen, 0);
    EXPECT_EQ(std::string(box.WritePassword, 12), std::string(12, ' '));
    EXPECT_EQ(std::string(box.UserCode, 4), "    ");
    EXPECT_EQ(box.ByteTimeoutMs, 10u);
    EXPECT_EQ(box.ReplyTimeoutMs, 2000u);
    EXPECT_EQ(box.Retries, 2);
    EXPECT_EQ(box.TcpSendDelayMs, 500u);
    EXPECT_EQ(box.LastExchange, 0.0);
    EXPECT_FALSE(box.Abort.load());

    ASSERT_EQ(box.Msg.size(), 87u);
    EXPECT_EQ(box.Msg[0], "Команда виконана");
    EXPECT_EQ(box.Msg[5], "Відповідь отримана не повністю (перевищено час між байтами)");
    EXPECT_EQ(box.Msg[6], "Комунікаційний порт COM%d недоступний");
    EXPECT_EQ(box.Msg[10], "Пристрій не відповідає");
    EXPECT_EQ(box.Msg[14], "");
    EXPECT_EQ(box.Msg[17], "");
    EXPECT_EQ(box.Msg[18], "Невідповідність ідентифікатора запиту у відповіді(%d->%d  ");
    EXPECT_EQ(box.Msg[21], "Ithernet. Не виконано команду recv (итання відповіді на запит)");
    EXPECT_EQ(box.Msg[22], "");
    EXPECT_EQ(box.Msg[22 + 1], "Невідомий код команди");
    EXPECT_EQ(box.Msg[22 + 38], "Перехід у режим роботи \"Автомат\" неможливий");
    EXPECT_EQ(box.Msg[22 + 60], "Зруйнована таблиця");
    EXPECT_EQ(box.Msg[22 + 64], "Програма зруйнована або встановлена ??перемичка");
}

TEST(Hgcbox, DeviceErrorTexts) {
    hgcbox box(1);
    box.LastFunc = 1;
    box.Error = hgcbox::kErrDevice;
    uint8_t c = 9;
    box.SetDeviceError(&c);
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Немає такої таблиці");
    c = 0;
    box.SetDeviceError(&c);
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Зміна параметрів із віддаленої ПЕОМ заборонено");
    c = 70;
    box.SetDeviceError(&c);
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Код помилки = 70");
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Код помилки = 70");  // the same text every time
    c = 64;
    box.SetDeviceError(&c);
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Програма зруйнована або встановлена ??перемичка");
}

TEST(Hgcbox, RefusedRequestsSendNothing) {
    auto dir = MakeWorkDir("refused");
    emu::Emulator emu;
    emu.StartPty((dir / "dev" / "com5").string());
    hgcbox box(1);
    box.ComPort = 5;
    FastTimeouts(box);
    box.OpenPerExchange = false;
    ASSERT_TRUE(box.OpenPort());

    const uint8_t data[240] = {0, 0, 1};
    for (uint8_t f : {0, 3, 13, 34, 255, 40}) {
        EXPECT_FALSE(box.Exchange(f, data, 3)) << int(f);
        EXPECT_EQ(box.Error, 2u);
    }
    EXPECT_EQ(box.ErrorText(), "Команда 40.  Невірно заданий код функції");
    EXPECT_FALSE(box.Exchange(1, data, 4));    // longer than the 3 bytes of a table read
    EXPECT_FALSE(box.Exchange(16, data, 10));  // 9 bytes at most
    EXPECT_FALSE(box.Exchange(25, data, 1));   // no data at all
    EXPECT_FALSE(box.Exchange(2, data, 233));  // 256 bytes on the wire: no room in the length byte
    EXPECT_EQ(box.Error, 2u);

    // Abort set before the exchange: error 19, cleared, nothing sent.
    box.Abort = true;
    EXPECT_FALSE(box.Exchange(1, data, 3));
    EXPECT_EQ(box.Error, 19u);
    EXPECT_FALSE(box.Abort.load());
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Обмін перервано за ознакою завершення роботи програми");

    platform::WaitMs(100);
    EXPECT_TRUE(emu.Log().empty());
}

TEST_F(HgcboxPty, ReadTableFrameAndReply) {
    box.PreambleLen = 3;
    std::vector<std::string> panel;
    box.StatusPanel = [&](const std::string& s) { panel.push_back(s); };
    ASSERT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
    EXPECT_EQ(box.Error, 0u);
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Команда виконана");
    EXPECT_EQ(panel, (std::vector<std::string>{"Обмін...", ""}));
    EXPECT_GT(box.LastExchange, 40000.0);

    const auto log = emu.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].preambles, 3);
    EXPECT_EQ(log[0].address, 1);
    EXPECT_EQ(log[0].command, 1);
    const std::vector<uint8_t> expected = {0xCC, 1, 10, 1, 0, 0, 0, 1};
    ASSERT_EQ(log[0].bytes.size(), 10u);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), log[0].bytes.begin()));
    EXPECT_EQ(Crc16(log[0].bytes.data(), 10), 0);

    // Reply: 0x33, address, length, 0x81, status, echoed header, the row.
    const auto shape = emu::Shape(0);
    EXPECT_EQ(box.Rx[0], 0x33);
    EXPECT_EQ(box.Rx[1], 1);
    EXPECT_EQ(box.Rx[3], 0x81);
    EXPECT_EQ(box.RxLen, box.Rx[2]);
    EXPECT_EQ(box.RxLen, 10u + shape.size);
    EXPECT_EQ(box.Rx[5], 0);
    EXPECT_EQ(box.Rx[6], 0);
    EXPECT_EQ(box.Rx[7], 1);
    const auto table = emu.Table(0);
    EXPECT_TRUE(std::equal(table.begin(), table.begin() + shape.size, box.Rx + 8));
}

TEST_F(HgcboxPty, WriteRequestsCarryCredentials) {
    emu.SetCredentials("12345", "1111");
    std::memcpy(box.WritePassword, "12345       ", 12);
    std::memcpy(box.UserCode, "1111", 4);
    const auto shape = emu::Shape(4);
    auto rows = emu.Table(4);
    std::vector<uint8_t> req = {4, 0, 1};
    req.insert(req.end(), rows.begin(), rows.begin() + shape.size);
    ASSERT_TRUE(box.Exchange(2, req.data(), static_cast<uint32_t>(req.size()))) << box.ErrorText();

    const auto log = emu.Log();
    ASSERT_EQ(log.size(), 1u);
    const auto& f = log[0].bytes;
    ASSERT_EQ(f.size(), req.size() + 23);
    EXPECT_EQ(f[2], req.size() + 23);
    EXPECT_EQ(std::string(f.begin() + 4, f.begin() + 16), "12345       ");
    EXPECT_EQ(std::string(f.begin() + 16, f.begin() + 20), "1111");
    EXPECT_EQ(f[20], 0);  // argument byte
    EXPECT_TRUE(std::equal(req.begin(), req.end(), f.begin() + 21));
    EXPECT_EQ(box.Rx[3], 0x82);

    // A wrong password: the controller's error reply and its text.
    std::memcpy(box.WritePassword, "99999       ", 12);
    EXPECT_FALSE(box.Exchange(2, req.data(), static_cast<uint32_t>(req.size())));
    EXPECT_EQ(box.Error, 8u);
    EXPECT_EQ(box.DeviceErrorCode(), 34);
    EXPECT_EQ(box.ErrorText(), "Команда 2.  Користувач не зареєстрований або неправильний пароль");
}

TEST_F(HgcboxPty, FixedFrameLengthsOfEveryFunction) {
    const uint8_t data[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    struct Case {
        uint8_t f;
        uint32_t len;
        size_t frame;
    };
    for (Case c : {Case{7, 7, 13}, Case{8, 15, 21}, Case{14, 13, 19}, Case{15, 11, 17}, Case{16, 9, 15},
                   Case{16, 3, 15}, Case{12, 0, 24}, Case{32, 0, 22}, Case{33, 0, 22}}) {
        emu.ClearLog();
        box.Exchange(c.f, data, c.len);
        const auto log = emu.Log();
        ASSERT_EQ(log.size(), 1u) << int(c.f);
        EXPECT_EQ(log[0].bytes.size(), c.frame) << int(c.f);
        EXPECT_TRUE(log[0].crcOk);
        const size_t at = (c.f == 12) ? 20 : 4;
        const uint32_t n = c.len ? c.len : (c.f == 12 ? 2 : 0);
        EXPECT_TRUE(std::equal(data, data + n, log[0].bytes.begin() + at)) << int(c.f);
        // Write-type requests carry the password and user code (blank here).
        if (at == 20 || c.frame == 22) {
            EXPECT_EQ(std::string(log[0].bytes.begin() + 4, log[0].bytes.begin() + 20), std::string(16, ' '));
        }
        // What the caller did not give stays zero.
        for (size_t i = (c.frame == 22 ? 20 : at + n); i < c.frame - 2; ++i)
            EXPECT_EQ(log[0].bytes[i], 0) << int(c.f);
    }
    // The largest write still fits the one-byte length: 232 data bytes, 255 on the wire.
    std::vector<uint8_t> big(232, 0);
    big[0] = 46;
    emu.ClearLog();
    box.Exchange(2, big.data(), 232);
    ASSERT_EQ(emu.Log().size(), 1u);
    EXPECT_EQ(emu.Log()[0].bytes.size(), 255u);
}

TEST_F(HgcboxPty, RetriesMakeExactlyThatManyAttempts) {
    for (int i = 0; i < 5; ++i) emu.QueueFault({emu::FaultKind::Silence, 0});
    box.Retries = 3;
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 10u);
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Пристрій не відповідає");
    EXPECT_EQ(emu.Log().size(), 3u);

    // Fewer than one attempt is taken as one: never success with nothing sent.
    emu.ClearLog();
    box.Retries = 0;
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 10u);
    EXPECT_EQ(emu.Log().size(), 1u);

    // A failed attempt followed by a good one succeeds.
    emu.ClearFaults();
    emu.ClearLog();
    box.Retries = 2;
    emu.QueueFault({emu::FaultKind::ErrorReply, 4});
    EXPECT_TRUE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(emu.Log().size(), 2u);
}

TEST_F(HgcboxPty, SilenceCutReplyAndBadCrc) {
    emu.QueueFault({emu::FaultKind::Silence, 0});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 10u);
    EXPECT_EQ(box.RxLen, 0u);

    // Only the start byte: the reply never began as far as the link can tell.
    emu.QueueFault({emu::FaultKind::CutFrame, 1});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 10u);

    // A reply that stops after a few bytes: the gap between bytes ran out.
    emu.QueueFault({emu::FaultKind::CutFrame, 5});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 5u);
    EXPECT_EQ(box.RxLen, 0u);
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Відповідь отримана не повністю (перевищено час між байтами)");

    emu.QueueFault({emu::FaultKind::BadCrc, 0});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 7u);
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Розбіжність КС відповіді контролера");

    // Gaps between reply bytes within the byte wait are fine.
    emu.QueueFault({emu::FaultKind::ByteDelay, 10});
    EXPECT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
    // A reply that starts after the reply time-out is not waited for.
    emu.QueueFault({emu::FaultKind::ReplyDelay, 600});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 10u);
    platform::WaitMs(500);  // let the late reply go by (dropped by the next purge)
    EXPECT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();

    // Last: a reply slower than a reply wait a byte is not waited for (the
    // emulator is busy with it until it is stopped).
    emu.QueueFault({emu::FaultKind::ByteDelay, 400});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 10u);
}

TEST_F(HgcboxPty, ErrorRepliesAndTheirTexts) {
    struct Case {
        int code;
        const char* text;
    };
    for (Case c : {Case{9, "Команда 1.  Немає такої таблиці"},
                   Case{52, "Команда 1.  Контролер рестартував"},
                   Case{53, "Команда 1.  Зміна параметрів із віддаленої ПЕОМ заборонено"},
                   Case{56, "Команда 1.  Зміна параметрів можлива лише в режимі \"Налаштування\""},
                   Case{64, "Команда 1.  Програма зруйнована або встановлена ??перемичка"},
                   Case{65, "Команда 1.  Код помилки = 65"},
                   Case{200, "Команда 1.  Код помилки = 200"}}) {
        emu.QueueFault({emu::FaultKind::ErrorReply, c.code});
        EXPECT_FALSE(ReadRows(box, 0, 0, 1));
        EXPECT_EQ(box.Error, 8u);
        EXPECT_EQ(box.DeviceErrorCode(), c.code);
        EXPECT_EQ(box.ErrorText(), c.text);
        EXPECT_EQ(box.ErrorText(), c.text);
    }

    // A destroyed table: its number follows the text, only for that reply.
    emu.SetTableDamaged(5, true);
    EXPECT_FALSE(ReadRows(box, 5, 0, 1));
    EXPECT_EQ(box.Error, 8u);
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Зруйнована таблиця 5");
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Зруйнована таблиця 5");
    emu.QueueFault({emu::FaultKind::Silence, 0});
    EXPECT_FALSE(ReadRows(box, 5, 0, 1));
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Пристрій не відповідає");

    // The controller's own answer to an unknown command.
    EXPECT_FALSE(box.Exchange(14, nullptr, 0));
    EXPECT_EQ(box.ErrorText(), "Команда 14.  Невідомий код команди");
}

TEST_F(HgcboxPty, NoiseAndForeignBytesBeforeTheReply) {
    emu.QueueFault({emu::FaultKind::Noise, 20});
    EXPECT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
    emu.QueueFault({emu::FaultKind::WrongAddressPrefix, 0});
    EXPECT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
    // 0x33, our address and a length below 6: the search starts again.
    emu.QueueFault({emu::FaultKind::BadLengthPrefix, 0});
    EXPECT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
    // Reply preambles of the controller (0xFF ahead of 0x33).
    auto t3 = emu.Table(3);
    t3[2] = 4;
    emu.SetTable(3, t3);
    EXPECT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
    EXPECT_EQ(box.Rx[0], 0x33);

    // A reply from another controller is not ours.
    emu.QueueFault({emu::FaultKind::WrongAddress, 7});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_NE(box.Error, 0u);
}

TEST_F(HgcboxPty, AddressLearnedFromAnAnswerTo255) {
    emu.SetAddress(17);
    box.Address = 255;
    // A spoilt reply teaches nothing.
    emu.QueueFault({emu::FaultKind::BadCrc, 0});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Address, 255);

    ASSERT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
    EXPECT_EQ(box.Address, 17);
    ASSERT_TRUE(ReadRows(box, 0, 0, 1));
    const auto log = emu.Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].address, 255);
    EXPECT_EQ(log[2].address, 17);
}

TEST_F(HgcboxPty, NewAddressWrittenToTable3) {
    emu.SetCredentials("12345", "1111");
    std::memcpy(box.WritePassword, "12345       ", 12);
    std::memcpy(box.UserCode, "1111", 4);
    const auto shape = emu::Shape(3);
    auto t3 = emu.Table(3);
    std::vector<uint8_t> req = {3, 0, 1};
    req.insert(req.end(), t3.begin(), t3.begin() + shape.size);
    req[3] = 9;  // the controller's new address
    ASSERT_TRUE(box.Exchange(2, req.data(), static_cast<uint32_t>(req.size()))) << box.ErrorText();
    EXPECT_EQ(emu.Address(), 9);
    EXPECT_EQ(box.Address, 1);  // the caller re-points the link object
    box.Address = 9;
    EXPECT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
}

// Noise with a start byte in it ahead of the reply from the new address:
// the foreign byte after the start byte starts the search again, as it does
// for every other reply, and the reply that follows is taken.
TEST_F(HgcboxPty, NewAddressReplyAfterAStrayStartByte) {
    emu.QueueFault({emu::FaultKind::StrayStart, 0});
    ASSERT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();

    emu.SetCredentials("12345", "1111");
    std::memcpy(box.WritePassword, "12345       ", 12);
    std::memcpy(box.UserCode, "1111", 4);
    auto t3 = emu.Table(3);
    std::vector<uint8_t> req = {3, 0, 1};
    req.insert(req.end(), t3.begin(), t3.begin() + emu::Shape(3).size);
    req[3] = 9;  // the controller's new address
    emu.QueueFault({emu::FaultKind::StrayStart, 0});
    ASSERT_TRUE(box.Exchange(2, req.data(), static_cast<uint32_t>(req.size()))) << box.ErrorText();
    EXPECT_EQ(box.Rx[1], 9);
    EXPECT_EQ(emu.Address(), 9);
}

TEST_F(HgcboxPty, AbortAndNestedExchangeFromMessages) {
    // A message handler that asks for another exchange gets "busy" at once;
    // the running one carries on undisturbed.
    int nestedResult = -1;
    uint32_t nestedError = 0;
    std::string nestedText;
    platform::SetMessagePump([&] {
        if (nestedResult == -1 && box.Busy()) {
            const uint8_t hdr[3] = {0, 0, 1};
            nestedResult = box.Exchange(15, hdr, 3) ? 1 : 0;
            nestedError = box.Error;
            nestedText = box.ErrorText();
        }
    });
    emu.QueueFault({emu::FaultKind::ReplyDelay, 50});
    EXPECT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
    EXPECT_EQ(nestedResult, 0);
    EXPECT_EQ(nestedError, hgcbox::kErrBusy);
    EXPECT_EQ(nestedText, "Команда 15.  Попередній обмін з пристроєм ще не завершено");
    EXPECT_EQ(box.Error, 0u);
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Команда виконана");
    EXPECT_EQ(emu.Log().size(), 1u);

    // Abort set while the reply is awaited: error 19, no further attempts.
    emu.ClearLog();
    int pumps = 0;
    platform::SetMessagePump([&] {
        if (++pumps == 5) box.Abort = true;
    });

    box.Retries = 3;
    emu.QueueFault({emu::FaultKind::Silence, 0});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 19u);
    EXPECT_FALSE(box.Abort.load());
    EXPECT_EQ(emu.Log().size(), 1u);
}

TEST_F(HgcboxPty, BusyPortAndPerExchangeOpening) {
    // Another link object cannot open the port the first one holds.
    hgcbox other(1);
    other.ComPort = 5;
    FastTimeouts(other);
    other.OpenRetrySec = 0;
    EXPECT_FALSE(other.Exchange(1, "\0\0\1", 3));
    EXPECT_EQ(other.Error, 6u);
    EXPECT_EQ(other.ErrorText(), "Команда 1.  Комунікаційний порт COM5 недоступний");
    EXPECT_EQ(other.hCom, platform::kNoHandle);
    EXPECT_TRUE(emu.Log().empty());

    // Once it is free, the per-exchange opening works (one try with 0 s)
    // and leaves the port closed again.
    box.ClosePort();
    ASSERT_TRUE(other.Exchange(1, "\0\0\1", 3)) << other.ErrorText();
    EXPECT_EQ(other.hCom, platform::kNoHandle);
    EXPECT_EQ(emu.Log().size(), 1u);

    // A port that comes free while the opening keeps trying.
    ASSERT_TRUE(box.OpenPort());
    other.OpenRetrySec = 2;
    const int64_t freeAt = platform::PerfCounter() + platform::MsToTicks(100);
    platform::SetMessagePump([&] {
        if (box.hCom != platform::kNoHandle && platform::PerfCounter() > freeAt) box.ClosePort();
    });
    EXPECT_TRUE(other.OpenPort()) << other.ErrorText();
    EXPECT_EQ(box.hCom, platform::kNoHandle);
    other.ClosePort();
    platform::SetMessagePump(nullptr);

    // A port that does not exist.
    other.OpenRetrySec = 0;
    other.ComPort = 97;
    EXPECT_FALSE(other.OpenPort());
    EXPECT_EQ(other.ErrorText(), "Команда 1.  Комунікаційний порт COM97 недоступний");
}

TEST_F(HgcboxPty, ModemLinkAndSlowLine) {
    // No RTS switching on a modem link; a slow line at the controller's rate.
    box.LinkType = hgcbox::kLinkModem;
    box.Baud = 9600;
    emu.SetLineBaud(9600);
    box.ReplyTimeoutMs = 1000;
    ASSERT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
    box.LinkType = hgcbox::kLinkDirect;
    box.PreambleLen = 2;
    ASSERT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
    EXPECT_EQ(emu.Log().back().preambles, 2);
}
