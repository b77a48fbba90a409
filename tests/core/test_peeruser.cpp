// Telling whose process is at the other end of a loopback connection: the verdict on what
// the kernel reports, the kernel's connection table as text, and real connections of this
// user and of another.
#include "core/PeerUser.h"

#include "OtherUser.h"
#include "OtherUserClient.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using orbisk::PeerUser;
using orbisk::TcpEndpoint;
using orbisk::TcpSocketOwner;

Q_DECLARE_METATYPE(PeerUser)

namespace {
const std::uint32_t kLoopback = htonl(INADDR_LOOPBACK);
const std::uint32_t kOther = htonl(0x0A000001); // 10.0.0.1

// An address as the kernel prints it in its tables: the stored word in hexadecimal.
QByteArray tableWord(std::uint32_t address)
{
    return QByteArray::number(address, 16).toUpper().rightJustified(8, '0');
}

// The word of an IPv4-mapped IPv6 address that holds ffff, as the kernel prints it here.
QByteArray mappedWord()
{
    const unsigned char bytes[4] = {0, 0, 0xFF, 0xFF};
    std::uint32_t word = 0;
    std::memcpy(&word, bytes, sizeof(word));
    return tableWord(word);
}

// A line of /proc/net/tcp; {lo} and {other} stand for the addresses as printed.
QByteArray tableLine(const QByteArray& local, const QByteArray& remote, const QByteArray& uid, const QByteArray& inode,
    const QByteArray& state = "01")
{
    return "   0: " + local + " " + remote + " " + state + " 00000000:00000000 00:00000000 00000000 " + uid + " 0 "
        + inode + " 1 0000000000000000 20 4 30 10 -1\n";
}

std::string expand(QByteArray text)
{
    const QByteArray mapped = "0000000000000000" + mappedWord();
    return text.replace("{mapped}", mapped)
        .replace("{lo}", tableWord(kLoopback))
        .replace("{other}", tableWord(kOther))
        .toStdString();
}

// The socket descriptor of the connection waiting on server, or -1.
qintptr acceptWaiting(QTcpServer& server)
{
    if (!server.waitForNewConnection(15000))
        return -1;
    QTcpSocket* pSocket = server.nextPendingConnection();
    return pSocket ? pSocket->socketDescriptor() : -1;
}

// The verdict on an accepted connection, given the addresses of its two ends as the
// service knows them.
PeerUser peerUserOfConnection(qintptr accepted)
{
    sockaddr_in ours{};
    sockaddr_in theirs{};
    socklen_t iOursLength = sizeof(ours);
    socklen_t iTheirsLength = sizeof(theirs);
    if (::getsockname(int(accepted), reinterpret_cast<sockaddr*>(&ours), &iOursLength) != 0
        || ::getpeername(int(accepted), reinterpret_cast<sockaddr*>(&theirs), &iTheirsLength) != 0)
        return PeerUser::Unknown;
    return orbisk::peerUser(ours, theirs);
}
} // namespace

class TestPeerUser : public QObject
{
    Q_OBJECT

private slots:
    void verdict_data()
    {
        QTest::addColumn<uint>("uid");
        QTest::addColumn<qulonglong>("inode");
        QTest::addColumn<uint>("ownUid");
        QTest::addColumn<PeerUser>("expected");

        QTest::newRow("own user") << 1000u << 4242ull << 1000u << PeerUser::Same;
        QTest::newRow("another user") << 1001u << 4242ull << 1000u << PeerUser::Other;
        QTest::newRow("root asking a user's client") << 0u << 4242ull << 1000u << PeerUser::Other;
        QTest::newRow("nobody asking root's client") << 65534u << 4242ull << 0u << PeerUser::Other;
        // A socket its process has closed is reported with the user 0: it must not pass
        // for root's own, nor for anybody's.
        QTest::newRow("closed socket, root client") << 0u << 0ull << 0u << PeerUser::Unknown;
        QTest::newRow("closed socket, user client") << 1000u << 0ull << 1000u << PeerUser::Unknown;
    }
    void verdict()
    {
        QFETCH(uint, uid);
        QFETCH(qulonglong, inode);
        QFETCH(uint, ownUid);
        QFETCH(PeerUser, expected);
        QCOMPARE(orbisk::peerUserOf({uid, inode}, ownUid), expected);
    }

    void table_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<bool>("isFound");
        QTest::addColumn<uint>("uid");
        QTest::addColumn<qulonglong>("inode");

        // Looked for: local {lo}:D431 (54321), remote {lo}:2693 (9875).
        const QByteArray header = "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
                                  "timeout inode\n";
        const QByteArray wanted = tableLine("{lo}:D431", "{lo}:2693", "1000", "777");
        QTest::newRow("the line") << header + wanted << true << 1000u << 777ull;
        QTest::newRow("among others") << header + tableLine("{lo}:2693", "{lo}:D431", "0", "555")
                + tableLine("{other}:D431", "{lo}:2693", "5", "1") + wanted
                + tableLine("{lo}:D431", "{lo}:2693", "9", "9")
                                      << true << 1000u << 777ull;
        // Our own end of the connection names the same two endpoints the other way round.
        QTest::newRow("own end only") << header + tableLine("{lo}:2693", "{lo}:D431", "0", "555") << false << 0u
                                      << 0ull;
        QTest::newRow("other port") << tableLine("{lo}:D432", "{lo}:2693", "1000", "777") << false << 0u << 0ull;
        QTest::newRow("other address") << tableLine("{other}:D431", "{lo}:2693", "1000", "777") << false << 0u << 0ull;
        QTest::newRow("closed socket") << tableLine("{lo}:D431", "{lo}:2693", "0", "0", "06") << true << 0u << 0ull;
        QTest::newRow("IPv4-mapped IPv6 line")
            << tableLine("{mapped}{lo}:D431", "{mapped}{lo}:2693", "1001", "88") << true << 1001u << 88ull;
        QTest::newRow("plain IPv6 line") << tableLine(
            "00000000000000000000000001000000:D431", "00000000000000000000000001000000:2693", "1001", "88")
                                         << false << 0u << 0ull;
        QTest::newRow("empty") << QByteArray() << false << 0u << 0ull;
        QTest::newRow("cut short") << QByteArray(
            "   0: {lo}:D431 {lo}:2693 01 00000000:00000000 00:00000000 00000000 1000")
                                   << false << 0u << 0ull;
        QTest::newRow("port beyond 16 bits")
            << tableLine("{lo}:1D431", "{lo}:2693", "1000", "777") << false << 0u << 0ull;
        QTest::newRow("address not hexadecimal")
            << tableLine("0100007G:D431", "{lo}:2693", "1000", "777") << false << 0u << 0ull;
        QTest::newRow("address without port") << tableLine("{lo}", "{lo}:2693", "1000", "777") << false << 0u << 0ull;
        QTest::newRow("negative user") << tableLine("{lo}:D431", "{lo}:2693", "-1", "777") << false << 0u << 0ull;
        QTest::newRow("user beyond 32 bits")
            << tableLine("{lo}:D431", "{lo}:2693", "4294967296", "777") << false << 0u << 0ull;
        QTest::newRow("inode not a number")
            << tableLine("{lo}:D431", "{lo}:2693", "1000", "7x7") << false << 0u << 0ull;
        QTest::newRow("malformed line, then the line")
            << tableLine("{lo}:D431", "{lo}:2693", "oops", "777") + wanted << true << 1000u << 777ull;
    }
    void table()
    {
        QFETCH(QByteArray, table);
        QFETCH(bool, isFound);
        QFETCH(uint, uid);
        QFETCH(qulonglong, inode);

        TcpSocketOwner owner;
        QCOMPARE(orbisk::findTcpSocketOwner(expand(table), {kLoopback, 54321}, {kLoopback, 9875}, owner), isFound);
        if (isFound) {
            QCOMPARE(owner.uid, uid);
            QCOMPARE(owner.inode, std::uint64_t(inode));
        }
    }

    // The kernel's own table, read as the fallback reads it, names this process's end.
    void realTable()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, server.serverPort());
        QVERIFY(client.waitForConnected(15000));
        QVERIFY(acceptWaiting(server) >= 0);

        QFile file(QStringLiteral("/proc/net/tcp"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        TcpSocketOwner owner;
        QVERIFY(orbisk::findTcpSocketOwner(
            file.readAll().toStdString(), {kLoopback, client.localPort()}, {kLoopback, server.serverPort()}, owner));
        QCOMPARE(owner.uid, std::uint32_t(::geteuid()));
        QVERIFY(owner.inode != 0);
    }

    void ownConnection_data()
    {
        QTest::addColumn<bool>("isIpv6Client");
        QTest::newRow("IPv4 client") << false;
        // A dual-stack socket reaches the IPv4 service through an IPv4-mapped address.
        QTest::newRow("IPv6 client, mapped address") << true;
    }
    void ownConnection()
    {
        QFETCH(bool, isIpv6Client);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const int client = ::socket(isIpv6Client ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        QVERIFY(client >= 0);
        sockaddr_in v4{};
        v4.sin_family = AF_INET;
        v4.sin_port = htons(server.serverPort());
        v4.sin_addr.s_addr = kLoopback;
        sockaddr_in6 v6{};
        v6.sin6_family = AF_INET6;
        v6.sin6_port = v4.sin_port;
        QCOMPARE(::inet_pton(AF_INET6, "::ffff:127.0.0.1", &v6.sin6_addr), 1);
        const int iConnected = isIpv6Client ? ::connect(client, reinterpret_cast<const sockaddr*>(&v6), sizeof(v6))
                                            : ::connect(client, reinterpret_cast<const sockaddr*>(&v4), sizeof(v4));
        const qintptr accepted = iConnected == 0 ? acceptWaiting(server) : -1;
        const PeerUser actual = accepted >= 0 ? peerUserOfConnection(accepted) : PeerUser::Unknown;
        ::close(client);
        QCOMPARE(iConnected, 0);
        QCOMPARE(actual, PeerUser::Same);
    }

    void otherUsersConnection_data()
    {
        QTest::addColumn<bool>("isClosingAtOnce");
        QTest::addColumn<PeerUser>("expected");
        QTest::newRow("open") << false << PeerUser::Other;
        // The child has closed and ended before the check: the kernel reports its end with
        // the user 0, which must not pass for this (root) process's own.
        QTest::newRow("closed before the check") << true << PeerUser::Unknown;
    }
    void otherUsersConnection()
    {
        QFETCH(bool, isClosingAtOnce);
        QFETCH(PeerUser, expected);
        const QString sReason = orbisk::test::otherUserUnavailableReason();
        if (!sReason.isEmpty())
            QSKIP(qPrintable(sReason));

        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        orbisk::test::OtherUserClient client(server.serverPort(), "x", isClosingAtOnce);
        QVERIFY(client.isConnected());
        if (isClosingAtOnce)
            client.finish();
        const qintptr accepted = acceptWaiting(server);
        QVERIFY(accepted >= 0);
        const PeerUser actual = peerUserOfConnection(accepted);
        ::shutdown(int(accepted), SHUT_RDWR); // lets the child end
        QCOMPARE(actual, expected);
    }
};

QTEST_GUILESS_MAIN(TestPeerUser)
#include "test_peeruser.moc"
