#include "link/Connectmodem.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/Clock.h"
#include "platform/Codepage.h"
#include "platform/MessagePump.h"
#include "platform/SerialPort.h"

const std::array<const char*, kModemCodeCount> ModemErrorTexts = {
    "З'єднання встановлене",
    "Відсутній сигнал АТС",
    "Номер абонента зайнятий",
    "Втрата несучої",
    "Відсутній гудок в лінії",
    "Абонент не відповідає",
    "Ліміт часу, відведеного на з'єднання, вичерпаний",
    "Модем відсутній або не підключений",
    "З'єднання не встановлене",
    "Сплив час очікування відповіді модему",
    "Спроба з'єднання перервана на вимогу користувача",
    "Немає готовності GSM",
};

const char* ModemErrorText(int code) {
    return code >= 0 && code < kModemCodeCount ? ModemErrorTexts[static_cast<std::size_t>(code)] : "";
}

ModemTimings& ModemTiming() {
    static ModemTimings timings;
    return timings;
}

namespace {

// ---- Esc: taken by the window layer's hook while a wait runs

std::atomic<int> g_waiting{0};
std::atomic<const void*> g_window{nullptr};
std::atomic<bool> g_escape{false};

// Marks a stretch of the dialogue in which Esc ends the operation. Scopes
// nest (a dial holds one around its commands); the innermost names the
// window. An Esc left over when the outermost ends is dropped.
class EscScope {
public:
    explicit EscScope(const void* window) : outer_(g_window.exchange(window)) {
        if (g_waiting.fetch_add(1) == 0) g_escape = false;
    }
    ~EscScope() {
        g_window = outer_;
        if (g_waiting.fetch_sub(1) == 1) g_escape = false;
    }
    EscScope(const EscScope&) = delete;
    EscScope& operator=(const EscScope&) = delete;

private:
    const void* outer_;
};

// True (once) when an Esc came since the last look.
bool EscTaken() { return g_escape.exchange(false); }

const char kEscapeAnswer[] = "Escape...";

void SleepSlice(int64_t ticks) {
    const int64_t slice = platform::MsToTicks(platform::kWaitSliceMs);
    const int64_t t = std::clamp<int64_t>(ticks, 0, slice);
    if (t > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(t * 1'000'000'000 / platform::GetPerfFrequency()));
}

// Waits `ms`, letting window messages run; false when Esc came.
bool WaitOrEscape(uint32_t ms) {
    const int64_t end = platform::PerfCounter() + platform::MsToTicks(ms);
    for (;;) {
        platform::PumpMessages();
        if (EscTaken()) return false;
        const int64_t left = end - platform::PerfCounter();
        if (left <= 0) return true;
        SleepSlice(left);
    }
}

bool IsLineEnd(uint8_t b) { return b == '\r' || b == '\n'; }

// Reads one answer line into `line` until `deadline` (counter ticks).
// Bytes are taken one at a time, so that what follows the line stays in
// the port for the next read.
int ReadAnswerLine(int h, std::string& line, int64_t deadline) {
    line.clear();
    bool started = false;
    bool readyButEmpty = false;
    for (;;) {
        platform::PumpMessages();
        if (EscTaken()) {
            line = kEscapeAnswer;
            return kModemEscape;
        }
        uint8_t b = 0;
        ssize_t got = platform::ComRead(h, &b, 1);
        if (got < 0) {
            platform::ComClearError(h);
            got = 0;
        }
        if (got > 0) {
            readyButEmpty = false;
            if (!started) {
                // Skip the echo and anything else up to the first line end,
                // which becomes byte 0 of the line.
                if (IsLineEnd(b)) {
                    started = true;
                    line.push_back(static_cast<char>(b));
                }
            } else {
                line.push_back(static_cast<char>(b));
                if ((line.size() > 3 && IsLineEnd(b)) || line.size() >= kModemAnswerMax) return kModemOk;
            }
        }
        const int64_t now = platform::PerfCounter();
        if (now > deadline) return kModemTimeout;
        if (got > 0) continue;  // more may be waiting already
        if (readyButEmpty) {
            // The port reports input and gives none (a hang-up of the line):
            // sleep the slice instead of asking again at once.
            SleepSlice(deadline - now + 1);
            readyButEmpty = false;
            continue;
        }
        const int64_t slice = platform::MsToTicks(platform::kWaitSliceMs);
        const int r = platform::ComWaitReadable(h, std::min(slice, deadline - now + 1));
        if (r != 0) readyButEmpty = true;
    }
}

// A word of these in an answer shows that the modem answered at all.
bool HasModemWord(std::string_view answer) {
    for (std::string_view w : {"AT", "at", "OK", "ok", "\r\n", "0"})
        if (platform::ContainsText(answer, w)) return true;
    return false;
}

// Text for the panel: line ends removed, other control bytes dropped, the
// wire's Windows-1251 read into UTF-8.
std::string Shown(std::string_view bytes) {
    std::string s;
    for (char c : bytes)
        if (static_cast<uint8_t>(c) >= 0x20) s.push_back(c);
    return platform::Cp1251ToUtf8(s);
}

const char kDialPanel[] = " Встановлення зв'язку по телефону. Команда ";
const char kGsmPanel[] = " Перевірка готовності GSM. Команда AT+CPAS";

// AT+CPAS: 0 ready, 11 not ready or no answer, 10 Esc (only inside a dial).
int GsmReadyCode(int h, const ModemPanel& panel) {
    platform::ComPurge(h, true, true);
    if (panel) {
        panel(kGsmPanel);
        platform::PumpMessages();
    }
    static const char kCommand[9] = {'A', 'T', '+', 'C', 'P', 'A', 'S', '\r', '\0'};
    if (!platform::ComWrite(h, kCommand, sizeof kCommand)) return kModemGsmNotReady;
    for (std::string_view expected : {"+CPAS: 0", "OK"}) {
        std::string line;
        const int64_t deadline = platform::PerfCounter() + platform::MsToTicks(ModemTiming().gsmTimeoutMs);
        const int code = ReadAnswerLine(h, line, deadline);
        if (code == kModemEscape) return kModemEscape;
        if (code != kModemOk) return kModemGsmNotReady;
        if (panel) panel(std::string(kGsmPanel) + ". Відповідь " + Shown(line));
        if (!platform::ContainsText(line, expected)) return kModemGsmNotReady;
    }
    return kModemOk;
}

// One attempt: the initialisation commands, the readiness check, the dial.
int DialRound(int h, const std::vector<std::string>& commands, const std::string& dial, uint32_t timeoutMs,
              const void* window, const ModemPanel& panel) {
    std::string answer;
    for (const std::string& c : commands) {
        const int code = SendAtCommand(h, c, answer, timeoutMs, window, panel);
        if (code != kModemOk) return code;
        if (!platform::ContainsText(answer, "OK") && !platform::ContainsText(answer, "ok"))
            return kModemNotConnected;
        if (!WaitOrEscape(ModemTiming().betweenCommandsMs)) return kModemEscape;
    }
    const int ready = GsmReadyCode(h, panel);
    if (ready != kModemOk) return ready;
    const int code = SendAtCommand(h, dial, answer, timeoutMs, window, panel);
    if (code != kModemOk) return code;
    if (!platform::ContainsText(answer, "ONNE") && !platform::ContainsText(answer, "onne")) return kModemNotConnected;
    return kModemOk;
}

}  // namespace

bool ModemEscapePressed(const void* window) {
    if (g_waiting.load() <= 0) return false;
    const void* own = g_window.load();
    if (own && window && own != window) return false;
    g_escape = true;
    return true;
}

bool ModemWaiting() { return g_waiting.load() > 0; }

int ModemAnswerCode(std::string_view a) {
    using platform::ContainsText;
    if (ContainsText(a, "ERRO") || ContainsText(a, "erro")) return kModemError;
    if (ContainsText(a, "Time")) return kModemTimeLimit;
    if (ContainsText(a, "DIAL") || ContainsText(a, "dial")) return kModemNoDialTone;
    if (ContainsText(a, "NO CARRI") || ContainsText(a, "no carri")) return kModemNoCarrier;
    if (ContainsText(a, "BUSY") || ContainsText(a, "busy")) return kModemBusy;
    if (ContainsText(a, "ANSW") || ContainsText(a, "answ")) return kModemNoAnswer;
    if (ContainsText(a, kEscapeAnswer)) return kModemEscape;
    return kModemOk;
}

int SendAtCommand(int h, std::string_view command, std::string& answer, uint32_t timeoutMs, const void* window,
                  const ModemPanel& panel) {
    EscScope esc(window);
    const std::string shownCommand = Shown(command);
    if (panel) {
        panel(kDialPanel + shownCommand + ".");
        platform::PumpMessages();
    }
    platform::ComPurge(h, true, true);
    answer.clear();
    if (!WaitOrEscape(2)) {
        answer = kEscapeAnswer;
        return kModemEscape;
    }
    const std::string bytes = platform::Utf8ToCp1251(command);
    const int64_t deadline = platform::PerfCounter() + platform::MsToTicks(timeoutMs);
    if (!platform::ComWrite(h, bytes.data(), bytes.size())) return kModemTimeout;  // nothing can answer
    const int code = ReadAnswerLine(h, answer, deadline);
    if (code != kModemOk) return code;
    if (panel) panel(kDialPanel + shownCommand + ".  Ответ " + Shown(answer));
    return ModemAnswerCode(answer);
}

int PrepareModem(int h, const ModemPanel& panel) {
    EscScope esc(nullptr);
    const ModemTimings& t = ModemTiming();
    std::string answer;
    int code = SendAtCommand(h, "ATE0\r", answer, t.prepareTimeoutMs, nullptr, panel);
    enum { kEscapeStep, kEchoStep, kVerboseStep } step;
    if (code == kModemOk && HasModemWord(answer)) step = kVerboseStep;
    else if (code == kModemOk || code == kModemTimeout) step = kEscapeStep;
    else return code;

    bool commandMode = false;  // the last "+++" was answered
    int rounds = 0;
    for (;;) {
        switch (step) {
            case kEscapeStep:
                if (!WaitOrEscape(t.escapeGuardMs)) return kModemEscape;
                code = SendAtCommand(h, "+++", answer, t.prepareTimeoutMs, nullptr, {});
                if (code != kModemOk) return code == kModemTimeout ? kModemAbsent : code;
                commandMode = HasModemWord(answer);
                step = kEchoStep;
                break;
            case kEchoStep:
                if (!WaitOrEscape(t.escapeGuardMs)) return kModemEscape;
                code = SendAtCommand(h, "ATE0\r", answer, t.prepareTimeoutMs, nullptr, {});
                if (code != kModemOk) return code;
                if (HasModemWord(answer)) return kModemOk;
                step = kVerboseStep;
                break;
            case kVerboseStep:
                code = SendAtCommand(h, "ATV1\r", answer, t.prepareTimeoutMs, nullptr, panel);
                if (code != kModemOk) return code;
                if (HasModemWord(answer)) return kModemOk;
                if (++rounds >= 2) return kModemOk;  // the dial's own commands will tell
                step = commandMode ? kEchoStep : kEscapeStep;
                break;
        }
    }
}

bool CheckGsmReady(int h, const ModemPanel& panel) { return GsmReadyCode(h, panel) == kModemOk; }

int DialModem(int h, std::string_view phone, std::string_view initString, const void* window,
              const ModemPanel& panel, uint32_t attempts, uint32_t waitSeconds) {
    const ModemTimings& t = ModemTiming();
    int code;
    {
        // Esc anywhere in the dial -- a command, the readiness check, a
        // pause between commands -- ends it at once.
        EscScope esc(window);
        code = PrepareModem(h, panel);
        if (code != kModemOk) return code;
        const std::vector<std::string> commands = SplitInitCommands(initString);
        const std::string dial = "ATD" + StripPhoneNumber(phone) + "\r";
        const uint32_t timeoutMs = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{waitSeconds} * t.dialWaitUnitMs, UINT32_MAX));
        if (!WaitOrEscape(t.beforeDialMs)) return kModemEscape;
        // A settings file nobody checked may hold 0 attempts: one is always made.
        uint32_t left = std::max<uint32_t>(attempts, 1);
        for (;;) {
            code = DialRound(h, commands, dial, timeoutMs, window, panel);
            if (code == kModemOk || code == kModemEscape || code == kModemGsmNotReady) break;
            if (--left == 0) break;
        }
    }
    if (code == kModemOk) platform::WaitMs(t.afterConnectMs);
    return code;
}

int HangUpModem(int h, bool skipFirst) {
    const ModemTimings& t = ModemTiming();
    std::string answer;
    if (!skipFirst) {
        const int code = SendAtCommand(h, "ath\r", answer, t.hangUpTimeoutMs);
        if (code != kModemOk && HasModemWord(answer)) return 1;
    }
    platform::WaitMs(t.hangUpGuardMs);
    SendAtCommand(h, "+++", answer, t.hangUpTimeoutMs);
    return SendAtCommand(h, "ath\r", answer, t.hangUpTimeoutMs);
}

std::vector<std::string> SplitInitCommands(std::string_view s) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos <= s.size()) {
        std::size_t end = s.find('^', pos);
        if (end == std::string_view::npos) end = s.size();
        const std::string_view piece = s.substr(pos, end - pos);
        for (std::size_t i = 0; i + 1 < piece.size(); ++i) {
            if ((piece[i] == 'A' || piece[i] == 'a') && (piece[i + 1] == 'T' || piece[i + 1] == 't')) {
                out.push_back(std::string(piece.substr(i)) + "\r");
                break;
            }
        }
        pos = end + 1;
    }
    return out;
}

std::string StripPhoneNumber(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '-' && c != '(' && c != ')') out.push_back(c);
    return out;
}

std::string StripCrLf(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != '\r' && c != '\n') out.push_back(c);
    return out;
}
