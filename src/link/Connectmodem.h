// The AT-command dialogue with a Hayes-type (V.250) telephone or GSM modem
// on an open COM handle: one command and its answer line, bringing the
// modem into command mode, dialling a subscriber with the operator's
// initialisation commands and retries, the GSM readiness check, hang-up.
//
// Once DialModem has connected, the line is transparent and the link object
// talks to the controller through the same handle (LinkType 1).
//
// Every wait polls the port in slices of a few milliseconds and lets window
// messages run (platform::PumpMessages) between them, so the window stays
// alive and Esc reaches the dialogue -- see ModemEscapePressed below.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Result codes of SendAtCommand and DialModem.
enum ModemCode : int {
    kModemOk = 0,             // success
    kModemNoDialTone = 1,     // answer holds "DIAL" / "dial"
    kModemBusy = 2,           // "BUSY" / "busy"
    kModemNoCarrier = 3,      // "NO CARRI" / "no carri"
    kModemError = 4,          // "ERRO" / "erro"
    kModemNoAnswer = 5,       // "ANSW" / "answ"
    kModemTimeLimit = 6,      // "Time"
    kModemAbsent = 7,         // "+++" got no answer line in time
    kModemNotConnected = 8,   // a command not answered OK, or the dial not with CONNECT
    kModemTimeout = 9,        // no complete answer line within the time-out
    kModemEscape = 10,        // the operator pressed Esc
    kModemGsmNotReady = 11,   // the GSM readiness check failed
};
constexpr int kModemCodeCount = 12;

// The texts shown for the codes 0..11.
extern const std::array<const char*, kModemCodeCount> ModemErrorTexts;
// The text of a code; "" outside 0..11.
const char* ModemErrorText(int code);

// Progress text for a status-bar panel (empty function: none).
using ModemPanel = std::function<void(const std::string&)>;

// ---- Esc during the dialogue
//
// While a modem command waits for its answer (and for the whole of a dial)
// the window layer's message hook hands an Esc key-down to
// ModemEscapePressed() before anything else:
//
//   ui::Application::OnMessage = [](const ui::Message& m, bool& handled) {
//       if (m.kind == ui::Message::KeyDown && m.key == ui::key::Escape && ModemEscapePressed())
//           handled = true;   // taken from the queue: no window sees it
//       ...
//   };
//
// The call takes the key only while the dialogue waits (it returns false
// otherwise and the key goes its usual way) and only for the window the
// dialogue was given (nullptr on either side: any window). The waiting
// command sees it right after the pump returns and ends with kModemEscape;
// a dial ends at once, whatever attempts are left.
bool ModemEscapePressed(const void* window = nullptr);
// True while the dialogue waits and would take an Esc.
bool ModemWaiting();

// ---- timing
// The dialogue's fixed delays and time-outs. The program keeps these
// values; tests shorten them to run fast.
struct ModemTimings {
    uint32_t prepareTimeoutMs = 5000;  // answers to "ATE0", "+++", "ATV1"
    uint32_t escapeGuardMs = 1200;     // quiet line before "+++" and after it
    uint32_t beforeDialMs = 2000;      // settle time before the first round
    uint32_t betweenCommandsMs = 200;  // after each initialisation command
    uint32_t afterConnectMs = 200;     // after CONNECT
    uint32_t gsmTimeoutMs = 5000;      // each answer line of "AT+CPAS"
    uint32_t hangUpTimeoutMs = 2000;   // answers during the hang-up
    uint32_t hangUpGuardMs = 1000;     // quiet line before the hang-up's "+++"
    uint32_t dialWaitUnitMs = 1000;    // one second of the operator's dial wait
};
ModemTimings& ModemTiming();

// ---- the dialogue

constexpr std::size_t kModemAnswerMax = 255;  // longest answer line, bytes

// Sends one command (its bytes exactly as given, Windows-1251 on the wire;
// callers end commands with CR, "+++" has none) after purging the port's
// queues, and reads the answer line: bytes up to the first CR or LF are
// skipped (the echo); the line starts with that CR/LF and ends once it
// holds more than 3 bytes and its last is CR or LF, or at 255 bytes. The
// answer is classified by the first match of "ERRO"/"erro" 4, "Time" 6,
// "DIAL"/"dial" 1, "NO CARRI"/"no carri" 3, "BUSY"/"busy" 2, "ANSW"/"answ" 5,
// else 0. No line before the time-out: 9 (answer: what came of the line);
// Esc: 10 (answer "Escape..."); a port that refuses the bytes: 9 at once.
// With a panel the command and then the answer are shown in it.
int SendAtCommand(int hCom, std::string_view command, std::string& answer, uint32_t timeoutMs,
                  const void* window = nullptr, const ModemPanel& panel = {});

// The classification step of SendAtCommand alone.
int ModemAnswerCode(std::string_view answer);

// Brings the modem into command mode with echo off and verbose answers:
// "ATE0"; when that gets no answer, the "+++" escape with its guard times
// (no answer to it: 7), then "ATE0" and "ATV1" again, two rounds at most.
int PrepareModem(int hCom, const ModemPanel& panel = {});

// "AT+CPAS": true when the modem answers "+CPAS: 0" and then "OK", each
// line within its time-out.
bool CheckGsmReady(int hCom, const ModemPanel& panel = {});

// Dials `phone` (blanks, '-', '(' and ')' removed): PrepareModem, then per
// attempt the initialisation commands of `initString` (each answered OK,
// `waitSeconds` each), the GSM readiness check and "ATD<number>" (answered
// CONNECT within `waitSeconds`). A failed attempt costs one of `attempts`
// (fewer than 1 count as 1); the code of the last one is returned. 0 on
// success; Esc ends the dial at once with 10; a GSM modem that is not
// ready ends it at once with 11.
int DialModem(int hCom, std::string_view phone, std::string_view initString, const void* window,
              const ModemPanel& panel, uint32_t attempts, uint32_t waitSeconds);

// Hangs up: unless `skipFirst`, "ath" first (a failure answered by the
// modem ends here with 1); then the "+++" escape after a quiet second and
// "ath" again, whose code is returned.
int HangUpModem(int hCom, bool skipFirst);

// The commands of an initialisation string: each starts at "AT" (either
// letter in either case) and runs to the next '^' or the end; text that
// does not hold "AT" is skipped. Each comes back ending with CR.
std::vector<std::string> SplitInitCommands(std::string_view initString);

// Copy without blanks, '-', '(' and ')'.
std::string StripPhoneNumber(std::string_view text);
// Copy without CR and LF.
std::string StripCrLf(std::string_view text);
