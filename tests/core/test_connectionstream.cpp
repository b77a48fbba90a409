// Sending an answer over an accepted connection: all of it reaches a reader, and a reader
// that takes nothing cannot hold the sender beyond the write timeout.
#include "core/ConnectionStream.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QtTest>

#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using orbisk::ConnectionStream;

namespace {
const std::chrono::milliseconds kWriteTimeout(300);

// A connected pair over loopback: the accepted end and the client's end.
struct Connection
{
    int accepted = -1;
    int client = -1;
    sockaddr_in local{};
    sockaddr_in remote{};

    ~Connection()
    {
        for (int sock : {accepted, client}) {
            if (sock >= 0)
                ::close(sock);
        }
    }
};

bool connectPair(QTcpServer& server, Connection& connection)
{
    connection.client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(server.serverPort());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(connection.client, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0
        || !server.waitForNewConnection(10000))
        return false;
    QTcpSocket* pSocket = server.nextPendingConnection();
    connection.accepted = ::dup(int(pSocket->socketDescriptor()));
    delete pSocket;
    // Blocking, as the service accepts its connections.
    ::fcntl(connection.accepted, F_SETFL, ::fcntl(connection.accepted, F_GETFL) & ~O_NONBLOCK);
    socklen_t length = sizeof(connection.local);
    ::getsockname(connection.accepted, reinterpret_cast<sockaddr*>(&connection.local), &length);
    length = sizeof(connection.remote);
    ::getpeername(connection.accepted, reinterpret_cast<sockaddr*>(&connection.remote), &length);
    return connection.accepted >= 0;
}

// Everything the client's end receives until the other end closes.
QByteArray readToEnd(int sock)
{
    QByteArray received;
    char buffer[64 * 1024];
    ssize_t iRead;
    while ((iRead = ::recv(sock, buffer, sizeof(buffer), 0)) > 0)
        received.append(buffer, int(iRead));
    return received;
}
} // namespace

class TestConnectionStream : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_server.listen(QHostAddress::LocalHost)); }

    // The answer arrives whole and in order, written in small and large pieces alike.
    void everythingWrittenArrives_data()
    {
        QTest::addColumn<int>("pieceBytes");
        QTest::addColumn<int>("pieces");
        QTest::newRow("head and body") << 200 << 2;
        QTest::newRow("many small writes") << 7 << 3000;
        QTest::newRow("larger than one send") << int(ConnectionStream::kSendChunk) + 1 << 5;
    }
    void everythingWrittenArrives()
    {
        QFETCH(int, pieceBytes);
        QFETCH(int, pieces);
        Connection connection;
        QVERIFY(connectPair(m_server, connection));
        QByteArray expected;
        for (int i = 0; i < pieces; ++i)
            expected += QByteArray(pieceBytes, char('a' + i % 26));

        QByteArray received;
        std::thread reader([&] { received = readToEnd(connection.client); });
        {
            ConnectionStream stream(connection.accepted, connection.local, connection.remote,
                ConnectionStream::Clock::now(), kWriteTimeout);
            for (int i = 0; i < pieces; ++i)
                QCOMPARE(
                    stream.write(expected.constData() + i * pieceBytes, std::size_t(pieceBytes)), ssize_t(pieceBytes));
            QVERIFY(stream.flush());
        }
        ::shutdown(connection.accepted, SHUT_WR);
        reader.join();
        QCOMPARE(received.size(), expected.size());
        QVERIFY(received == expected);
    }

    // A client that reads nothing: the send fails once the write timeout has passed without
    // room, instead of blocking the worker, and the stream takes nothing more.
    void readerThatTakesNothingCannotHoldTheSender()
    {
        Connection connection;
        QVERIFY(connectPair(m_server, connection));
        const QByteArray answer(32 * 1024 * 1024, 'x');
        ConnectionStream stream(
            connection.accepted, connection.local, connection.remote, ConnectionStream::Clock::now(), kWriteTimeout);
        QElapsedTimer clock;
        clock.start();
        bool isFailed = false;
        for (int offset = 0; offset < answer.size() && !isFailed; offset += 1024 * 1024)
            isFailed = stream.write(answer.constData() + offset, 1024 * 1024) < 0;
        isFailed = isFailed || !stream.flush();
        QVERIFY(isFailed);
        QVERIFY(clock.elapsed() >= kWriteTimeout.count());
        QVERIFY2(clock.elapsed() < 10 * kWriteTimeout.count(), qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(stream.write("more", 4), ssize_t(-1));
    }

private:
    QTcpServer m_server;
};

QTEST_GUILESS_MAIN(TestConnectionStream)
#include "test_connectionstream.moc"
