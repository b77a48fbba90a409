#include "core/LocalSocket.h"
#include "platform/win/ExclusiveSocket.h"

#include <climits>

namespace orbisk {

// On Windows SO_REUSEADDR would let another socket take the port over; SO_EXCLUSIVEADDRUSE
// forbids any other bind to it while this socket is open.
void configureListenSocket(::socket_t sock)
{
    platform::win::makeAddressExclusive(sock);
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

ssize_t receiveFromSocket(::socket_t sock, char* pData, size_t size)
{
    return recv(sock, pData, int(size > INT_MAX ? INT_MAX : size), 0);
}

ssize_t sendToSocket(::socket_t sock, const char* pData, size_t size)
{
    return send(sock, pData, int(size > INT_MAX ? INT_MAX : size), 0);
}

void closeConnection(::socket_t sock)
{
    shutdown(sock, SD_BOTH);
    closesocket(sock);
}

} // namespace orbisk
