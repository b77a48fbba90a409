#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace orbisk::test {

// A process of another user (nobody) listening on a local socket under path, as
// someone else's program holding a channel's name would. It binds the name as root
// and drops to nobody before it listens: a client sees the listener's user as of that
// moment. It accepts one connection and counts the bytes that arrive on it until the
// client goes away. Needs root; isListening() is false otherwise.
class ForeignSocketListener
{
public:
    explicit ForeignSocketListener(const QString& path);
    ~ForeignSocketListener();
    ForeignSocketListener(const ForeignSocketListener&) = delete;
    ForeignSocketListener& operator=(const ForeignSocketListener&) = delete;

    bool isListening() const { return m_isListening; }

    // Bytes the connection carried, once it ended; -1 if no connection came and ended
    // within timeoutMs.
    long receivedBytes(int timeoutMs);

private:
    static int serve(const QByteArray& path, int ready, int report, int timeoutMs);

    pid_t m_child = -1;
    int m_report = -1;
    bool m_isListening = false;
};

} // namespace orbisk::test
