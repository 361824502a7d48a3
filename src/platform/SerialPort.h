// Serial ports on termios.
//
// A port is named by its number n (COMn). A link `WorkDir/dev/comN` (any
// case of "com") names the device; otherwise COM1..32 are /dev/ttyS0..31,
// COM33..64 /dev/ttyUSB0..31 and COM65..96 /dev/ttyACM0..31.
//
// A port is opened exclusively (TIOCEXCL, and an flock that holds for root
// too), in raw mode and non-blocking: a read returns at once with what has
// arrived. Any rate of the controller's rate table works, the non-standard
// ones through termios2. RTS and DTR are switched with TIOCMBIS/TIOCMBIC.
// On a pseudo-terminal (the tests link one as dev/comN) the line signals
// and rates have no meaning; failures to set them are ignored there.
//
// Handles are file descriptors; kNoHandle (-1) means closed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform {

constexpr int kNoHandle = -1;

// Device path of COMn by the rule above ("" for a number outside 1..96
// without a dev/ link).
std::string ComDevicePath(int port);

// True when COMn exists: it opens, or it is held by someone else.
bool ComPortPresent(int port);

// Opens COMn for reading and writing, exclusively. baud is clamped to
// 110..256000, dataBits to 4..8 (below 5 the line runs with 5), parity
// 0 none / 1 even / 2 odd (other: none), stopBits 0 one / 1 one and a half
// (two on this system) / 2 two (other: one). The queue sizes are the
// driver's own on this system and are accepted for the callers' sake.
// DTR and RTS are set by their flags. Returns the handle or kNoHandle; a
// failure leaves nothing open.
int ComOpen(int port, uint32_t baud, int dataBits, int parity, int stopBits, int inQueue,
            int outQueue, bool dtrOn, bool rtsOn);

// Opens a device by its path with the same settings (8N1, DTR on, RTS off
// unless told).
int ComOpenPath(const std::string& path, uint32_t baud, int dataBits = 8, int parity = 0,
                int stopBits = 0, bool dtrOn = true, bool rtsOn = false);

void ComClose(int handle);

// Rate clamped to 110..256000; standard rates through their constants, the
// others as an arbitrary rate. True on a pseudo-terminal whatever happens.
bool ComSetBaud(int handle, uint32_t baud);
uint32_t ClampBaud(uint32_t baud);

// Read time-outs. (0xFFFFFFFF, 0, 0) -- the only form the link uses -- makes
// a read return at once with what is there; other values make a read wait
// up to readTotalConstant ms (tenths of a second on this system) for its
// first byte. Reads never block the program: see ComWaitReadable.
bool ComSetTimeouts(int handle, uint32_t readInterval, uint32_t readTotalMultiplier,
                    uint32_t readTotalConstant);

// Clears the port's error state (nothing to clear on this system: errors
// are reported per call). True for an open handle.
bool ComClearError(int handle);

// RTS and DTR on or off. True on a pseudo-terminal whatever happens.
bool ComSetRts(int handle, bool on);
bool ComSetDtr(int handle, bool on);

// Discards what waits in the transmit and/or receive queue (tcflush).
bool ComPurge(int handle, bool tx, bool rx);

// Non-blocking read: the number of bytes read (0 when none are there),
// -1 on an error of the port.
ssize_t ComRead(int handle, void* buf, std::size_t size);

// Writes all bytes, waiting (without spinning) while the driver's queue is
// full, at most timeoutMs. True when every byte was queued.
bool ComWrite(int handle, const void* data, std::size_t size, int timeoutMs = 2000);

// Bytes received and not yet read (FIONREAD), -1 on error.
int ComBytesAvailable(int handle);
// Bytes written and not yet sent out (TIOCOUTQ), -1 on error.
int ComBytesPending(int handle);

// Waits at most `ns` nanoseconds for input: 1 input (or a hang-up) is
// there, 0 the time passed, -1 error.
int ComWaitReadable(int handle, int64_t ns);

// True when the handle is a pseudo-terminal.
bool IsPseudoTerminal(int handle);

// True when pattern occurs in text (byte-wise, case-sensitive); false for an
// empty text or a pattern longer than the text; an empty pattern in a
// non-empty text counts as found.
bool ContainsText(std::string_view text, std::string_view pattern);

}  // namespace platform
