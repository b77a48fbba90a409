// Benchmark of the local HTTP service (not a test: it prints a table).
//
// 1. Load: 2,000 GET /api/status over 50 concurrent connections, one request per
//    connection as browsers and the client's protocol have it; latency from connect to
//    the end of the answer.
// 2. Hostile clients: requests while 200 idle and 50 trickling connections are held open
//    (and reopened whenever the service closes them).
// 3. Stop: how long stopping takes with 100 idle connections open.
#include "core/ValtroCore.h"
#include "core/ValtroHttpd.h"
#include "core/ValtroPortal.h"

#include "HostileClients.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTcpServer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

const int kRequests = 2000;
const int kConcurrent = 50;
const double kP99TargetMs = 5.0;
const double kHostileTargetMs = 1500.0;
const double kStopTargetMs = 1000.0;

// One GET over a new connection; the milliseconds until the service closed it, or -1
// when it failed or did not answer 200.
double timedGet(quint16 iPort)
{
    QElapsedTimer timer;
    timer.start();
    const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval timeout{5, 0};
    ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(iPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (::connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
        const std::string request = "GET /api/status HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(iPort) + "\r\n\r\n";
        ::send(sock, request.data(), request.size(), MSG_NOSIGNAL);
        char buffer[4096];
        ssize_t iRead;
        while ((iRead = ::recv(sock, buffer, sizeof(buffer), 0)) > 0)
            answer.append(buffer, std::size_t(iRead));
        if (iRead < 0)
            answer.clear();
    }
    ::close(sock);
    const double ms = timer.nsecsElapsed() / 1e6;
    return answer.rfind("HTTP/1.1 200 ", 0) == 0 ? ms : -1;
}

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t index = std::min(values.size() - 1, std::size_t(fraction * double(values.size())));
    return values[index];
}

const char* verdict(bool isMet)
{
    return isMet ? "met" : "MISSED";
}

// One load connection: its socket, what came back and when it was opened.
struct LoadConnection
{
    int sock = -1;
    std::string answer;
    QElapsedTimer opened;
};

// Connects and sends the request, then registers the connection for its answer. A
// connect over loopback completes within the call, and the request fits the socket's
// buffer, so neither waits.
bool openLoadConnection(int iEpoll, quint16 iPort, const std::string& request, LoadConnection& connection)
{
    connection.opened.start();
    connection.answer.clear();
    connection.sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(iPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.ptr = &connection;
    if (::connect(connection.sock, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0
        && ::send(connection.sock, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size())
        && ::epoll_ctl(iEpoll, EPOLL_CTL_ADD, connection.sock, &event) == 0)
        return true;
    ::close(connection.sock);
    return false;
}

// Reads what has come; false once the connection has ended (answered or failed).
bool receiveLoadAnswer(LoadConnection& connection)
{
    char buffer[4096];
    for (;;) {
        const ssize_t iRead = ::recv(connection.sock, buffer, sizeof(buffer), MSG_DONTWAIT);
        if (iRead > 0) {
            connection.answer.append(buffer, std::size_t(iRead));
            continue;
        }
        if (iRead < 0 && errno == EAGAIN)
            return true;
        if (iRead < 0)
            connection.answer.clear();
        return false;
    }
}

// The load comes from one thread that keeps kConcurrent connections in flight and waits
// for their answers together, as load generators do: a thread per connection would put
// 50 threads on this machine's two cores and measure their scheduling, not the service.
void benchLoad(quint16 iPort)
{
    const std::string request = "GET /api/status HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(iPort) + "\r\n\r\n";
    const int iEpoll = ::epoll_create1(EPOLL_CLOEXEC);
    std::vector<LoadConnection> connections(kConcurrent);
    std::vector<double> latencies;
    latencies.reserve(kRequests);
    int iStarted = 0;
    int iErrors = 0;
    int iOpen = 0;
    QElapsedTimer wall;
    wall.start();
    for (LoadConnection& connection : connections) {
        ++iStarted;
        if (openLoadConnection(iEpoll, iPort, request, connection))
            ++iOpen;
        else
            ++iErrors;
    }
    epoll_event events[kConcurrent];
    std::vector<LoadConnection*> ended;
    while (iOpen > 0) {
        const int iReady = ::epoll_wait(iEpoll, events, kConcurrent, 5000);
        if (iReady <= 0) {
            iErrors += iOpen;
            break;
        }
        // Every answer that has come is read and timed before any new connection is
        // opened: connecting takes as long as reading, so opening between the reads
        // would count the generator's own work into the latencies of the answers after.
        ended.clear();
        for (int i = 0; i < iReady; ++i) {
            auto& connection = *static_cast<LoadConnection*>(events[i].data.ptr);
            if (receiveLoadAnswer(connection))
                continue;
            const double ms = connection.opened.nsecsElapsed() / 1e6;
            if (connection.answer.rfind("HTTP/1.1 200 ", 0) == 0)
                latencies.push_back(ms);
            else
                ++iErrors;
            ended.push_back(&connection);
        }
        for (LoadConnection* pConnection : ended) {
            ::close(pConnection->sock);
            --iOpen;
            if (iStarted < kRequests) {
                ++iStarted;
                if (openLoadConnection(iEpoll, iPort, request, *pConnection))
                    ++iOpen;
                else
                    ++iErrors;
            }
        }
    }
    ::close(iEpoll);
    const double seconds = wall.nsecsElapsed() / 1e9;

    const double p50 = percentile(latencies, 0.50);
    const double p99 = percentile(latencies, 0.99);
    std::printf("Load: %d GET /api/status over %d concurrent connections\n", kRequests, kConcurrent);
    std::printf("  p50 %.2f ms   p99 %.2f ms   max %.2f ms   errors %d   %.0f requests/s\n", p50, p99,
        percentile(latencies, 1.0), iErrors, double(latencies.size()) / seconds);
    std::printf(
        "  target: p99 <= %.0f ms, no errors   %s\n", kP99TargetMs, verdict(p99 <= kP99TargetMs && iErrors == 0));
}

void benchHostile(quint16 iPort)
{
    orbisk::test::HostileClients hostile(iPort, 200, 50);
    QElapsedTimer waiting;
    waiting.start();
    while (hostile.connected() < 250 && waiting.elapsed() < 20000)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    // Over three seconds, so the hostile connections pass their deadline and come back.
    std::vector<double> latencies;
    int iErrors = 0;
    QElapsedTimer during;
    during.start();
    while (during.elapsed() < 3000) {
        const double ms = timedGet(iPort);
        if (ms < 0)
            ++iErrors;
        else
            latencies.push_back(ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const double worst = percentile(latencies, 1.0);
    std::printf("Requests beside 200 idle and 50 trickling connections (%zu requests, %d reopened)\n", latencies.size(),
        hostile.closedByService());
    std::printf("  median %.2f ms   max %.2f ms   errors %d\n", percentile(latencies, 0.5), worst, iErrors);
    std::printf("  target: every answer within %.0f ms   %s\n", kHostileTargetMs,
        verdict(worst <= kHostileTargetMs && iErrors == 0));
}

void benchStop(ValtroHttpd& httpd)
{
    orbisk::test::HostileClients idle(httpd.port(), 100, 0, false);
    QElapsedTimer waiting;
    waiting.start();
    while (idle.connected() < 100 && waiting.elapsed() < 20000)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    QElapsedTimer stopping;
    stopping.start();
    httpd.StopHttpdServer();
    const double ms = stopping.nsecsElapsed() / 1e6;
    std::printf("Stop with 100 idle connections open\n");
    std::printf("  %.2f ms   target: <= %.0f ms   %s\n", ms, kStopTargetMs, verdict(ms <= kStopTargetMs));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    // No server list of the user's is read or written.
    QStandardPaths::setTestModeEnabled(true);

    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return 1;
    const quint16 iPort = probe.serverPort();
    probe.close();

    ValtroCore core(QStringLiteral("E3A95C07B1D84F62A0C7395E1B6D8F24"), 1, nullptr);
    ValtroPortal portal(&core, nullptr);
    ValtroHttpd httpd(&core, &portal);
    httpd.setPort(iPort);
    if (httpd.StartHttpdServer(1000) != ValtroHttpd::StartListening) {
        std::fprintf(stderr, "the local service did not start on port %u\n", iPort);
        return 1;
    }
    benchLoad(iPort);
    // "load" runs the load alone, e.g. under a profiler.
    if (application.arguments().value(1) == QLatin1String("load"))
        return 0;
    benchHostile(iPort);
    benchStop(httpd);
    return 0;
}
