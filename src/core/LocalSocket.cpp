// The socket calls that read the same on every system.
#include "core/LocalSocket.h"

namespace orbisk {

bool boundAddress(::socket_t sock, sockaddr_in& address)
{
    socklen_t length = sizeof(address);
    return getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length) == 0 && length == sizeof(address)
        && address.sin_family == AF_INET;
}

void describeAddress(const sockaddr_in& address, std::string& sIp, int& iPort)
{
    char text[INET_ADDRSTRLEN] = {};
    sIp = inet_ntop(AF_INET, &address.sin_addr, text, sizeof(text)) ? text : "";
    iPort = ntohs(address.sin_port);
}

bool SocketWaker::isValid() const
{
    return m_readEnd != INVALID_SOCKET && m_writeEnd != INVALID_SOCKET;
}

::socket_t SocketWaker::socket() const
{
    return m_readEnd;
}

} // namespace orbisk
