#include "core/LocalSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orbisk {

// SO_REUSEADDR only allows binding over connections left in TIME_WAIT; unlike
// httplib's default SO_REUSEPORT it never lets two sockets listen on one port.
void configureListenSocket(::socket_t sock)
{
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
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

ssize_t receiveFromSocket(::socket_t sock, char* pData, size_t size)
{
    ssize_t iRead;
    do {
        iRead = recv(sock, pData, size, 0);
    } while (iRead < 0 && errno == EINTR);
    return iRead;
}

ssize_t sendToSocket(::socket_t sock, const char* pData, size_t size)
{
    ssize_t iSent;
    do {
        iSent = send(sock, pData, size, MSG_NOSIGNAL);
    } while (iSent < 0 && errno == EINTR);
    return iSent;
}

void closeConnection(::socket_t sock)
{
    shutdown(sock, SHUT_RDWR);
    close(sock);
}

} // namespace orbisk
