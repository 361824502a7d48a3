// Link services the connection dialogs and the main window share: the
// presence test of a serial port, loading the link object from a set of
// link parameters, and the TCP connect to an Ethernet subscriber.
#pragma once
#include <cstdint>
#include <string>

#include "common/ListRecords.h"
#include "common/Rd_wr_ini.h"
#include "link/Hgcbox.h"

// True when COMn exists: it opens (and is closed again at once), or it is
// held by another program.
bool IsComPortPresent(int port);

// The ranges the link-parameter window allows; LoadLinkObject holds the
// settings to them.
constexpr std::uint32_t kMinReplyWaitSec = 1, kMaxReplyWaitSec = 120;
constexpr std::uint32_t kMinByteWaitMs = 55, kMaxByteWaitMs = 5000;
constexpr std::uint32_t kMaxPortReleaseWaitSec = 20;

// Loads the link object from a link's parameters: Address := Adr, Baud :=
// Rate, ComPort := COMPort, ReplyTimeoutMs := WaitTime x 1000,
// ByteTimeoutMs := TimeOut, PreambleLen := Preambles, Retries := Repeat,
// plus the link type, whether the port opens around each exchange and how
// long an open keeps trying; the waits held to the ranges above.
void LoadLinkObject(hgcbox& box, const LinkParams& p, std::uint8_t linkType, bool openPerExchange,
                    std::uint32_t openRetrySec);

enum class TcpConnectResult {
    Ok,
    BadAddress,  // the address or port cannot be used (text in *error)
    NoSocket,    // the system gave no socket
    TimedOut,    // no connection within ConnectWaitTime
};

// Connects the link object to an Ethernet subscriber. Every attempt uses a
// fresh socket and a non-blocking connect bounded by the time left of
// `par.ConnectWaitTime` seconds (at least one attempt is made); window
// messages run during each attempt and in the pause between attempts. On
// success waits `settleMs` (messages running), keeps the socket in box.Sock
// and loads the box from the subscriber's address and par.Link (link type
// 2, no COM port). Any failure leaves box.Sock closed.
TcpConnectResult ConnectEthernetLink(hgcbox& box, const EthernetSubscriber& sub, const EthernetConnParams& par,
                                     int settleMs = 1000, std::string* error = nullptr);
