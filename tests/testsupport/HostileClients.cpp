#include "HostileClients.h"

#include <QElapsedTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace orbisk::test {

HostileClients::HostileClients(quint16 iPort, int iIdle, int iTrickling, bool isReconnecting)
    : m_iPort(iPort)
    , m_iIdle(iIdle)
    , m_isReconnecting(isReconnecting)
    , m_sockets(std::size_t(iIdle + iTrickling), -1)
{
    m_thread = std::thread([this] { run(); });
}

HostileClients::~HostileClients()
{
    m_isDone = true;
    m_thread.join();
    for (int sock : m_sockets) {
        if (sock >= 0)
            ::close(sock);
    }
}

void HostileClients::run()
{
    std::vector<bool> isOpened(m_sockets.size(), false);
    QElapsedTimer trickle;
    trickle.start();
    while (!m_isDone) {
        for (std::size_t i = 0; i < m_sockets.size(); ++i) {
            if (m_sockets[i] < 0 && (m_isReconnecting || !isOpened[i])) {
                m_sockets[i] = open(int(i) >= m_iIdle);
                isOpened[i] = isOpened[i] || m_sockets[i] >= 0;
                m_iConnected += m_sockets[i] >= 0;
            }
        }
        std::vector<pollfd> entries;
        for (int sock : m_sockets)
            entries.push_back({sock, POLLIN, 0});
        ::poll(entries.data(), entries.size(), 50);
        const bool isTrickleDue = trickle.elapsed() >= 100;
        for (std::size_t i = 0; i < m_sockets.size(); ++i) {
            if (m_sockets[i] < 0)
                continue;
            char byte;
            if (entries[i].revents != 0 && ::recv(m_sockets[i], &byte, 1, 0) <= 0) {
                ::close(m_sockets[i]);
                m_sockets[i] = -1;
                --m_iConnected;
                ++m_iClosed;
                m_iLastClosedSlot = std::max(m_iLastClosedSlot.load(), int(i));
            } else if (isTrickleDue && int(i) >= m_iIdle) {
                ::send(m_sockets[i], "a", 1, MSG_NOSIGNAL);
            }
        }
        if (isTrickleDue)
            trickle.restart();
    }
}

int HostileClients::open(bool isTrickling) const
{
    const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    if (sock < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(m_iPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(sock);
        return -1;
    }
    const char start[] = "GET /api/status HTTP/1.1\r\nX-Slow: ";
    if (isTrickling)
        ::send(sock, start, sizeof(start) - 1, MSG_NOSIGNAL);
    return sock;
}

} // namespace orbisk::test
