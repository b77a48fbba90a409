#include "core/ConnectionStream.h"

#include "core/LocalSocket.h"

#include <algorithm>
#include <climits>

namespace orbisk {

ConnectionStream::ConnectionStream(::socket_t sock, const sockaddr_in& local, const sockaddr_in& remote,
    Clock::time_point readDeadline, std::chrono::milliseconds writeTimeout, std::string received)
    : m_socket(sock)
    , m_local(local)
    , m_remote(remote)
    , m_readDeadline(readDeadline)
    , m_iWriteTimeoutMs(int(writeTimeout.count()))
    , m_received(std::move(received))
{ }

int ConnectionStream::readTimeLeftMs() const
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_readDeadline - Clock::now()).count();
    return int(std::clamp<decltype(left)>(left, 0, INT_MAX));
}

bool ConnectionStream::is_readable() const
{
    if (m_iReceivedRead < m_received.size())
        return true;
    const int iLeftMs = readTimeLeftMs();
    return iLeftMs > 0 && waitForSocket(m_socket, false, iLeftMs) == SocketWait::Ready;
}

bool ConnectionStream::is_writable() const
{
    return waitForSocket(m_socket, true, m_iWriteTimeoutMs) == SocketWait::Ready;
}

ssize_t ConnectionStream::read(char* pData, size_t size)
{
    if (m_iReceivedRead < m_received.size()) {
        const size_t count = std::min(size, m_received.size() - m_iReceivedRead);
        m_received.copy(pData, count, m_iReceivedRead);
        m_iReceivedRead += count;
        return ssize_t(count);
    }
    return is_readable() ? receiveFromSocket(m_socket, pData, size) : -1;
}

ssize_t ConnectionStream::write(const char* pData, size_t size)
{
    if (m_isFailed)
        return -1;
    m_pending.append(pData, size);
    if (m_pending.size() >= kSendChunk && !flush())
        return -1;
    return ssize_t(size);
}

bool ConnectionStream::flush()
{
    for (std::size_t iSent = 0; !m_isFailed && iSent < m_pending.size();) {
        const ssize_t iWritten
            = sendWithin(m_socket, m_pending.data() + iSent, m_pending.size() - iSent, m_iWriteTimeoutMs);
        if (iWritten <= 0)
            m_isFailed = true;
        else
            iSent += std::size_t(iWritten);
    }
    m_pending.clear();
    return !m_isFailed;
}

void ConnectionStream::get_remote_ip_and_port(std::string& sIp, int& iPort) const
{
    describeAddress(m_remote, sIp, iPort);
}

void ConnectionStream::get_local_ip_and_port(std::string& sIp, int& iPort) const
{
    describeAddress(m_local, sIp, iPort);
}

::socket_t ConnectionStream::socket() const
{
    return m_socket;
}

} // namespace orbisk
