// The running copy's channel in one process: what a connection must send to be
// answered, what a second start accepts as an answer, where the socket may lie, and
// that a second start sends nothing to a channel served by another user.
#include "app/RunningCopyChannel.h"

#include "ForeignSocketListener.h"
#include "OtherUser.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>

#include <atomic>
#include <thread>

#include <sys/types.h>
#include <unistd.h>

namespace {

const int kTimeoutMs = 30000;
const int kShortTimeoutMs = 300;

// A private runtime folder as a login session has one.
bool makeRuntimeFolder(const QString& path)
{
    return QDir().mkpath(path)
        && QFile::setPermissions(path,
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser
                | QFile::ExeUser);
}

// Runs askToShow on a thread of its own: it blocks, and the listener answers only
// while this thread's event loop runs.
bool askFromAnotherThread(int timeoutMs)
{
    std::atomic<bool> done{false};
    std::atomic<bool> answered{false};
    std::thread asker([&] {
        answered = RunningCopyChannel::askToShow(timeoutMs);
        done = true;
    });
    // askToShow keeps to its own limit; the loop only serves the listener meanwhile.
    while (!done)
        QTest::qWait(10);
    asker.join();
    return answered;
}

} // namespace

class TestRunningCopyChannel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void connectionIsAnsweredOnlyForTheExactRequest_data();
    void connectionIsAnsweredOnlyForTheExactRequest();
    void secondStartIsConfirmedByTheRunningCopy();
    void secondStartTrustsNoOtherAnswer_data();
    void secondStartTrustsNoOtherAnswer();
    void leftoverUnderTheNameIsReplaced();
    void foreignRuntimeFolderMeansNoChannel();
    void channelOfAnotherUserHearsNothing();

private:
    QString m_runtimeFolder;
};

void TestRunningCopyChannel::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    m_runtimeFolder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QVERIFY(!m_runtimeFolder.isEmpty());
}

void TestRunningCopyChannel::init()
{
    QVERIFY(qputenv("XDG_RUNTIME_DIR", m_runtimeFolder.toUtf8()));
    QVERIFY(makeRuntimeFolder(m_runtimeFolder));
}

void TestRunningCopyChannel::connectionIsAnsweredOnlyForTheExactRequest_data()
{
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<bool>("shown");

    QTest::newRow("the request") << QByteArrayList{"show\n"} << true;
    QTest::newRow("the request twice: one show") << QByteArrayList{"show\nshow\n"} << true;
    QTest::newRow("in pieces") << QByteArrayList{"sh", "ow", "\n"} << true;
    QTest::newRow("cut short, then silence") << QByteArrayList{"show"} << false;
    QTest::newRow("another word") << QByteArrayList{"quit\n"} << false;
    QTest::newRow("other case") << QByteArrayList{"SHOW\n"} << false;
    QTest::newRow("nothing at all") << QByteArrayList{} << false;
    QTest::newRow("a flood") << QByteArrayList{QByteArray(256 * 1024, 'x')} << false;
}

void TestRunningCopyChannel::connectionIsAnsweredOnlyForTheExactRequest()
{
    QFETCH(QByteArrayList, pieces);
    QFETCH(bool, shown);

    RunningCopyChannel channel;
    channel.m_iRequestTimeoutMs = kShortTimeoutMs;
    QVERIFY(channel.listen());
    QSignalSpy showRequested(&channel, &RunningCopyChannel::showRequested);

    QLocalSocket client;
    client.connectToServer(RunningCopyChannel::serverName());
    QVERIFY(client.waitForConnected(kTimeoutMs));
    for (const QByteArray& piece : pieces) {
        client.write(piece);
        // Client and channel share this thread: the event loop carries the bytes over.
        QTRY_VERIFY_WITH_TIMEOUT(
            client.bytesToWrite() == 0 || client.state() != QLocalSocket::ConnectedState, kTimeoutMs);
    }

    // Every connection ends: answered, refused, or dropped once its time is up.
    QByteArray reply;
    QTRY_VERIFY_WITH_TIMEOUT((reply += client.readAll(), client.state() == QLocalSocket::UnconnectedState), kTimeoutMs);
    reply += client.readAll();
    QCOMPARE(showRequested.count(), shown ? 1 : 0);
    QCOMPARE(reply, shown ? RunningCopyChannel::kShownReply : QByteArray());
}

void TestRunningCopyChannel::secondStartIsConfirmedByTheRunningCopy()
{
    RunningCopyChannel channel;
    QVERIFY(channel.listen());
    QSignalSpy showRequested(&channel, &RunningCopyChannel::showRequested);

    QVERIFY(askFromAnotherThread(kTimeoutMs));
    QCOMPARE(showRequested.count(), 1);
}

void TestRunningCopyChannel::secondStartTrustsNoOtherAnswer_data()
{
    QTest::addColumn<bool>("listening");
    QTest::addColumn<QByteArray>("answer");

    QTest::newRow("nobody listens") << false << QByteArray();
    QTest::newRow("a listener that never answers") << true << QByteArray();
    QTest::newRow("a listener with another answer") << true << QByteArray("no\n");
    QTest::newRow("a listener that floods") << true << QByteArray(64 * 1024, 'x');
}

// Whatever sits under the channel's name, a second start never waits longer than its
// limit and takes nothing but the confirmation as one.
void TestRunningCopyChannel::secondStartTrustsNoOtherAnswer()
{
    QFETCH(bool, listening);
    QFETCH(QByteArray, answer);

    QLocalServer impostor;
    if (listening) {
        QLocalServer::removeServer(RunningCopyChannel::serverName());
        QVERIFY(impostor.listen(RunningCopyChannel::serverName()));
        connect(&impostor, &QLocalServer::newConnection, &impostor, [&impostor, answer] {
            QLocalSocket* socket = impostor.nextPendingConnection();
            if (!answer.isEmpty())
                socket->write(answer);
        });
    }
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(!askFromAnotherThread(kShortTimeoutMs));
    QVERIFY2(elapsed.elapsed() < kTimeoutMs, "the second start waited beyond its limit");
}

void TestRunningCopyChannel::leftoverUnderTheNameIsReplaced()
{
    // What a crashed copy leaves under the name.
    QFile left(RunningCopyChannel::serverName());
    QVERIFY(left.open(QIODevice::WriteOnly));
    left.close();
    RunningCopyChannel channel;
    QVERIFY(channel.listen());
    QVERIFY(askFromAnotherThread(kTimeoutMs));
}

// A runtime folder that belongs to someone else is not this user's private place:
// nothing listens there and a second start connects to nothing there.
void TestRunningCopyChannel::foreignRuntimeFolderMeansNoChannel()
{
    if (::geteuid() != 0)
        QSKIP("giving a folder to another user needs root");
    // Short, so the socket's path stays within the system's limit.
    QTemporaryDir foreign(QDir::tempPath() + QStringLiteral("/orbisk-foreign-XXXXXX"));
    QVERIFY(foreign.isValid());
    QLocalServer impostor;
    QVERIFY(impostor.listen(
        foreign.path() + QLatin1Char('/') + QCoreApplication::applicationName() + QStringLiteral(".channel")));
    const uid_t nobody = 65534;
    QCOMPARE(::chown(QFile::encodeName(foreign.path()).constData(), nobody, nobody), 0);
    QVERIFY(qputenv("XDG_RUNTIME_DIR", foreign.path().toUtf8()));

    // Qt warns and turns to a folder of this user's own, if it can make one; the
    // channel is never in the foreign folder.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^QStandardPaths: .*")));
    const QString name = RunningCopyChannel::serverName();
    QVERIFY2(!name.startsWith(foreign.path()), qPrintable(name));
    QSignalSpy connections(&impostor, &QLocalServer::newConnection);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^QStandardPaths: .*")));
    RunningCopyChannel::askToShow(kShortTimeoutMs);
    QCoreApplication::processEvents();
    QCOMPARE(connections.count(), 0);
}

// Whoever made a socket under the channel's name, a second start writes only to a
// process of its own user: another user's listener learns nothing, not even that a
// start happened, and the second start says why it sent nothing.
void TestRunningCopyChannel::channelOfAnotherUserHearsNothing()
{
    const QString sReason = orbisk::test::otherUserUnavailableReason();
    if (!sReason.isEmpty())
        QSKIP(qPrintable(sReason));
    const QString name = RunningCopyChannel::serverName();
    QLocalServer::removeServer(name);
    orbisk::test::ForeignSocketListener foreign(name);
    QVERIFY2(foreign.isListening(), "the listener of the user nobody did not start");

    QTest::ignoreMessage(QtWarningMsg,
        qPrintable(QStringLiteral("RunningCopyChannel: %1 is served by another user's process; nothing was sent to it")
                       .arg(name)));
    QVERIFY(!RunningCopyChannel::askToShow(kTimeoutMs));
    QCOMPARE(foreign.receivedBytes(kTimeoutMs), 0L);
}

QTEST_GUILESS_MAIN(TestRunningCopyChannel)
#include "test_runningcopychannel.moc"
