// A Hayes-type (V.250) modem in front of the emulated controller's line.
//
// In command mode it answers AT command lines itself: E (echo), V (verbose
// or numeric results), Q (quiet), X (which call results are told apart),
// Z and &F (back to the power-on settings), H (hang up), O (back online),
// D (dial), S registers (S12: the escape guard time in 50ths of a second),
// I (identification), the other one-letter and &/%/\ settings (accepted),
// and the extended commands +CPAS (GSM readiness), +CSQ, +CREG? (others
// answered OK). Characters before "AT" on a line are ignored, as a modem
// does, and NUL bytes are dropped.
//
// A dial is answered from a queue of scripted answers (one per dial; with
// none queued a dial connects). After CONNECT the line is online: every
// byte goes through to the controller and back, until the "+++" escape
// (a second of silence -- the guard time -- before and after three '+'
// within the guard time) brings the modem back to command mode with the
// call still up; "ATH" then hangs up and "ATO" goes back online.
//
// A DTR drop hangs up too. A pseudo-terminal carries no DTR line (the
// program's DTR ioctl fails there), so the modem takes the program closing
// its last handle on the port for the drop: ModemLink watches the device's
// opens and closes (inotify). A call being dialled is cancelled the same
// way, or by any byte the program sends meanwhile (NO CARRIER).
//
// All members of Modem are thread-safe; ModemLink runs in the emulator's
// serving thread.
#pragma once
#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "emulator/Transport.h"

namespace emu {

// The modem's answer to one dial.
enum class DialAnswer {
    Connect,     // "CONNECT <rate>" (SetConnectText), then online
    Busy,        // "BUSY"
    NoCarrier,   // "NO CARRIER"
    NoDialtone,  // "NO DIALTONE"
    NoAnswer,    // "NO ANSWER"
    Error,       // "ERROR"
    Silence,     // nothing at all; the modem is back in command mode at once
};

struct DialScript {
    DialAnswer answer = DialAnswer::Connect;
    int delayMs = 0;  // the answer comes this long after the dial command
};

enum class HangUpCause { None, Command, Dtr };

class Modem {
public:
    using Clock = std::chrono::steady_clock;

    Modem();

    // ---- script and settings (from tests)
    void QueueDial(DialAnswer a, int delayMs = 0);
    void QueueDial(const std::vector<DialAnswer>& answers);
    void ClearDials();
    size_t PendingDials() const;
    // Result text of a connecting dial (verbose form), "CONNECT 9600" by default.
    void SetConnectText(const std::string& text);
    // Escape guard time (also the power-on value of S12); 1000 ms by default.
    void SetGuardTimeMs(int ms);
    int GuardTimeMs() const;
    // Status answered to AT+CPAS ("+CPAS: n", 0 = ready); negative: ERROR.
    void SetGsmStatus(int cpas);
    // A modem that is switched off: it answers nothing and passes nothing.
    void SetPowered(bool on);

    // ---- what happened
    bool Connected() const;  // a call is up (online or in command mode after "+++")
    bool Online() const;     // a call is up and the line passes through
    bool Echo() const;
    std::vector<std::string> Commands() const;  // every command line, from "AT", without CR
    std::vector<std::string> Numbers() const;   // every number dialled, as sent
    int Calls() const;                          // connections made
    int HangUps() const;
    HangUpCause LastHangUp() const;
    int Escapes() const;                        // "+++" escapes recognised
    void ClearLog();

    // ---- the line (ModemLink)
    // Bytes from the program at `t`: returns what goes to the controller;
    // `reply` gets what the modem says back to the program.
    std::string FromProgram(const uint8_t* p, int n, Clock::time_point t, std::string& reply);
    // Timers (a delayed dial answer, the guard time after "+++"): what the
    // modem says now.
    std::string Tick(Clock::time_point t);
    // The program closed the port (DTR dropped).
    void DtrDropped();

private:
    enum class State { Command, Dialling, Online };

    void ResetSettings();
    std::string Result(const std::string& verbose, int numeric) const;
    std::string CallResult(DialAnswer a) const;
    std::string ExecuteLine(const std::string& line, Clock::time_point t);
    void HangUp(HangUpCause why);
    void GoOnline(Clock::time_point t);

    mutable std::mutex m_;
    // settings
    bool echo_ = true, verbose_ = true, quiet_ = false;
    int xLevel_ = 4;
    int guardMs_ = 1000, powerOnGuardMs_ = 1000;
    uint8_t sreg_[256] = {};
    std::string connectText_ = "CONNECT 9600";
    int gsmStatus_ = 0;
    bool powered_ = true;
    // state
    State state_ = State::Command;
    bool callUp_ = false;
    std::string lineBuf_;
    std::deque<DialScript> dials_;
    DialAnswer pending_ = DialAnswer::Connect;
    Clock::time_point dialDue_{};
    Clock::time_point lastByte_{};   // last byte from the program while online
    Clock::time_point lastPlus_{};
    int plusCount_ = 0;
    std::string lastNumber_;
    // log
    std::vector<std::string> commands_, numbers_;
    int calls_ = 0, hangUps_ = 0, escapes_ = 0;
    HangUpCause lastHangUp_ = HangUpCause::None;
};

// The modem between the program's pseudo-terminal and the controller's
// session: Read gives the session only what passes through, Write sends the
// controller's bytes on only while online.
class ModemLink : public Link {
public:
    // `devicePath`: the device the program opens (watched for its closes);
    // "" watches nothing.
    ModemLink(Link& line, Modem& modem, const std::string& devicePath = "");
    ~ModemLink() override;
    int Read(uint8_t* buf, int cap, int timeoutMs) override;
    bool Write(const uint8_t* p, size_t n) override;

private:
    void WatchOpens();
    Link& line_;
    Modem& modem_;
    int inotify_ = -1;
    int opens_ = 0;  // handles the program holds on the device
};

}  // namespace emu
