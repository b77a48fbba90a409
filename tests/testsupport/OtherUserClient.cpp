#include "OtherUserClient.h"

#include "OtherUser.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace orbisk::test {

namespace {
// The first byte the child writes to the parent: whether it connected.
const char kConnected = 'C';
const char kNotConnected = 'N';

void writeAll(int fd, const char* pData, size_t size)
{
    while (size > 0) {
        const ssize_t iWritten = ::write(fd, pData, size);
        if (iWritten < 0 && errno == EINTR)
            continue;
        if (iWritten <= 0)
            return;
        pData += iWritten;
        size -= size_t(iWritten);
    }
}

// Runs in the forked child of a threaded process: system calls only, no allocation.
[[noreturn]] void runChild(int iResult, quint16 iPort, const char* pSent, size_t iSentSize, bool isClosingAtOnce)
{
    if (!becomeNobody())
        ::_exit(2);
    const int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(iPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (sock < 0 || ::connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        writeAll(iResult, &kNotConnected, 1);
        ::_exit(1);
    }
    writeAll(iResult, &kConnected, 1);
    writeAll(sock, pSent, iSentSize);
    if (!isClosingAtOnce) {
        timeval timeout{15, 0};
        ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
        char buffer[4096];
        ssize_t iRead;
        while ((iRead = ::recv(sock, buffer, sizeof(buffer), 0)) > 0 || (iRead < 0 && errno == EINTR)) {
            if (iRead > 0)
                writeAll(iResult, buffer, size_t(iRead));
        }
    }
    ::close(sock);
    ::_exit(0);
}
} // namespace

OtherUserClient::OtherUserClient(quint16 iPort, const QByteArray& sent, bool isClosingAtOnce)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return;
    m_pid = ::fork();
    if (m_pid == 0) {
        ::close(ends[0]);
        runChild(ends[1], iPort, sent.constData(), size_t(sent.size()), isClosingAtOnce);
    }
    ::close(ends[1]);
    if (m_pid < 0) {
        ::close(ends[0]);
        return;
    }
    m_iResultPipe = ends[0];
    char first = 0;
    ssize_t iRead;
    do {
        iRead = ::read(m_iResultPipe, &first, 1);
    } while (iRead < 0 && errno == EINTR);
    m_isConnected = iRead == 1 && first == kConnected;
}

OtherUserClient::~OtherUserClient()
{
    finish();
}

QByteArray OtherUserClient::finish()
{
    QByteArray result;
    if (m_iResultPipe >= 0) {
        char buffer[4096];
        ssize_t iRead;
        while ((iRead = ::read(m_iResultPipe, buffer, sizeof(buffer))) > 0 || (iRead < 0 && errno == EINTR)) {
            if (iRead > 0)
                result.append(buffer, int(iRead));
        }
        ::close(m_iResultPipe);
        m_iResultPipe = -1;
    }
    if (m_pid > 0) {
        int iStatus = 0;
        while (::waitpid(m_pid, &iStatus, 0) < 0 && errno == EINTR) { }
        m_pid = -1;
    }
    return result;
}

} // namespace orbisk::test
