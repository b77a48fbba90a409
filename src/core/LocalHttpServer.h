#pragma once

#include "core/LocalSocket.h"
#include "core/RequestBuffer.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace orbisk {

// httplib's request handling behind a connection handling of our own, built so that
// clients that connect and send slowly or not at all cannot starve the others or hold up
// a stop:
// - one thread accepts connections and reads every request into memory; a connection goes
//   to one of the worker threads only once its request is complete (see RequestBuffer);
// - each connection has a deadline counted from its accept: one that has not delivered its
//   whole request by then is closed unanswered;
// - at most kMaxConnections connections are open at once; beyond that the oldest one still
//   sending its request is closed to make room;
// - the listening socket has the system's largest backlog;
// - stop() closes every connection at once, open or waiting, and returns promptly.
// One request per connection; every answer closes it. A caller check, when set, runs on the
// worker that took the connection, so a slow check holds up no other connection.
class LocalHttpServer : public httplib::Server
{
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::size_t kMaxConnections = 512;
    static constexpr std::size_t kMaxHeadBytes = 64 * 1024;

    // timeout: how long a connection may take, from its accept, to send its whole request,
    // and how long each write of the answer may wait. iWorkers: the threads that answer.
    LocalHttpServer(std::chrono::milliseconds timeout, int iWorkers);
    ~LocalHttpServer() override;

    // Decides whether the process at the other end of a connection may be answered, given
    // the addresses of the service's end and of the other end: an empty string lets httplib
    // answer its request, anything else is sent instead as the whole answer, unread by
    // httplib. Called on a worker thread for every complete request; set before the start.
    using CallerCheck = std::function<std::string(const sockaddr_in& local, const sockaddr_in& remote)>;
    void setCallerCheck(CallerCheck check);

    // Listens on sIp (numeric IPv4) and iPort and starts the threads; false when the port
    // cannot be bound. Requests are answered by httplib's routing and handlers as set up
    // on this object before the start.
    bool start(const std::string& sIp, int iPort);

    // Closes the listening socket and every connection and joins the threads. Harmless when
    // not running; a later start may follow.
    void stop();

    bool isServing() const;

private:
    struct Connection
    {
        ::socket_t sock;
        sockaddr_in remote;
        Clock::time_point deadline;
        RequestBuffer request;
    };

    void runAcceptor();
    void runWorker();
    void acceptWaiting(std::vector<Connection>& reading);
    bool receive(Connection& connection);
    void handOver(Connection&& connection);
    void answer(Connection& connection);

    const std::chrono::milliseconds m_timeout;
    const int m_iWorkers;
    CallerCheck m_callerCheck;
    SocketWaker m_waker;
    ::socket_t m_listener = INVALID_SOCKET;
    sockaddr_in m_local{}; // the listener's address, the service's end of every connection
    Clock::time_point m_acceptPausedUntil;
    std::thread m_acceptor;
    std::vector<std::thread> m_workers;

    mutable std::mutex m_mutex;
    std::condition_variable m_queueChanged;
    bool m_isStopping = false; // guarded by m_mutex
    std::deque<Connection> m_queue; // complete requests waiting for a worker; guarded by m_mutex
    std::set<::socket_t> m_answering; // connections a worker holds; guarded by m_mutex
    std::atomic<std::size_t> m_iHandedOver{0}; // connections queued or being answered
};

} // namespace orbisk
