// The link object: frames, sends and checks the controller's requests over
// a serial line (with or without RTS direction switching) or a TCP socket.
//
// The program is always the master: one request frame, one reply frame.
//   request: 0xCC, address, total length, function, data, CRC-16 (low first)
//   reply:   0x33, address, total length, function | 0x80, data, CRC-16
// A reply whose function byte is anything else is the controller's error
// reply; its first data byte is the controller's error code.
//
// One object serves the whole run (HgcBox). Callers fill the settings
// fields, call Exchange() and read the reply from Rx (RxLen bytes) or, on
// failure, show ErrorText(). Waits poll the descriptor in slices of a few
// milliseconds and let window messages run between them; a handler reached
// that way may set Abort, but an Exchange it starts fails at once.
//
// A reply is read as ReplyFrame.h tells: the start byte 0x33, an address a
// reply to the request may come from, a length a frame can have (6 to 255,
// CRC included), the rest up to that length. Until its address has come the
// reply wait bounds the wait (error 10); from then on each byte must come
// within the byte wait of the one before (error 5). The operator's byte wait
// decides: a reply slower than that fails its attempt.
//
// A reply is never taken for the answer to a later request. An attempt that
// ends without its whole reply (none came in time, it stopped half-way, its
// CRC failed, the wait was aborted), an Exchange that sent its request more
// than once, or a reply the caller finds answering another request
// (ReplyMismatch) leaves the line "unsettled": a reply may still be on its
// way. The attempts of one Exchange follow each other at once -- a late
// reply to an earlier attempt answers the same request and is taken (but
// see below for a frame still coming) -- while the next Exchange first lets the line settle: whatever comes within one
// reply wait (SettleMs) of the moment the line was left unsettled is
// dropped. Bytes that make no frame (noise, a line that never goes quiet)
// do not hold the request back any longer: it goes out, however busy the
// line still is. A request is never sent into a frame still coming,
// though, once per Exchange: a frame under way when an attempt gave up (a
// reply slower than the byte wait) or when the settle wait is over is let
// end first, at its pace (each byte within FrameGapMs of the one before)
// and bounded by its length, and dropped -- before the repeat of the
// request, or before the next request. Only once, so that a line that
// keeps sending frames cannot hold an Exchange for longer than one frame.
// When that wait saw no late reply go by, the reply the next request gets
// may still be the earlier one's (a controller that answers only when it is
// asked again), so the line is let settle once more after it. A clean
// exchange leaves nothing to wait for and pays nothing. A reply later than
// that is told apart by what it answers: a reply to another function never
// passes, and a table read or write reply whose echo names other rows than
// the request is a late reply to an earlier request: it is dropped and the
// wait for ours goes on; the callers check what the records of an archive
// reply answer.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "link/ReplyFrame.h"
#include "platform/SerialPort.h"
#include "platform/Tcp.h"

class hgcbox {
public:
    // Link kinds.
    static constexpr uint8_t kLinkDirect = 0;  // COM port, RTS raised while sending
    static constexpr uint8_t kLinkModem = 1;   // COM port without RTS switching
    static constexpr uint8_t kLinkTcp = 2;     // TCP socket

    // Error codes the link object sets itself (texts in Msg).
    static constexpr uint32_t kOk = 0;
    static constexpr uint32_t kErrStart = 1;         // Tx does not begin with 0xCC
    static constexpr uint32_t kErrFunction = 2;      // unknown function or data too long
    static constexpr uint32_t kErrWrite = 3;         // the port refused the request
    static constexpr uint32_t kErrByteTimeout = 5;   // reply stopped between bytes
    static constexpr uint32_t kErrPort = 6;          // port could not be opened
    static constexpr uint32_t kErrCrc = 7;           // reply CRC wrong
    static constexpr uint32_t kErrDevice = 8;        // controller's error reply
    static constexpr uint32_t kErrReplyFunction = 9; // error reply without an error code
    static constexpr uint32_t kErrNoReply = 10;      // no reply in ReplyTimeoutMs
    static constexpr uint32_t kErrAborted = 19;      // Abort was set
    static constexpr uint32_t kErrSend = 20;         // TCP send failed
    static constexpr uint32_t kErrRecv = 21;         // TCP receive failed / peer closed
    static constexpr uint32_t kMsgCount = 87;
    // An Exchange asked for while another one runs (outside the Msg table).
    static constexpr uint32_t kErrBusy = 87;
    // The reply answers another, earlier request (set by ReplyMismatch;
    // outside the Msg table).
    static constexpr uint32_t kErrForeignReply = 88;

    explicit hgcbox(uint8_t address);
    ~hgcbox();  // closes a port or socket still open
    hgcbox(const hgcbox&) = delete;
    hgcbox& operator=(const hgcbox&) = delete;

    // When set, the next check in Exchange or Transact clears it and fails
    // with error 19. May be set from a message handler or another thread.
    std::atomic<bool> Abort{false};

    uint8_t Tx[256] = {};  // request frame being sent
    uint8_t Rx[256] = {};  // reply frame received
    uint32_t RxLen = 0;    // length of the complete reply frame in Rx (CRC included), 0 when none

    uint8_t LinkType = kLinkDirect;
    uint8_t ComPort = 1;
    int hCom = platform::kNoHandle;  // open COM port, kNoHandle = closed
    int Sock = platform::kNoSocket;  // connected TCP socket, kNoSocket = none
    // Connects Sock again when the peer has dropped the link (set by the
    // Ethernet connect, cleared by CloseSocket); without it a dropped link
    // stays down until the operator connects anew.
    std::function<bool()> Reconnect;
    uint32_t OpenRetrySec = 1;       // how long OpenPort keeps trying (0: one try)
    bool OpenPerExchange = true;     // open before and close after every Exchange (COM only)
    uint8_t Address;                 // controller address; 255 = learn it from the reply
    uint32_t Baud = 1200;            // line rate; also the bit time of the RTS hold
    uint8_t PreambleLen = 0;         // 0xFF bytes sent ahead of each frame
    char WritePassword[12];          // sent with write-type requests (blank-padded)
    char UserCode[4];                // ditto
    uint32_t ByteTimeoutMs = 10;     // longest gap between the bytes of a reply
    uint32_t ReplyTimeoutMs = 2000;  // longest wait for the start of a reply
    uint8_t Retries = 2;             // attempts per Exchange (below 1 taken as 1)
    uint32_t TcpSendDelayMs = 500;   // pause before each TCP send

    std::array<std::string, kMsgCount> Msg;  // texts by error code (8: the device's text)
    uint32_t Error = 0;                      // last error, 0 = success
    double LastExchange = 0;                 // when the last Exchange ended (days since 1899-12-30)
    // Progress text for a status panel ("Обмін..." while an Exchange runs,
    // "" afterwards). Set by the main window.
    std::function<void(const std::string&)> StatusPanel;
    std::string ErrText;   // last text formatted by ErrorText()
    uint8_t LastFunc = 0;  // function of the last Exchange

    // Builds the request for `function` and makes up to Retries attempts.
    // Data by function (the frame length is fixed except for 2):
    //   1  read table:  3 bytes {table, first row, rows}        length 10
    //   2  write table: N bytes {header, rows}, N <= 232       length N + 23
    //   7  by index 7, 8 by period 15, 14: 13, 15 hourly 11, 16 daily 9 bytes
    //   12 clock correction: 2 bytes                           length 24
    //   25, 32, 33: no data (password and user code only)      length 22
    // `length` 0 with data given means the function's full data length;
    // shorter data leaves the rest zero; longer data is refused (error 2,
    // nothing sent). The argument byte goes into functions 1 and 2.
    // True when a well-formed reply came (Error 0); the reply stays in Rx.
    bool Exchange(uint8_t function, const void* data = nullptr, uint32_t length = 0, uint8_t argument = 0);

    // One attempt: sends the first `length` bytes of Tx (after the
    // preambles) and receives and checks a reply into Rx.
    bool Transact(uint32_t length);

    // Opens ComPort (closing an open handle first), trying for OpenRetrySec
    // seconds (at least once). Failure: Error 6.
    bool OpenPort();
    void ClosePort();    // closes hCom, if open
    void CloseSocket();  // closes Sock, if open, and forgets Reconnect

    // "Команда %d.  %s": the function of the last Exchange and the text of
    // the last error; for the controller's code 60 (destroyed table) the
    // table number follows. Same text however often it is called.
    std::string ErrorText();

    // The caller found that the reply in Rx answers another request (its
    // echo or its records say so): Error 88, and the line is let settle
    // before the next request, so that the reply still on its way is dropped.
    void ReplyMismatch();

    // True while a reply to an earlier request may still be on its way.
    bool LineUnsettled() const { return unsettled_; }
    // A new TCP connection took the place of the line: no reply left owing
    // on the old line (a serial port or an earlier connection) can come on it.
    void NewConnection() {
        unsettled_ = owedLate_ = false;
        leftFrame_.Clear();
    }
    // How long the next Exchange after one left without its reply lets the
    // line settle, counted from the moment it was left so: one reply wait.
    uint32_t SettleMs() const;
    // The longest gap between two bytes of a frame let end before a request:
    // one reply wait, or the byte wait when that is longer.
    uint32_t FrameGapMs() const;

    // What the link has dropped so far (for tests and the benchmark).
    struct LineCounters {
        uint64_t settles = 0;         // waits for the line to settle before a request
        uint64_t droppedBytes = 0;    // bytes dropped in those waits and the TCP pauses
        uint64_t foreignReplies = 0;  // table replies dropped for their echo
    };
    LineCounters Counters;

    // Takes the controller's error code (first data byte of an error reply)
    // as the text of error 8: codes 1..64 their text, 0 the text of code 53,
    // 65 and above "Код помилки = %d".
    void SetDeviceError(const uint8_t* code);
    uint8_t DeviceErrorCode() const { return deviceCode_; }

    // True while an Exchange runs.
    bool Busy() const { return busy_; }

private:
    void DropSocket();  // closes a dead Sock, keeping Reconnect
    bool LineOpen() const;  // the port (or socket) of the link kind is open
    bool BuildRequest(uint8_t function, const void* data, uint32_t length, uint8_t argument,
                      uint32_t& total);
    bool Send(const uint8_t* out, uint32_t n, uint32_t& err);
    // Receives one reply; `whole` tells that a complete frame with a right
    // CRC was taken as ours (a success or the controller's error reply).
    void Receive(uint32_t& err, bool& whole);
    // True when Rx holds a table read or write reply whose echo names other
    // rows than Tx asks for.
    bool EchoOfOtherRows() const;
    // From now on the line may carry a reply to a request of ours.
    void MarkUnsettled();
    // Waits at least pauseMs and, while the line is unsettled, until
    // SettleMs() have passed since it was left so, dropping what comes; a
    // frame still coming at the end of that is let end (LetFrameEnd).
    // False on Abort (err 19).
    bool SettleLine(uint32_t pauseMs, uint32_t& err);
    // Before a repeat of the same request: the frame the failed attempt was
    // reading is let end (LetFrameEnd), then the rest of pauseMs passes (the
    // TCP pause); what comes after that frame stays for the attempt to read.
    // False on Abort (err 19).
    bool BeforeRepeat(uint32_t pauseMs, uint32_t& err);
    // Once per Exchange: reads the rest of `frame`, a frame under way, at its
    // pace (FrameGapMs) and drops it, reading nothing past it. Ends when it
    // is whole, stops or turns out no frame. False on Abort (err 19), the
    // frame then left as far as it got.
    bool LetFrameEnd(ReplyFrame& frame, uint32_t& err);

    bool busy_ = false;
    uint8_t busyFunc_ = 0;
    uint8_t failedPort_ = 0;
    uint8_t deviceCode_ = 0;
    bool deviceTableKnown_ = false;
    uint8_t deviceTable_ = 0;
    bool unsettled_ = false;
    bool owedLate_ = false;      // a request's reply did not come and was not seen go by
    int64_t settleFrom_ = 0;     // counter reading when the line was left unsettled
    bool repeat_ = false;        // the attempt under way repeats the Exchange's request
    uint32_t requestsOut_ = 0;   // requests that went out (counted by Send)
    bool frameLetEnd_ = false;   // this Exchange has let a frame end before a request
    ReplyFrame leftFrame_;       // the frame an attempt gave up or was aborted in
};

// The program's one link object (created by the main window).
extern hgcbox* HgcBox;
