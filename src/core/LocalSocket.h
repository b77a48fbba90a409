// Socket calls of the local HTTP service; one implementation per system.
#pragma once

#include <httplib.h>

#include <string>
#include <vector>

namespace orbisk {

// A listening TCP socket on the IPv4 address sIp (numeric) and iPort, with the system's
// largest backlog (SOMAXCONN), so a burst of clients waits in the kernel's queue instead
// of being dropped. The port is exclusive to this socket: a second listener, of this or
// any other process, fails to bind it instead of sharing or taking over its connections;
// a port whose last listener has just closed can be bound again at once. The socket does
// not block in accept and is not inherited by child processes. INVALID_SOCKET on failure.
::socket_t openListenSocket(const std::string& sIp, int iPort);

// The next connection waiting on a listening IPv4 socket, in blocking mode and not
// inherited by child processes, and the address of its other end; INVALID_SOCKET when none
// waits or accepting failed.
::socket_t acceptConnection(::socket_t listener, sockaddr_in& remote);

// The IPv4 address and port a socket is bound to; false when unknown or not IPv4.
bool boundAddress(::socket_t sock, sockaddr_in& address);

// The numeric address and port of an IPv4 socket address.
void describeAddress(const sockaddr_in& address, std::string& sIp, int& iPort);

// A socket that other threads can make readable, to wake a thread waiting in waitForSockets.
// wake() may be called from any thread; clear() empties it again.
class SocketWaker
{
public:
    SocketWaker();
    ~SocketWaker();
    SocketWaker(const SocketWaker&) = delete;
    SocketWaker& operator=(const SocketWaker&) = delete;

    bool isValid() const;
    ::socket_t socket() const; // the end to wait on
    void wake();
    void clear();

private:
    ::socket_t m_readEnd; // watched by the waiting thread
    ::socket_t m_writeEnd; // written by wake(); the same socket where one does both
};

enum class SocketWait { Ready, TimedOut, Failed };

// One socket of a wait for several; ready is set when it has data (or end of stream) to read.
struct SocketWatch
{
    ::socket_t sock;
    bool ready = false;
};

// Waits at most iTimeoutMs (negative: without limit) until one of the sockets has data
// (or end of stream, or an error) to read; marks those that do. Interrupted waits are resumed.
SocketWait waitForSockets(std::vector<SocketWatch>& watches, int iTimeoutMs);

// Waits at most iTimeoutMs until sock has data (or end of stream) to read, or, with
// isWrite, room to write. Interrupted waits are resumed.
SocketWait waitForSocket(::socket_t sock, bool isWrite, int iTimeoutMs);

// One recv call; the number of bytes read, 0 at end of stream, negative on error.
ssize_t receiveFromSocket(::socket_t sock, char* pData, size_t size);

// Sends what fits into the socket's buffer, waiting at most iTimeoutMs for room when none
// is left; the number of bytes sent, negative on error or when the time has passed. Never
// raises a signal when the peer has gone. On Windows, where a blocking socket has no
// per-call non-blocking send, it waits for room first and then sends in blocking mode.
ssize_t sendWithin(::socket_t sock, const char* pData, size_t size, int iTimeoutMs);

// Shuts a connection down in both directions without closing it: a thread waiting on it
// wakes, and its reads and writes fail from now on.
void shutdownConnection(::socket_t sock);

// Closes a socket; a connection's end of stream goes out after what was sent.
void closeSocket(::socket_t sock);

} // namespace orbisk
