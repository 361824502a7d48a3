#include "link/Hgcbox.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/Crc16.h"
#include "platform/Clock.h"
#include "platform/MessagePump.h"

hgcbox* HgcBox = nullptr;

namespace {

// Texts by error code; 23..86 are the controller's codes 1..64.
const char* const kMessages[hgcbox::kMsgCount] = {
    "Команда виконана",  // 0
    "Невірно заданий стартовий символ",  // 1
    "Невірно заданий код функції",  // 2
    "Збій під час операції запису",  // 3
    "Збій під час операції читання",  // 4
    "Відповідь отримана не повністю (перевищено час між байтами)",  // 5
    "Комунікаційний порт COM%d недоступний",  // 6
    "Розбіжність КС відповіді контролера",  // 7
    "",  // 8
    "Код Функції відповіді не дорівнює коду функції запиту",  // 9
    "Пристрій не відповідає",  // 10
    "Неправильна довжина відповіді від контролера",  // 11
    "Помилка відкриття файлу",  // 12
    "Циклічні дані не повністю прочитані",  // 13
    "",  // 14
    "Невірно заданий номер таблиці (%d)",  // 15
    "Не відкрито комунікаційний порт",  // 16
    "",  // 17
    "Невідповідність ідентифікатора запиту у відповіді(%d->%d  ",  // 18
    "Обмін перервано за ознакою завершення роботи програми",  // 19
    "Ithernet. Не виконано команду send (надсилання запиту)",  // 20
    "Ithernet. Не виконано команду recv (итання відповіді на запит)",  // 21
    "",  // 22
    "Невідомий код команди",  // 23 (controller code 1)
    "Неправильна довжина запиту",  // 24 (controller code 2)
    "Неправильний пароль для запису",  // 25 (controller code 3)
    "Неправильні параметри у запиті",  // 26 (controller code 4)
    "Спроба запису в поле, що не використовується",  // 27 (controller code 5)
    "Введення дати та часу не допускається",  // 28 (controller code 6)
    "Порушено черговість запису параметрів під час конфігурації",  // 29 (controller code 7)
    "Функція зупинки ГРС не активна",  // 30 (controller code 8)
    "Немає такої таблиці",  // 31 (controller code 9)
    "Невідповідний момент для корекції часу",  // 32 (controller code 10)
    "Читання таблиці неможливе",  // 33 (controller code 11)
    "Запис до таблиці не допускається",  // 34 (controller code 12)
    "Немає такого поля в таблиці",  // 35 (controller code 13)
    "Спроба запису в неіснуюче поле",  // 36 (controller code 14)
    "Немає доступу до крана",  // 37 (controller code 15)
    "Неправильний пароль доступу до крана",  // 38 (controller code 16)
    "Занадто великий час для корекції",  // 39 (controller code 17)
    "Немає записів з такими індексами",  // 40 (controller code 18)
    "Недостовірні індекси ведення архіву",  // 41 (controller code 19)
    "Порушена послідовність запитів у серії",  // 42 (controller code 20)
    "Інший діапазон часу в серії запитів",  // 43 (controller code 21)
    "Неправильний діапазон часу",  // 44 (controller code 22)
    "Таблиця вимагає повного перезапису",  // 45 (controller code 23)
    "Управління агрегатом неможливе",  // 46 (controller code 24)
    "Спроба запису більше поля",  // 47 (controller code 25)
    "Недостатній рівень доступу",  // 48 (controller code 26)
    "Порожнє ім'я користувача",  // 49 (controller code 27)
    "Порожній код ідентифікації користувача",  // 50 (controller code 28)
    "Виробник/наладчик вже зареєстрований",  // 51 (controller code 29)
    "Видалення виробника/наладчика не допускається",  // 52 (controller code 30)
    "Видалення останнього адміністратора не допускається",  // 53 (controller code 31)
    "Користувач не може бути зареєстрований",  // 54 (controller code 32)
    "Користувач з таким ім'ям вже є",  // 55 (controller code 33)
    "Користувач не зареєстрований або неправильний пароль",  // 56 (controller code 34)
    "Запис допускається лише через спеціальний канал зв'язку",  // 57 (controller code 35)
    "Індекс початкового поля відповідає обмеженням",  // 58 (controller code 36)
    "Кількість записуваних полів не відповідає обмеженням",  // 59 (controller code 37)
    "Перехід у режим роботи \"Автомат\" неможливий",  // 60 (controller code 38)
    "Вказаного каналу зв'язку немає",  // 61 (controller code 39)
    "До зазначеного каналу зв'язку не підключені контролери",  // 62 (controller code 40)
    "Не отримано відповідь на ретрансльований запит",  // 63 (controller code 41)
    "Йде тайм тимчасового запису",  // 64 (controller code 42)
    "Закінчився тайм для подачі команди постійного запису",  // 65 (controller code 43)
    "Не збігаються дані в командах тимчасового та постійного запису",  // 66 (controller code 44)
    "Неприпустимий код команди",  // 67 (controller code 45)
    "Невідомий код повідомлення",  // 68 (controller code 46)
    "Невідомий код пристрою",  // 69 (controller code 47)
    "Неправильна довжина даних у повідомленні",  // 70 (controller code 48)
    "Розбіжність КС поля даних",  // 71 (controller code 49)
    "Переповнення пам'яті контролера",  // 72 (controller code 50)
    "Перевищення ліміту одночасно виконуваних команд",  // 73 (controller code 51)
    "Контролер рестартував",  // 74 (controller code 52)
    "Зміна параметрів із віддаленої ПЕОМ заборонено",  // 75 (controller code 53)
    "Неможливий режим роботи",  // 76 (controller code 54)
    "Дата та час у нормі",  // 77 (controller code 55)
    "Зміна параметрів можлива лише в режимі \"Налаштування\"",  // 78 (controller code 56)
    "Програма опитування підключених пристроїв у нормі",  // 79 (controller code 57)
    "Не пройшов запис у EEPROM",  // 80 (controller code 58)
    "Не пройшов запис у FRAM",  // 81 (controller code 59)
    "Зруйнована таблиця",  // 82 (controller code 60)
    "Порушено правила запису полів великої зруйнованої таблиці",  // 83 (controller code 61)
    "Невідповідний момент для виконання команди",  // 84 (controller code 62)
    "Не пройшов запис у FLASH PROM",  // 85 (controller code 63)
    "Програма зруйнована або встановлена ??перемичка",  // 86 (controller code 64)
};

const char* const kBusyText = "Попередній обмін з пристроєм ще не завершено";
const char* const kForeignText = "Отримано відповідь на попередній запит";
const char* const kPanelText = "Обмін...";

std::string FormatInt(const char* pattern, int value) {
    char buf[512];
    std::snprintf(buf, sizeof buf, pattern, value);
    return buf;
}

// Where the caller's data goes in the request of each function.
struct Layout {
    bool known = false;
    bool credentials = false;  // password at [4..15], user code at [16..19]
    bool argument = false;     // argument byte before the caller's data
    uint32_t dataAt = 0;       // offset of the caller's data
    uint32_t dataMax = 0;      // caller's bytes of a fixed-length request
    bool variable = false;     // function 2: the caller's length sets the frame
};

Layout LayoutOf(uint8_t function) {
    Layout l;
    l.known = true;
    switch (function) {
        case 1: l.argument = true; l.dataAt = 5; l.dataMax = 3; break;
        case 2: l.credentials = true; l.argument = true; l.dataAt = 21; l.variable = true; break;
        case 7: l.dataAt = 4; l.dataMax = 7; break;
        case 8: l.dataAt = 4; l.dataMax = 15; break;
        case 12: l.credentials = true; l.dataAt = 20; l.dataMax = 2; break;
        case 14: l.dataAt = 4; l.dataMax = 13; break;
        case 15: l.dataAt = 4; l.dataMax = 11; break;
        case 16: l.dataAt = 4; l.dataMax = 9; break;
        case 25:
        case 32:
        case 33: l.credentials = true; l.dataAt = 20; l.dataMax = 0; break;
        default: l.known = false; break;
    }
    return l;
}

// Largest frame the one-byte length field can announce.
constexpr uint32_t kMaxFrame = 255;

}  // namespace

hgcbox::hgcbox(uint8_t address) : Address(address) {
    std::memset(WritePassword, ' ', sizeof WritePassword);
    std::memset(UserCode, ' ', sizeof UserCode);
    for (uint32_t i = 0; i < kMsgCount; ++i) Msg[i] = kMessages[i];
}

hgcbox::~hgcbox() {
    ClosePort();
    CloseSocket();
}

void hgcbox::ClosePort() {
    if (hCom != platform::kNoHandle) platform::ComClose(hCom);
    hCom = platform::kNoHandle;
}

void hgcbox::CloseSocket() {
    DropSocket();
    Reconnect = nullptr;
}

void hgcbox::DropSocket() {
    if (Sock != platform::kNoSocket) platform::TcpClose(Sock);
    Sock = platform::kNoSocket;
    // Nothing of this connection can reach the next one.
    if (LinkType == kLinkTcp) {
        unsettled_ = owedLate_ = false;
        leftFrame_.Clear();
    }
}

bool hgcbox::BuildRequest(uint8_t function, const void* data, uint32_t length, uint8_t argument,
                          uint32_t& total) {
    const Layout l = LayoutOf(function);
    if (!l.known) return false;
    uint32_t n;
    if (l.variable) {
        n = length;
        if (l.dataAt + n + 2 > kMaxFrame) return false;
        if (n > 0 && data == nullptr) return false;
    } else {
        if (length > l.dataMax) return false;
        n = (length == 0 && data != nullptr) ? l.dataMax : length;
    }
    if (l.credentials) {
        std::memcpy(&Tx[4], WritePassword, sizeof WritePassword);
        std::memcpy(&Tx[16], UserCode, sizeof UserCode);
    }
    if (l.argument) Tx[l.dataAt - 1] = argument;
    if (n > 0 && data != nullptr) std::memcpy(&Tx[l.dataAt], data, n);
    total = (l.variable ? l.dataAt + n : l.dataAt + l.dataMax) + 2;
    Tx[2] = static_cast<uint8_t>(total);
    Crc16Append(Tx, total - 2);
    return true;
}

bool hgcbox::Exchange(uint8_t function, const void* data, uint32_t length, uint8_t argument) {
    if (busy_) {
        // Reached from a window message while a request is on the line: the
        // running exchange keeps the line and its own result.
        busyFunc_ = function;
        Error = kErrBusy;
        return false;
    }
    LastFunc = function;
    if (Abort.exchange(false)) {
        Error = kErrAborted;
        return false;
    }
    busy_ = true;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{busy_};

    Error = kOk;
    std::memset(Tx, 0, sizeof Tx);
    Tx[0] = 0xCC;
    Tx[1] = Address;
    Tx[3] = function;
    uint32_t total = 0;
    if (!BuildRequest(function, data, length, argument, total)) {
        Error = kErrFunction;
        return false;
    }

    const bool perExchange = OpenPerExchange && LinkType != kLinkTcp;
    if (perExchange && !OpenPort()) return false;

    if (StatusPanel) StatusPanel(kPanelText);
    frameLetEnd_ = false;
    const int attempts = std::max<int>(1, Retries);
    const uint32_t sentBefore = requestsOut_;
    uint32_t result = kOk;
    for (int i = 0; i < attempts; ++i) {
        if (Abort.load()) {
            result = kErrAborted;
            break;
        }
        // Attempts after the first go out at once, once a frame still coming
        // has ended: a late reply to an earlier one answers this same request
        // and is as good as its own.
        repeat_ = i > 0;
        const bool ok = Transact(total);
        repeat_ = false;
        result = Error;
        if (ok || result == kErrAborted) break;  // an abort ends the exchange, not just the attempt
    }
    // The same request sent twice may be answered twice: the second answer
    // must not meet the next request.
    if (requestsOut_ - sentBefore > 1 && !unsettled_) MarkUnsettled();
    LastExchange = platform::NowDateTime();
    if (StatusPanel) StatusPanel("");
    if (perExchange) {
        ClosePort();
        platform::WaitMs(150);
    }
    Abort.store(false);
    Error = result;
    return Error == kOk;
}

void hgcbox::MarkUnsettled() {
    unsettled_ = true;
    settleFrom_ = platform::PerfCounter();
}

void hgcbox::ReplyMismatch() {
    Error = kErrForeignReply;
    // A TCP link connected anew carries nothing of the old one.
    if (LinkType != kLinkTcp || Sock != platform::kNoSocket) {
        MarkUnsettled();
        owedLate_ = true;
    }
}

uint32_t hgcbox::SettleMs() const {
    return ReplyTimeoutMs;
}

uint32_t hgcbox::FrameGapMs() const {
    return std::max(ReplyTimeoutMs, ByteTimeoutMs);
}

bool hgcbox::LineOpen() const {
    return LinkType == kLinkTcp ? Sock != platform::kNoSocket : hCom != platform::kNoHandle;
}

bool hgcbox::SettleLine(uint32_t pauseMs, uint32_t& err) {
    const bool tcp = LinkType == kLinkTcp;
    const bool settle = unsettled_;
    const int64_t start = platform::PerfCounter();
    const int64_t pauseEnd = start + platform::MsToTicks(pauseMs);
    // One reply wait from the moment the line was left unsettled, whatever
    // comes meanwhile: a line that is never quiet (noise, a peer that keeps
    // sending) delays the request by no more than that. A reply later still
    // is told apart by what it answers (the function's echo, the table
    // request's echo, the records the caller checks).
    const int64_t settleEnd = std::min(settleFrom_, start) + platform::MsToTicks(SettleMs());
    const int64_t slice = platform::MsToTicks(platform::kWaitSliceMs);
    // What comes is followed as frames from where the last attempt left off,
    // so that a frame still coming at the end of the wait is known.
    ReplyFrame watch = leftFrame_.WithGap(platform::MsToTicks(FrameGapMs()));
    leftFrame_.Clear();
    bool readyButEmpty = false;
    int64_t now = start;
    for (;;) {
        // Drop whatever has come.
        const int fd = tcp ? Sock : hCom;
        bool got = false;
        if (fd >= 0) {
            uint8_t buf[512];
            for (int i = 0; i < 1024; ++i) {
                const ssize_t n = tcp ? platform::TcpRecv(fd, buf, sizeof buf) : platform::ComRead(fd, buf, sizeof buf);
                if (n > 0) {
                    Counters.droppedBytes += uint64_t(n);
                    got = true;
                    const int64_t at = platform::PerfCounter();
                    for (ssize_t k = 0; k < n; ++k) watch.Feed(buf[k], at);
                    continue;
                }
                if (n < 0) {
                    // A link the peer has closed is connected again before the
                    // request; a serial port's error state is cleared.
                    if (tcp) DropSocket();
                    else platform::ComClearError(fd);
                }
                break;
            }
        }
        now = platform::PerfCounter();
        if (got && settle) owedLate_ = false;  // the late reply went by
        int64_t end = pauseEnd;
        // A TCP link connected anew carries nothing of the old one.
        const bool lineGone = tcp && Sock == platform::kNoSocket;
        if (settle && !lineGone) end = std::max(end, settleEnd);
        if (now >= end) break;
        platform::PumpMessages();
        if (Abort.exchange(false)) {
            err = kErrAborted;
            return false;
        }
        now = platform::PerfCounter();
        if (now >= end) continue;  // one more look at the line before the request
        const int64_t wait = std::min(slice, end - now);
        const int live = tcp ? Sock : hCom;
        if (live < 0 || (readyButEmpty && !got)) {
            // Nothing to watch, or a port that reports input and gives none:
            // sleep the slice instead of asking again at once.
            platform::WaitUntilCounter(now + wait, 1000);
            readyButEmpty = false;
            continue;
        }
        const int r = tcp ? platform::TcpWaitReadable(live, wait) : platform::ComWaitReadable(live, wait);
        readyButEmpty = r != 0;
    }
    // A frame still coming: the request is not sent into it.
    if (LineOpen() && watch.Begun() && !watch.Stopped(now) && !frameLetEnd_ && !LetFrameEnd(watch, err)) return false;
    if (settle) {
        unsettled_ = false;
        ++Counters.settles;
    }
    return true;
}

bool hgcbox::BeforeRepeat(uint32_t pauseMs, uint32_t& err) {
    const int64_t end = platform::PerfCounter() + platform::MsToTicks(pauseMs);
    if (leftFrame_.Begun() && !frameLetEnd_) {
        leftFrame_ = leftFrame_.WithGap(platform::MsToTicks(FrameGapMs()));
        if (!LetFrameEnd(leftFrame_, err)) return false;
    }
    leftFrame_.Clear();
    const int64_t slice = platform::MsToTicks(platform::kWaitSliceMs);
    for (;;) {
        platform::PumpMessages();
        if (Abort.exchange(false)) {
            err = kErrAborted;
            return false;
        }
        const int64_t now = platform::PerfCounter();
        if (now >= end) return true;
        platform::WaitUntilCounter(std::min(now + slice, end), 1000);
    }
}

bool hgcbox::LetFrameEnd(ReplyFrame& frame, uint32_t& err) {
    frameLetEnd_ = true;
    const bool tcp = LinkType == kLinkTcp;
    const int64_t slice = platform::MsToTicks(platform::kWaitSliceMs);
    bool readyButEmpty = false;
    while (frame.Begun()) {
        const int fd = tcp ? Sock : hCom;
        if (fd < 0) break;
        // Never read past the frame: what follows it is not the frame's.
        uint8_t buf[256];
        const ssize_t n = tcp ? platform::TcpRecv(fd, buf, frame.Missing()) : platform::ComRead(fd, buf, frame.Missing());
        if (n < 0) {
            if (tcp) {
                DropSocket();
                break;
            }
            platform::ComClearError(fd);
        }
        int64_t now = platform::PerfCounter();
        if (n > 0) {
            Counters.droppedBytes += uint64_t(n);
            for (ssize_t k = 0; k < n && frame.Begun(); ++k) frame.Feed(buf[k], now);
            readyButEmpty = false;
            continue;
        }
        if (frame.Stopped(now)) break;
        platform::PumpMessages();
        if (Abort.exchange(false)) {
            err = kErrAborted;
            return false;
        }
        now = platform::PerfCounter();
        const int64_t wait = std::max<int64_t>(1, std::min(slice, frame.Due() - now + 1));
        if (readyButEmpty) {
            // A port that reports input and gives none: sleep the slice.
            platform::WaitUntilCounter(now + wait, 1000);
            readyButEmpty = false;
            continue;
        }
        readyButEmpty = (tcp ? platform::TcpWaitReadable(fd, wait) : platform::ComWaitReadable(fd, wait)) != 0;
    }
    frame.Clear();
    return true;
}

bool hgcbox::Send(const uint8_t* out, uint32_t n, uint32_t& err) {
    if (LinkType == kLinkTcp) {
        // The pause before a request is spent listening: what comes in
        // unasked belongs to no request of ours and is dropped; after an
        // exchange left without its reply it lasts one reply wait at least.
        // Before a repeat of the same request only the frame the failed
        // attempt was reading is dropped: a late reply to the earlier
        // attempt answers this one as well.
        if (repeat_ ? !BeforeRepeat(TcpSendDelayMs, err) : !SettleLine(TcpSendDelayMs, err)) return false;
        // A link the peer has closed is connected again before the request.
        if (Sock == platform::kNoSocket && !(Reconnect && Reconnect())) {
            err = kErrSend;
            return false;
        }
        const ssize_t sent = platform::TcpSend(Sock, out, n);
        if (sent != static_cast<ssize_t>(n)) {
            DropSocket();
            err = kErrSend;
            return false;
        }
        ++requestsOut_;
        return true;
    }
    platform::ComSetBaud(hCom, Baud);
    // A reply still on its way to an earlier request is let come and
    // dropped; a repeat of the same request goes out at once, once the frame
    // the failed attempt was reading has ended.
    if (repeat_ ? !BeforeRepeat(0, err) : (unsettled_ && !SettleLine(0, err))) return false;
    platform::ComPurge(hCom, true, true);
    const bool rts = LinkType == kLinkDirect;
    int64_t holdEnd = 0;
    int64_t holdLength = 0;
    if (rts) {
        platform::ComSetRts(hCom, true);
        platform::WaitUntilCounter(platform::PerfCounter() + platform::MsToTicks(2));
        // The line direction stays "transmit" until the last byte and one
        // more character time have gone out: (N + 1) x 10 bit times.
        const double seconds = (n + 1) * 10.0 / platform::ClampBaud(Baud);
        holdLength = static_cast<int64_t>(seconds * static_cast<double>(platform::GetPerfFrequency()));
        holdEnd = platform::PerfCounter() + holdLength;
    }
    const int writeLimitMs = static_cast<int>((n + 1) * 10000.0 / platform::ClampBaud(Baud)) + 1000;
    ++requestsOut_;  // even a write that fails may have put part of it on the line
    if (!platform::ComWrite(hCom, out, n, writeLimitMs)) {
        platform::ComClearError(hCom);
        if (rts) platform::ComSetRts(hCom, false);
        err = kErrWrite;
        return false;
    }
    if (rts) {
        platform::WaitUntilCounter(holdEnd);
        // A driver that still holds bytes (a slow adapter) gets at most as
        // long again (100 ms at most) before the line turns round.
        const int64_t limit = platform::PerfCounter() + std::min(holdLength, platform::MsToTicks(100));
        while (platform::ComBytesPending(hCom) > 0 && platform::PerfCounter() < limit)
            platform::WaitUntilCounter(platform::PerfCounter() + platform::MsToTicks(1), 1000);
        platform::ComSetRts(hCom, false);
    }
    return true;
}

void hgcbox::Receive(uint32_t& err, bool& whole) {
    whole = false;
    std::memset(Rx, 0, sizeof Rx);
    RxLen = 0;
    const bool tcp = LinkType == kLinkTcp;
    const int fd = tcp ? Sock : hCom;
    const int64_t start = platform::PerfCounter();
    const int64_t replyDeadline = start + platform::MsToTicks(ReplyTimeoutMs);
    const int64_t slice = platform::MsToTicks(platform::kWaitSliceMs);
    const bool learning = Tx[1] == 255;
    ReplyFrame frame(ReplyAddresses::Of(Tx), platform::MsToTicks(ByteTimeoutMs));
    // The frame under way when the attempt ends without it is followed on
    // by the wait before the repeat or the next request.
    struct LeaveFrame {
        hgcbox& box;
        const ReplyFrame& frame;
        ~LeaveFrame() {
            if (box.RxLen == 0 && frame.InFrame() && box.LineOpen()) box.leftFrame_ = frame;
            else box.leftFrame_.Clear();
        }
    } leave{*this, frame};
    // Until the address has come: the reply wait. From then on: the byte
    // wait after the frame's last byte.
    const auto deadlineNow = [&] { return frame.Begun() ? frame.Due() : replyDeadline; };

    // Frames until ours: a table reply that echoes other rows answers an
    // earlier request (it came after its attempt had given up) and is put
    // aside; the wait for ours goes on within the same reply time. When none
    // follows, the one put aside is what came: the caller's own echo check
    // tells the operator.
    uint8_t aside[sizeof Rx];
    uint32_t asideLen = 0;
    for (;;) {
        frame.Clear();
        bool complete = false;
        bool readyButEmpty = false;  // the last wait said "readable" and no byte came
        for (;;) {
            platform::PumpMessages();
            if (Abort.exchange(false)) {
                err = kErrAborted;
                return;
            }
            // Never read past the frame: what follows it belongs to no one.
            uint8_t buf[256];
            const std::size_t want = frame.Missing();
            ssize_t got;
            if (tcp) {
                got = platform::TcpRecv(fd, buf, want);
                if (got < 0) {  // error, or the peer closed the connection
                    DropSocket();
                    err = kErrRecv;
                    return;
                }
            } else {
                got = platform::ComRead(fd, buf, want);
                if (got < 0) {
                    platform::ComClearError(fd);
                    got = 0;
                }
            }
            if (got > 0) {
                const int64_t now = platform::PerfCounter();
                for (ssize_t i = 0; i < got && !complete; ++i)
                    complete = frame.Feed(buf[i], now) == ReplyFrame::Step::Complete;
                if (complete) break;
                readyButEmpty = false;
            } else if (readyButEmpty) {
                // A port that reports input and gives none (a hang-up): sleep
                // the slice instead of asking again at once.
                const int64_t now = platform::PerfCounter();
                platform::WaitUntilCounter(std::min(now + slice, deadlineNow() + 1), 1000);
                readyButEmpty = false;
            }

            const int64_t now = platform::PerfCounter();
            const int64_t deadline = deadlineNow();
            if (now > deadline) {
                if (!frame.Begun() && asideLen > 0) {
                    std::memcpy(Rx, aside, sizeof Rx);
                    RxLen = asideLen;
                    if (learning) Address = Rx[1];
                    whole = true;
                    return;
                }
                err = frame.Begun() ? kErrByteTimeout : kErrNoReply;
                return;
            }
            if (got > 0) continue;  // more may be waiting already
            const int r = tcp ? platform::TcpWaitReadable(fd, std::min(slice, deadline - now + 1))
                              : platform::ComWaitReadable(fd, std::min(slice, deadline - now + 1));
            if (r != 0) readyButEmpty = true;  // checked by the next read
        }

        std::memcpy(Rx, frame.Bytes(), frame.Have());
        RxLen = frame.Have();
        if (Crc16(Rx, RxLen) != 0) {
            err = kErrCrc;
            return;
        }
        if (!EchoOfOtherRows()) break;
        ++Counters.foreignReplies;
        MarkUnsettled();  // more of the kind may follow
        std::memcpy(aside, Rx, sizeof Rx);
        asideLen = RxLen;
        std::memset(Rx, 0, sizeof Rx);
        RxLen = 0;
    }

    whole = true;
    // Only a reply that passed its CRC tells the controller's address.
    if (learning) Address = Rx[1];
    if (Rx[3] != (Tx[3] | 0x80)) {
        // A reply flagged as one (bit 7) to another function answers a
        // request of the past: what else it left on the way is let go by.
        if (Rx[3] & 0x80) MarkUnsettled();
        if (RxLen < 7) {
            err = kErrReplyFunction;  // no error code in the frame
            return;
        }
        err = kErrDevice;
        SetDeviceError(&Rx[4]);
        if (Rx[4] == 60 && RxLen >= 9) {
            deviceTableKnown_ = true;
            deviceTable_ = Rx[6];
        }
    }
}

bool hgcbox::EchoOfOtherRows() const {
    if (Rx[3] != (Tx[3] | 0x80) || RxLen < 8) return false;
    if (Tx[3] == 1) return std::memcmp(&Rx[5], &Tx[5], 3) != 0;
    if (Tx[3] == 2) return std::memcmp(&Rx[5], &Tx[21], 3) != 0;
    return false;
}

bool hgcbox::Transact(uint32_t length) {
    platform::PumpMessages();
    uint32_t err = kOk;
    if (Abort.exchange(false)) {
        err = kErrAborted;
    } else if (Tx[0] != 0xCC) {
        err = kErrStart;
    } else if (length < 4 || length > sizeof Tx) {
        err = kErrFunction;
    } else {
        uint8_t out[sizeof Tx + 255];
        const uint32_t n = PreambleLen + length;
        std::memset(out, 0xFF, PreambleLen);
        std::memcpy(out + PreambleLen, Tx, length);
        const uint32_t sentBefore = requestsOut_;
        bool whole = false;
        if (Send(out, n, err)) Receive(err, whole);
        // A request that went out without its whole reply coming back may
        // still be answered: the next Exchange lets the line settle first.
        if (requestsOut_ != sentBefore && LineOpen()) {
            if (!whole) {
                MarkUnsettled();
                owedLate_ = true;
            } else if (owedLate_) {
                // An earlier request's reply was not seen go by: the one just
                // taken may have been that one (a controller that answers
                // only when the next request comes), and ours may follow.
                MarkUnsettled();
                owedLate_ = false;
            }
        }
    }
    if (LinkType != kLinkTcp && hCom != platform::kNoHandle) platform::ComPurge(hCom, true, true);
    Error = err;
    return err == kOk;
}

bool hgcbox::OpenPort() {
    ClosePort();
    const uint64_t deadline = platform::GetTickCount64() + static_cast<uint64_t>(OpenRetrySec) * 1000;
    int h = platform::kNoHandle;
    for (;;) {
        h = platform::ComOpen(ComPort, Baud, 8, 0, 0, 1000, 1000, true, false);
        if (h != platform::kNoHandle) break;
        const uint64_t now = platform::GetTickCount64();
        if (now >= deadline) break;
        platform::WaitMs(static_cast<int64_t>(std::min<uint64_t>(50, deadline - now)));
    }
    if (h == platform::kNoHandle) {
        failedPort_ = ComPort;
        Error = kErrPort;
        return false;
    }
    platform::ComSetTimeouts(h, 0xFFFFFFFFu, 0, 0);
    platform::ComSetDtr(h, true);
    hCom = h;
    platform::WaitMs(100);
    return true;
}

void hgcbox::SetDeviceError(const uint8_t* code) {
    const uint8_t c = code ? *code : 0;
    deviceCode_ = c;
    deviceTableKnown_ = false;
    if (c >= 1 && c <= 64) Msg[8] = kMessages[22 + c];
    else if (c == 0) Msg[8] = kMessages[22 + 53];
    else Msg[8] = FormatInt("Код помилки = %d", c);
}

std::string hgcbox::ErrorText() {
    std::string text;
    int function = LastFunc;
    if (Error == kErrBusy) {
        text = kBusyText;
        function = busyFunc_;
    } else if (Error == kErrForeignReply) {
        text = kForeignText;
    } else if (Error == kErrPort) {
        text = FormatInt(Msg[kErrPort].c_str(), failedPort_);
    } else if (Error < kMsgCount) {
        text = Msg[Error];
    } else {
        text = FormatInt("Код помилки = %d", static_cast<int>(Error));
    }
    ErrText = "Команда " + std::to_string(function) + ".  " + text;
    if (Error == kErrDevice && deviceCode_ == 60 && deviceTableKnown_)
        ErrText += " " + std::to_string(deviceTable_);
    return ErrText;
}
