// The socket calls that read the same on every system.
#include "core/LocalSocket.h"

namespace orbisk {

bool socketAddress(::socket_t sock, bool isPeer, std::string& sIp, int& iPort)
{
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    auto* pAddress = reinterpret_cast<sockaddr*>(&address);
    if ((isPeer ? getpeername(sock, pAddress, &length) : getsockname(sock, pAddress, &length)) != 0)
        return false;
    const void* pHost = nullptr;
    if (address.ss_family == AF_INET) {
        const auto* pV4 = reinterpret_cast<const sockaddr_in*>(&address);
        iPort = ntohs(pV4->sin_port);
        pHost = &pV4->sin_addr;
    } else if (address.ss_family == AF_INET6) {
        const auto* pV6 = reinterpret_cast<const sockaddr_in6*>(&address);
        iPort = ntohs(pV6->sin6_port);
        pHost = &pV6->sin6_addr;
    } else {
        return false;
    }
    char text[INET6_ADDRSTRLEN] = {};
    if (!inet_ntop(address.ss_family, pHost, text, sizeof(text)))
        return false;
    sIp = text;
    return true;
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
