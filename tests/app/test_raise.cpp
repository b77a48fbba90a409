// A second start of the built client while one runs: it asks the running copy to
// show its window and exits with code 0; a second start of another user (another
// runtime folder) reaches nothing and raises nothing; a channel name held by another
// user's process hears nothing from a second start, which exits as usual.
#include "ForeignSocketListener.h"
#include "OtherUser.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <unistd.h>

namespace {

const int kStartTimeoutMs = 90000;
const int kExitTimeoutMs = 30000;
const QByteArray kShownLine = "show requested by a second start: CLoginUI visible true";

QString runtimeFolder(const QString& user)
{
    const QString path = orbisk::test::scratchDir(QStringLiteral("runtime-") + user);
    QFile::setPermissions(path,
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    return path;
}

// The client under a name of this test's own: the single-instance guard counts
// processes by name, so clients of other test runs on the machine cannot interfere.
QString g_client;

QString channelIn(const QString& folder)
{
    return folder + QLatin1Char('/') + QFileInfo(g_client).fileName() + QStringLiteral(".channel");
}

void startClient(QProcess& process, const QString& runtime, const QStringList& arguments = {})
{
    QVERIFY(orbisk::test::startProcess(process, g_client, {{QStringLiteral("XDG_RUNTIME_DIR"), runtime}}, arguments));
}

// Returns what the second start logged.
QByteArray finishSecondStart(QProcess& second)
{
    [&second] {
        QVERIFY(second.waitForFinished(kExitTimeoutMs));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(!second.readAllStandardOutput().contains("handle_exit_application"));
    }();
    return second.readAllStandardError();
}

} // namespace

class TestRaise : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void secondStartShowsTheRunningCopy_data();
    void secondStartShowsTheRunningCopy();
    void secondStartOfAnotherUserShowsNothing();
    void secondStartSendsNothingToAnotherUsersChannel();

private:
    void startFirst(const QString& runtime, const QStringList& arguments);
    QProcess m_first;
    QByteArray m_firstErrors;
};

void TestRaise::initTestCase()
{
    QVERIFY2(QFileInfo(orbisk::test::clientExecutable()).isExecutable(), "the client executable was not built");
    g_client = orbisk::test::scratchDir(QStringLiteral("bin"))
        + QStringLiteral("/orbisk-r%1").arg(QCoreApplication::applicationPid());
    QVERIFY(QFile::copy(orbisk::test::clientExecutable(), g_client));
    QVERIFY(QFile::setPermissions(g_client, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void TestRaise::cleanup()
{
    orbisk::test::endProcess(m_first, kExitTimeoutMs);
    m_firstErrors.clear();
}

void TestRaise::startFirst(const QString& runtime, const QStringList& arguments)
{
    startClient(m_first, runtime, arguments);
    // Listening is the last step before the first presentation.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(channelIn(runtime)), kStartTimeoutMs);
}

void TestRaise::secondStartShowsTheRunningCopy_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("login window") << QStringList{};
    // Browser mode keeps the login window (with its browser sentence) as the current one.
    QTest::newRow("browser mode") << QStringList{QStringLiteral("browser")};
}

void TestRaise::secondStartShowsTheRunningCopy()
{
    QFETCH(QStringList, arguments);
    const QString runtime = runtimeFolder(QStringLiteral("user"));
    startFirst(runtime, arguments);
    if (QTest::currentTestFailed())
        return;

    QProcess second;
    startClient(second, runtime);
    finishSecondStart(second);

    QTRY_VERIFY_WITH_TIMEOUT((m_firstErrors += m_first.readAllStandardError()).contains(kShownLine), kExitTimeoutMs);
    QCOMPARE(m_first.state(), QProcess::Running);
}

void TestRaise::secondStartOfAnotherUserShowsNothing()
{
    const QString user = runtimeFolder(QStringLiteral("user"));
    startFirst(user, {});
    if (QTest::currentTestFailed())
        return;

    // The guard counts every user's processes, so this start is refused too; its
    // channel lies in its own user's folder, where nothing listens.
    QProcess second;
    startClient(second, runtimeFolder(QStringLiteral("other")));
    finishSecondStart(second);
    if (QTest::currentTestFailed())
        return;

    // A start of the first user afterwards is answered, so the channel worked all along.
    QProcess third;
    startClient(third, user);
    finishSecondStart(third);
    QTRY_VERIFY_WITH_TIMEOUT((m_firstErrors += m_first.readAllStandardError()).contains(kShownLine), kExitTimeoutMs);
    QCOMPARE(m_firstErrors.count(kShownLine), 1);
}

// Someone else's process holds the channel's name (the running copy's socket is out
// of reach): the second start sends it nothing, says so, and exits as the guard decided.
void TestRaise::secondStartSendsNothingToAnotherUsersChannel()
{
    const QString sReason = orbisk::test::otherUserUnavailableReason();
    if (!sReason.isEmpty())
        QSKIP(qPrintable(sReason));
    const QString user = runtimeFolder(QStringLiteral("user"));
    startFirst(user, {});
    if (QTest::currentTestFailed())
        return;
    QVERIFY(QFile::remove(channelIn(user)));
    orbisk::test::ForeignSocketListener foreign(channelIn(user));
    QVERIFY2(foreign.isListening(), "the listener of the user nobody did not start");

    QProcess second;
    startClient(second, user);
    const QByteArray logged = finishSecondStart(second);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(logged.contains("is served by another user's process; nothing was sent to it"), logged.constData());
    QCOMPARE(foreign.receivedBytes(kExitTimeoutMs), 0L);
    QCOMPARE(m_first.state(), QProcess::Running);
    QVERIFY(!(m_firstErrors += m_first.readAllStandardError()).contains(kShownLine));
}

QTEST_GUILESS_MAIN(TestRaise)
#include "test_raise.moc"
