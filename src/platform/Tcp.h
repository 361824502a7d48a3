// TCP on POSIX sockets: address set-up, a connect with a bounded time-out,
// send, bytes-available query, receive and close.
//
// Sockets are file descriptors; kNoSocket (-1) means none. Sockets made
// here are non-blocking: every wait goes through a poll in short slices
// that lets window messages run.
#pragma once
#include <netinet/in.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

constexpr int kNoSocket = -1;

// Start-up of the socket library. Nothing to start on this system; kept for
// the callers' sequence. Always true.
bool InitWinsock();

// inet_addr of the text (decimal, octal or hexadecimal parts, 1 to 4 of
// them). The all-ones result counts only for the literal
// "255.255.255.255". The address is stored in network byte order.
bool ParseIpAddress(const char* text, uint32_t& address);

// Fills an IPv4 socket address: family AF_INET; a null or empty host means
// any address; a host that ParseIpAddress accepts is taken as it is, any
// other is looked up (getaddrinfo, first IPv4 address). The port text is a
// number when it is numeric as a whole (base 0: decimal, 0x hexadecimal,
// leading-0 octal), otherwise a service name for `protocol` ("TCP").
// On failure `error` (when given) gets "невідомий хост: %s" or
// "невідомий сервіс: %s" and the result is false.
bool SetTcpAddress(const char* host, const char* port, sockaddr_in& address, const char* protocol,
                   std::string* error = nullptr);

// A new non-blocking TCP stream socket, or kNoSocket.
int TcpSocket();

// Starts a connect: 0 connected at once, EINPROGRESS under way, else errno.
int TcpConnectStart(int sock, const sockaddr_in& address);
// Polls a started connect for at most waitMs: 1 connected, 0 still under
// way, -1 failed (errno set).
int TcpConnectPoll(int sock, int waitMs);
// Connects within timeoutMs, letting window messages run every slice.
// 0 connected, else the error (ETIMEDOUT when the time passed).
int TcpConnect(int sock, const sockaddr_in& address, int timeoutMs);

// Sends all bytes (MSG_NOSIGNAL: a closed peer is an error, not a signal),
// waiting at most timeoutMs while the socket's buffer is full. The number
// of bytes sent, -1 on an error before any byte went.
ssize_t TcpSend(int sock, const void* data, std::size_t size, int timeoutMs = 2000);

// Bytes waiting to be read (FIONREAD), -1 on error.
int TcpBytesAvailable(int sock);

// Non-blocking receive: bytes read, 0 when none wait, -1 on error, -2 when
// the peer has closed the connection.
ssize_t TcpRecv(int sock, void* buf, std::size_t size);

// Waits at most `ns` nanoseconds for input (or the peer's close):
// 1 readable, 0 time passed, -1 error.
int TcpWaitReadable(int sock, int64_t ns);

void TcpClose(int sock);

// "a.b.c.d" of an address in network byte order.
std::string IpToText(uint32_t address);

}  // namespace platform
