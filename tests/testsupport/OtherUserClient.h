#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <sys/types.h>

namespace orbisk::test {

// A client of a loopback port that runs as another user of this computer: a child process
// that takes the user and group nobody (65534) before it connects, sends its bytes, and
// then either reads until the other end closes or, with isClosingAtOnce, closes at once and
// ends. Taking another user needs root.
class OtherUserClient
{
public:
    OtherUserClient(quint16 iPort, const QByteArray& sent, bool isClosingAtOnce);
    ~OtherUserClient(); // waits for the child
    OtherUserClient(const OtherUserClient&) = delete;
    OtherUserClient& operator=(const OtherUserClient&) = delete;

    // Waits for the child to end and returns what it read: for an HTTP request, the whole
    // answer. Empty when it read nothing or could not connect; isConnected tells which.
    QByteArray finish();
    bool isConnected() const { return m_isConnected; }

private:
    pid_t m_pid = -1;
    int m_iResultPipe = -1;
    bool m_isConnected = false;
};

} // namespace orbisk::test
