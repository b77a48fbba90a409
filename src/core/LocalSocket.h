// Socket calls of the local HTTP service; one implementation per system.
#pragma once

#include <httplib.h>

#include <string>

namespace orbisk {

// Makes the port exclusive to this socket: a second listener, of this or any other
// process, fails to bind it instead of sharing or taking over its connections. A port
// whose last listener has just closed can be bound again at once.
void configureListenSocket(::socket_t sock);

enum class SocketWait { Ready, TimedOut, Failed };

// Waits at most iTimeoutMs until sock has data (or end of stream) to read, or, with
// isWrite, room to write. Interrupted waits are resumed.
SocketWait waitForSocket(::socket_t sock, bool isWrite, int iTimeoutMs);

// One recv or send call; the number of bytes moved, 0 at end of stream, negative on
// error. Sending never raises a signal when the peer has gone.
ssize_t receiveFromSocket(::socket_t sock, char* pData, size_t size);
ssize_t sendToSocket(::socket_t sock, const char* pData, size_t size);

// The numeric address and port of this end (isPeer false) or of the peer; false when unknown.
bool socketAddress(::socket_t sock, bool isPeer, std::string& sIp, int& iPort);

// Shuts a connection down in both directions and closes the socket.
void closeConnection(::socket_t sock);

} // namespace orbisk
