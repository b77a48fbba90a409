#include "ForeignSocketListener.h"

#include "OtherUser.h"

#include <QFile>

#include <algorithm>

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orbisk::test {

namespace {
// How long the listener waits for its connection's bytes before it reports.
const int kServeTimeoutMs = 60000;
} // namespace

ForeignSocketListener::ForeignSocketListener(const QString& path)
{
    if (::geteuid() != 0)
        return;
    const QByteArray encodedPath = QFile::encodeName(path);
    int ready[2];
    int report[2];
    if (::pipe(ready) != 0)
        return;
    if (::pipe(report) != 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return;
    }
    m_child = ::fork();
    if (m_child == 0) {
        ::close(ready[0]);
        ::close(report[0]);
        ::_exit(serve(encodedPath, ready[1], report[1], kServeTimeoutMs));
    }
    ::close(ready[1]);
    ::close(report[1]);
    m_report = report[0];
    char byte = 0;
    // The child closes its end without a byte if it cannot listen.
    m_isListening = m_child > 0 && ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
}

ForeignSocketListener::~ForeignSocketListener()
{
    ::close(m_report);
    if (m_child > 0) {
        ::kill(m_child, SIGKILL);
        ::waitpid(m_child, nullptr, 0);
    }
}

long ForeignSocketListener::receivedBytes(int timeoutMs)
{
    long received = -1;
    pollfd waiting = {m_report, POLLIN, 0};
    if (m_report < 0 || ::poll(&waiting, 1, timeoutMs) != 1
        || ::read(m_report, &received, sizeof received) != sizeof received)
        return -1;
    return received;
}

// The child of a possibly threaded process: only plain system calls from here on.
int ForeignSocketListener::serve(const QByteArray& path, int ready, int report, int timeoutMs)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<int>(sizeof address.sun_path))
        return 2;
    std::copy(path.begin(), path.end(), address.sun_path);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || !becomeNobody()
        || ::listen(listener, 4) != 0 || ::write(ready, "r", 1) != 1)
        return 3;
    const int connection = ::accept(listener, nullptr, nullptr);
    long received = 0;
    char buffer[256];
    ssize_t got = 0;
    pollfd waiting = {connection, POLLIN, 0};
    while (::poll(&waiting, 1, timeoutMs) == 1 && (got = ::read(connection, buffer, sizeof buffer)) > 0)
        received += got;
    return ::write(report, &received, sizeof received) == sizeof received ? 0 : 4;
}

} // namespace orbisk::test
