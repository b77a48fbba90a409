#pragma once

#include <QtGlobal>

#include <atomic>
#include <thread>
#include <vector>

namespace orbisk::test {

// Clients that connect to a local port and never finish a request: the idle ones send
// nothing, the trickling ones start a request and add a byte to it every 100 ms. They run
// on a thread of their own; with isReconnecting, a connection the service closes is opened
// again at once, in the same slot. Slots are connected in order, idle ones first.
class HostileClients
{
public:
    HostileClients(quint16 iPort, int iIdle, int iTrickling, bool isReconnecting = true);
    ~HostileClients();
    HostileClients(const HostileClients&) = delete;
    HostileClients& operator=(const HostileClients&) = delete;

    int connected() const { return m_iConnected; }
    int closedByService() const { return m_iClosed; }
    int lastClosedSlot() const { return m_iLastClosedSlot; }

private:
    void run();
    int open(bool isTrickling) const;

    const quint16 m_iPort;
    const int m_iIdle;
    const bool m_isReconnecting;
    std::vector<int> m_sockets;
    std::atomic<bool> m_isDone{false};
    std::atomic<int> m_iConnected{0};
    std::atomic<int> m_iClosed{0};
    std::atomic<int> m_iLastClosedSlot{-1};
    std::thread m_thread;
};

} // namespace orbisk::test
