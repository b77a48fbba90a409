#include "core/LocalSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orbisk {

::socket_t openListenSocket(const std::string& sIp, int iPort)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(iPort));
    if (inet_pton(AF_INET, sIp.c_str(), &address.sin_addr) != 1)
        return INVALID_SOCKET;
    const ::socket_t sock = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (sock == INVALID_SOCKET)
        return INVALID_SOCKET;
    // SO_REUSEADDR only allows binding over connections left in TIME_WAIT; unlike
    // SO_REUSEPORT it never lets two sockets listen on one port.
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    if (bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 || listen(sock, SOMAXCONN) != 0) {
        close(sock);
        return INVALID_SOCKET;
    }
    return sock;
}

::socket_t acceptConnection(::socket_t listener, sockaddr_in& remote)
{
    ::socket_t sock;
    do {
        socklen_t length = sizeof(remote);
        sock = accept4(listener, reinterpret_cast<sockaddr*>(&remote), &length, SOCK_CLOEXEC);
    } while (sock == INVALID_SOCKET && errno == EINTR);
    return sock;
}

SocketWaker::SocketWaker()
    : m_readEnd(INVALID_SOCKET)
    , m_writeEnd(INVALID_SOCKET)
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_readEnd = ends[0];
        m_writeEnd = ends[1];
    }
}

SocketWaker::~SocketWaker()
{
    if (isValid()) {
        close(m_readEnd);
        close(m_writeEnd);
    }
}

void SocketWaker::wake()
{
    const char byte = 1;
    // A full pipe already wakes the waiting thread.
    [[maybe_unused]] const ssize_t iWritten = write(m_writeEnd, &byte, 1);
}

void SocketWaker::clear()
{
    char buffer[64];
    while (read(m_readEnd, buffer, sizeof(buffer)) > 0) { }
}

SocketWait waitForSocket(::socket_t sock, bool isWrite, int iTimeoutMs)
{
    pollfd entry{sock, short(isWrite ? POLLOUT : POLLIN), 0};
    int iReady;
    do {
        iReady = poll(&entry, 1, iTimeoutMs);
    } while (iReady < 0 && errno == EINTR);
    if (iReady == 0)
        return SocketWait::TimedOut;
    // POLLHUP and POLLERR count as ready: the next call reports the end or the error.
    return iReady > 0 ? SocketWait::Ready : SocketWait::Failed;
}

SocketWait waitForSockets(std::vector<SocketWatch>& watches, int iTimeoutMs)
{
    std::vector<pollfd> entries;
    entries.reserve(watches.size());
    for (const SocketWatch& watch : watches)
        entries.push_back({watch.sock, POLLIN, 0});
    int iReady;
    do {
        iReady = poll(entries.data(), entries.size(), iTimeoutMs);
    } while (iReady < 0 && errno == EINTR);
    for (size_t i = 0; i < watches.size(); ++i)
        watches[i].ready = iReady > 0 && entries[i].revents != 0;
    if (iReady == 0)
        return SocketWait::TimedOut;
    return iReady > 0 ? SocketWait::Ready : SocketWait::Failed;
}

ssize_t receiveFromSocket(::socket_t sock, char* pData, size_t size)
{
    ssize_t iRead;
    do {
        iRead = recv(sock, pData, size, 0);
    } while (iRead < 0 && errno == EINTR);
    return iRead;
}

ssize_t sendWithin(::socket_t sock, const char* pData, size_t size, int iTimeoutMs)
{
    // Sending first and waiting only when the buffer is full saves a wait per answer: an
    // answer of the service nearly always fits at once. Never blocking in send keeps a
    // slow reader from holding the sender longer than the wait.
    bool isWaited = false;
    for (;;) {
        const ssize_t iSent = send(sock, pData, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (iSent >= 0)
            return iSent;
        if (errno == EINTR)
            continue;
        if ((errno != EAGAIN && errno != EWOULDBLOCK) || isWaited
            || waitForSocket(sock, true, iTimeoutMs) != SocketWait::Ready)
            return -1;
        isWaited = true;
    }
}

void shutdownConnection(::socket_t sock)
{
    shutdown(sock, SHUT_RDWR);
}

void closeSocket(::socket_t sock)
{
    close(sock);
}

} // namespace orbisk
