// Emulator of a version-11 ЗБР gas-quality controller for tests and manual runs.
//
// It answers the controller protocol (requests 0xCC..., replies 0x33...,
// CRC-16/MODBUS) over a pseudo-terminal and/or a loopback TCP socket, each
// served by its own thread, optionally at a simulated line speed. It keeps a
// log of every frame it received and can be told to misbehave on the next
// requests (see FaultKind). All members are thread-safe.
//
// What the model holds (factory contents; see README.md and DefaultTables.cpp):
//   table 0   identification: type 'I', hardware 2, software version 11,
//             byte 10 = 1 (low byte first), byte 12 = 0 (names in code page 866)
//   table 3   address 1, baud code 11 (9600), 0 reply preambles
//   table 4   users: row 0 "ZBR " level 1 (manufacturer), password "12345", code "1111"
//   table 5   "ГРС-1 Дослідна", "Нитка 1", "Нитка 2" (code page 866, blank-padded)
//   table 6   moisture meter and flow computers present, clock correction allowed
//   table 9   two flow computers; table 14 byte 6 = 3 (chromatograph type)
// Commands answered: 1 (read rows), 2 (write rows), 7, 8, 15, 16 (archives,
// see ArchiveModel.h), 12 (clock correction), 25 (reset of the non-volatile
// data); any other gets error 1.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "emulator/ArchiveModel.h"

namespace emu {

class Controller;
class Modem;

enum class FaultKind {
    None,
    Silence,             // no reply (the request is not carried out)
    CutFrame,            // reply stops after `param` bytes of the frame (0: half of it)
    BadCrc,              // reply with a wrong CRC
    Noise,               // `param` garbage bytes (0: 8) before the reply, never 0x33
    WrongAddress,        // the whole reply comes from address `param` (0: own address + 1)
    ErrorReply,          // error reply with controller error code `param` (0..255); not carried out
    WrongEcho,           // echoed header altered: param 0 first row, 1 table, 2 row count, 3 function code
    ByteDelay,           // `param` ms between the bytes of the reply
    ReplyDelay,          // `param` ms before the reply starts
    WrongAddressPrefix,  // 0x33 and a foreign address, then the correct reply
    BadLengthPrefix,     // 0x33, the right address and a length below 6, then the correct reply
    HeldReply,           // the reply goes out only ahead of the reply to the next request the
                         // controller gets (as a reply to an earlier attempt, late)
    PreviousReply,       // the reply to the request before goes out again instead of this one's
                         // (this one is carried out: a page or block answered and lost)
    StrayStart,          // 0x33, a foreign address (`param`, 0: own address + 1) and the reply's own
                         // address (noise with a start byte in it), then the correct reply
};

// One fault applies to one following request that the controller answers
// (complete, CRC right, addressed to it or to 255). Except for Silence and
// ErrorReply the request is carried out and only its reply is spoilt. A held
// reply is sent when the next such request comes in, whatever that one's
// own fault, before its reply.
struct Fault {
    FaultKind kind = FaultKind::None;
    int param = 0;
};

struct ReceivedFrame {
    std::vector<uint8_t> bytes;  // the frame from 0xCC to its CRC, without preambles
    int preambles = 0;           // 0xFF bytes before it
    uint8_t address = 0;
    uint8_t command = 0;
    std::vector<uint8_t> data;   // between the command and the CRC
    int skipped = 0;             // other bytes dropped before it
    bool complete = true;        // false: the line went quiet before its length was reached
    bool crcOk = true;
    bool answered = false;       // a reply (maybe spoilt) was sent
    bool rateOk = true;          // false: came at another line speed than the controller's (rate check on)
    std::string via;             // "pty", "modem" (the pty behind the modem), "tcp" or "direct"
};

using DeviceTime6 = std::array<uint8_t, 6>;  // {year - 2000, month, day, hour, minute, second}

class Emulator {
public:
    Emulator();
    explicit Emulator(uint32_t seed);
    ~Emulator();
    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;

    // The controller's address (table 3 row 0).
    void SetAddress(uint8_t a);
    uint8_t Address() const;

    // Software version of table 0 (byte 3): 11 by default; 14 plays a
    // controller in its recovery state, which the program takes as having
    // every configuration table damaged (combine with SetTableDamaged for the
    // tables that really are). When a write makes the last damaged table
    // whole it restarts as version 11, at once and with everything else kept.
    void SetSoftwareVersion(uint8_t version);

    // The line speed check of the pseudo-terminal (off by default). With it
    // on, a frame that arrives while the device is set to another speed than
    // the controller's baud rate (table 3 row 1) is not understood: it is
    // logged with rateOk false and not answered. Table 3 takes effect at
    // once: its reply already comes from a new address, and the request
    // after it must come at the new speed.
    void SetLineRateCheck(bool on);

    // Simulated line speed: every byte takes 10 bit times each way. 0 = unlimited.
    // A rate of the baud table is also stored as the baud code of table 3, and
    // while a speed is set it follows the controller's own baud changes.
    void SetLineBaud(int baud);
    int LineBaud() const;

    // Serves a new pseudo-terminal; returns its slave path. With linkPath, a
    // symbolic link there names the slave (its folder is created; an old link
    // is replaced; the link is removed by Stop). Throws std::runtime_error.
    std::string StartPty(const std::string& linkPath = "");
    // Modem mode: the pseudo-terminal leads to a Hayes modem (Modem.h) that
    // answers AT commands and, once a dial connects, passes the line through
    // to the controller. Switch it on before StartPty; returns the modem to
    // script. GetModem() is null while the mode is off.
    Modem& EnableModem();
    Modem* GetModem() const;
    // Listens on host:port (0 = any free port); returns the port. One client
    // at a time: a new connection replaces the old one. Throws std::runtime_error.
    int StartTcp(const std::string& host = "127.0.0.1", int port = 0);
    // Stops both transports (also done by the destructor).
    void Stop();
    std::string PtyPath() const;
    int TcpPort() const;

    void QueueFault(Fault f);
    // Drops the queued faults and a held reply.
    void ClearFaults();
    size_t PendingFaults() const;

    std::vector<ReceivedFrame> Log() const;
    void ClearLog();

    // Whole table n as it would be read now (rows x row size bytes).
    std::vector<uint8_t> Table(int n) const;
    // Replaces table n (cut or zero-padded to its size). Generated tables (2
    // clock, 30/38 latest chromatograph values, 37 moisture meter, 42
    // chromatograph clock, 10/11/27 archive bounds, the live state 16, 32..35,
    // 39) keep the given bytes from then on; table 2 with a valid date sets
    // the clock instead.
    void SetTable(int n, std::vector<uint8_t> bytes);
    // Back to the factory contents (the archives too).
    void FactoryReset();

    // Seed of the generated values.
    void SetSeed(uint32_t seed);
    uint32_t Seed() const;

    // Controller clock, running from the host's local time at construction.
    void SetClock(const DeviceTime6& t);
    DeviceTime6 Clock() const;
    void FreezeClock(bool frozen);

    // Write password (blank-padded to 12) and user code (to 4) of the
    // manufacturer's row in table 4; write requests must carry one user's pair.
    void SetCredentials(const std::string& password, const std::string& userCode);

    // Damaged state of a table (table 7; table 0 byte 0). A damaged table
    // refuses reads with error 60 and is whole again once written row by row
    // from row 0 to its end.
    void SetTableDamaged(int t, bool damaged);
    bool TableDamaged(int t) const;

    // Name row of table 5 (0 controller, 1/2 measuring lines) from UTF-8, in the
    // code page that table 0 byte 12 names.
    void SetName(int row, const std::string& utf8);

    // Handles one request frame without a transport: logs it, applies the
    // byte-changing faults (not the delays) and returns the bytes that would
    // be sent (empty for no reply).
    std::vector<uint8_t> Process(const std::vector<uint8_t>& frame);

    // The controller's archives (thread-safe by itself; its clock is the
    // controller's). Tables 10, 11 and 27 follow it unless set by SetTable.
    ArchiveModel& Archives();

    // Runs f on the model under the emulator's lock (e.g. to add a command handler).
    void WithController(const std::function<void(Controller&)>& f);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace emu
