#include "platform/terminationwatcher.h"

#include <QDebug>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orbisk::platform {

namespace {

// The handler may only do async-signal-safe work: it writes one byte into a socket
// pair whose other end a QSocketNotifier reads on the GUI thread.
int g_signalSockets[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    const ssize_t written = ::write(g_signalSockets[0], &byte, sizeof(byte));
    (void)written;
}

bool installHandler(int signalNumber)
{
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(signalNumber, &action, nullptr) == 0;
}

} // namespace

TerminationWatcher::TerminationWatcher(QObject* parent)
    : QObject(parent)
{
    if (g_signalSockets[0] != -1) {
        qDebug() << "TerminationWatcher: only one watcher per process";
        return;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalSockets) != 0) {
        qDebug() << "TerminationWatcher: socketpair failed";
        return;
    }
    m_ownsHandlers = true;
    // A burst of signals must never block the handler.
    ::fcntl(g_signalSockets[0], F_SETFL, ::fcntl(g_signalSockets[0], F_GETFL) | O_NONBLOCK);

    auto* notifier = new QSocketNotifier(g_signalSockets[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this]() {
        char buffer[16];
        const ssize_t count = ::read(g_signalSockets[1], buffer, sizeof(buffer));
        if (count > 0)
            emit terminationRequested();
    });
    m_isActive = installHandler(SIGTERM) && installHandler(SIGINT);
}

TerminationWatcher::~TerminationWatcher()
{
    if (!m_ownsHandlers)
        return;
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    ::close(g_signalSockets[0]);
    ::close(g_signalSockets[1]);
    g_signalSockets[0] = g_signalSockets[1] = -1;
}

bool TerminationWatcher::isActive() const
{
    return m_isActive;
}

} // namespace orbisk::platform
