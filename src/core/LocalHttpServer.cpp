#include "core/LocalHttpServer.h"

#include "core/ConnectionStream.h"

#include <algorithm>
#include <climits>

namespace orbisk {

namespace {
// Connections accepted in one round, so reading the others is not put off by a flood.
const int kAcceptsPerRound = 64;
// How long accepting rests after it failed (e.g. out of file descriptors) while a
// connection was waiting, instead of trying again at once without end.
const std::chrono::milliseconds kAcceptPause(100);
const std::size_t kReceiveChunk = 16 * 1024;

int millisecondsUntil(LocalHttpServer::Clock::time_point when)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(when - LocalHttpServer::Clock::now()).count();
    return int(std::clamp<decltype(left)>(left, 0, INT_MAX));
}
} // namespace

LocalHttpServer::LocalHttpServer(std::chrono::milliseconds timeout, int iWorkers)
    : m_timeout(timeout)
    , m_iWorkers(iWorkers)
{ }

LocalHttpServer::~LocalHttpServer()
{
    stop();
}

void LocalHttpServer::setCallerCheck(CallerCheck check)
{
    m_callerCheck = std::move(check);
}

bool LocalHttpServer::start(const std::string& sIp, int iPort)
{
    if (m_acceptor.joinable() || !m_waker.isValid())
        return false;
    m_listener = openListenSocket(sIp, iPort);
    if (m_listener == INVALID_SOCKET)
        return false;
    if (!boundAddress(m_listener, m_local)) {
        closeSocket(m_listener);
        m_listener = INVALID_SOCKET;
        return false;
    }
    m_isStopping = false;
    m_acceptPausedUntil = Clock::time_point();
    m_waker.clear();
    m_acceptor = std::thread([this] { runAcceptor(); });
    for (int i = 0; i < m_iWorkers; ++i)
        m_workers.emplace_back([this] { runWorker(); });
    return true;
}

void LocalHttpServer::stop()
{
    if (!m_acceptor.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_isStopping = true;
        // A worker blocked on one of these wakes at once; it closes the connection itself.
        for (::socket_t sock : m_answering)
            shutdownConnection(sock);
    }
    m_queueChanged.notify_all();
    m_waker.wake();
    m_acceptor.join();
    for (std::thread& worker : m_workers)
        worker.join();
    m_workers.clear();
    // What the acceptor handed over while stopping; no worker takes it any more.
    for (const Connection& connection : m_queue)
        closeSocket(connection.sock);
    m_iHandedOver = 0;
    m_queue.clear();
    closeSocket(m_listener);
    m_listener = INVALID_SOCKET;
}

bool LocalHttpServer::isServing() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_acceptor.joinable() && !m_isStopping;
}

void LocalHttpServer::runAcceptor()
{
    // In the order of their accept, so of their deadlines.
    std::vector<Connection> reading;
    std::vector<SocketWatch> watches;
    for (;;) {
        const bool isAccepting = Clock::now() >= m_acceptPausedUntil;
        watches.clear();
        watches.push_back({m_waker.socket()});
        watches.push_back({isAccepting ? m_listener : m_waker.socket()});
        for (const Connection& connection : reading)
            watches.push_back({connection.sock});
        // Until the next deadline or the end of a rest from accepting; without either, until woken.
        int iWaitMs = -1;
        if (!reading.empty())
            iWaitMs = millisecondsUntil(reading.front().deadline);
        if (!isAccepting) {
            const int iPauseLeftMs = millisecondsUntil(m_acceptPausedUntil);
            iWaitMs = iWaitMs < 0 ? iPauseLeftMs : std::min(iWaitMs, iPauseLeftMs);
        }
        waitForSockets(watches, iWaitMs);

        if (watches[0].ready) {
            m_waker.clear();
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_isStopping)
                break;
        }

        // A connection leaves the reading set when its request is complete, when it ends
        // or fails, or when its deadline has passed.
        const Clock::time_point now = Clock::now();
        std::vector<Connection> stillReading;
        stillReading.reserve(reading.size());
        for (std::size_t i = 0; i < reading.size(); ++i) {
            Connection& connection = reading[i];
            if (watches[i + 2].ready && !receive(connection)) {
                closeSocket(connection.sock);
            } else if (connection.request.state() != RequestBuffer::State::Incomplete) {
                handOver(std::move(connection));
            } else if (connection.deadline <= now) {
                closeSocket(connection.sock);
            } else {
                stillReading.push_back(std::move(connection));
            }
        }
        reading.swap(stillReading);

        if (isAccepting && watches[1].ready)
            acceptWaiting(reading);
    }

    for (const Connection& connection : reading)
        closeSocket(connection.sock);
}

void LocalHttpServer::acceptWaiting(std::vector<Connection>& reading)
{
    for (int i = 0; i < kAcceptsPerRound; ++i) {
        sockaddr_in remote{};
        const ::socket_t sock = acceptConnection(m_listener, remote);
        if (sock == INVALID_SOCKET) {
            if (i == 0)
                m_acceptPausedUntil = Clock::now() + kAcceptPause;
            return;
        }
        if (reading.size() + m_iHandedOver >= kMaxConnections) {
            if (reading.empty()) {
                closeSocket(sock);
                continue;
            }
            closeSocket(reading.front().sock);
            reading.erase(reading.begin());
        }
        reading.push_back({sock, remote, Clock::now() + m_timeout, RequestBuffer(kMaxHeadBytes, payload_max_length_)});
    }
}

bool LocalHttpServer::receive(Connection& connection)
{
    char buffer[kReceiveChunk];
    const ssize_t iRead = receiveFromSocket(connection.sock, buffer, sizeof(buffer));
    if (iRead <= 0)
        return false;
    connection.request.append(buffer, std::size_t(iRead));
    return true;
}

void LocalHttpServer::handOver(Connection&& connection)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_iHandedOver;
        m_queue.push_back(std::move(connection));
    }
    m_queueChanged.notify_one();
}

void LocalHttpServer::runWorker()
{
    for (;;) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_queueChanged.wait(lock, [this] { return m_isStopping || !m_queue.empty(); });
        if (m_isStopping)
            return;
        Connection connection = std::move(m_queue.front());
        m_queue.pop_front();
        m_answering.insert(connection.sock);
        lock.unlock();

        answer(connection);

        lock.lock();
        m_answering.erase(connection.sock);
        lock.unlock();
        closeSocket(connection.sock);
        --m_iHandedOver;
    }
}

void LocalHttpServer::answer(Connection& connection)
{
    ConnectionStream stream(
        connection.sock, m_local, connection.remote, connection.deadline, m_timeout, connection.request.request());
    const std::string sRefusal = m_callerCheck ? m_callerCheck(m_local, connection.remote) : std::string();
    if (!sRefusal.empty()) {
        stream.write(sRefusal.data(), sRefusal.size());
    } else {
        bool isConnectionClosed = false;
        process_request(stream, true, isConnectionClosed,
            [&stream](httplib::Request& req) { stream.get_remote_ip_and_port(req.remote_addr, req.remote_port); });
    }
    stream.flush();
}

} // namespace orbisk
