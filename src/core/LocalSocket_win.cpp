#include "core/LocalSocket.h"
#include "platform/win/ExclusiveSocket.h"

#include <climits>

namespace orbisk {

namespace {
bool setBlocking(::socket_t sock, bool isBlocking)
{
    u_long isNonBlocking = isBlocking ? 0 : 1;
    return ioctlsocket(sock, FIONBIO, &isNonBlocking) == 0;
}
} // namespace

::socket_t openListenSocket(const std::string& sIp, int iPort)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(iPort));
    if (inet_pton(AF_INET, sIp.c_str(), &address.sin_addr) != 1)
        return INVALID_SOCKET;
    const ::socket_t sock = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (sock == INVALID_SOCKET)
        return INVALID_SOCKET;
    if (!platform::win::makeAddressExclusive(sock)
        || bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 || listen(sock, SOMAXCONN) != 0
        || !setBlocking(sock, false)) {
        closesocket(sock);
        return INVALID_SOCKET;
    }
    return sock;
}

::socket_t acceptConnection(::socket_t listener, sockaddr_in& remote)
{
    int length = sizeof(remote);
    const ::socket_t sock = accept(listener, reinterpret_cast<sockaddr*>(&remote), &length);
    // An accepted socket inherits the listener's non-blocking mode.
    if (sock != INVALID_SOCKET && !setBlocking(sock, true)) {
        closesocket(sock);
        return INVALID_SOCKET;
    }
    return sock;
}

// Windows has no pipe that WSAPoll can watch: a UDP socket connected to itself serves.
SocketWaker::SocketWaker()
    : m_readEnd(INVALID_SOCKET)
    , m_writeEnd(INVALID_SOCKET)
{
    const ::socket_t sock = WSASocketW(AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (sock == INVALID_SOCKET)
        return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0
        || getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length) != 0
        || connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0
        || !setBlocking(sock, false)) {
        closesocket(sock);
        return;
    }
    m_readEnd = sock;
    m_writeEnd = sock;
}

SocketWaker::~SocketWaker()
{
    if (isValid())
        closesocket(m_readEnd);
}

void SocketWaker::wake()
{
    const char byte = 1;
    send(m_writeEnd, &byte, 1, 0);
}

void SocketWaker::clear()
{
    char buffer[64];
    while (recv(m_readEnd, buffer, sizeof(buffer), 0) > 0) { }
}

SocketWait waitForSocket(::socket_t sock, bool isWrite, int iTimeoutMs)
{
    WSAPOLLFD entry{sock, short(isWrite ? POLLWRNORM : POLLRDNORM), 0};
    const int iReady = WSAPoll(&entry, 1, iTimeoutMs);
    if (iReady == 0)
        return SocketWait::TimedOut;
    // POLLHUP and POLLERR count as ready: the next call reports the end or the error.
    return iReady > 0 ? SocketWait::Ready : SocketWait::Failed;
}

SocketWait waitForSockets(std::vector<SocketWatch>& watches, int iTimeoutMs)
{
    std::vector<WSAPOLLFD> entries;
    entries.reserve(watches.size());
    for (const SocketWatch& watch : watches)
        entries.push_back({watch.sock, POLLRDNORM, 0});
    const int iReady = WSAPoll(entries.data(), ULONG(entries.size()), iTimeoutMs);
    for (size_t i = 0; i < watches.size(); ++i)
        watches[i].ready = iReady > 0 && entries[i].revents != 0;
    if (iReady == 0)
        return SocketWait::TimedOut;
    return iReady > 0 ? SocketWait::Ready : SocketWait::Failed;
}

ssize_t receiveFromSocket(::socket_t sock, char* pData, size_t size)
{
    return recv(sock, pData, int(size > INT_MAX ? INT_MAX : size), 0);
}

ssize_t sendWithin(::socket_t sock, const char* pData, size_t size, int iTimeoutMs)
{
    // The socket blocks, so it is sent to only once it has room.
    if (waitForSocket(sock, true, iTimeoutMs) != SocketWait::Ready)
        return -1;
    return send(sock, pData, int(size > INT_MAX ? INT_MAX : size), 0);
}

void shutdownConnection(::socket_t sock)
{
    shutdown(sock, SD_BOTH);
}

void closeSocket(::socket_t sock)
{
    closesocket(sock);
}

} // namespace orbisk
