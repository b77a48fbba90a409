// Runs the built client as real processes: single instance (per user), termination signals,
// exit code, and the files a first start leaves behind. The client runs under a name and
// on a local-service port of its own, so the tests pass beside a client the user runs.
#include "OtherUser.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>

#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const int kStartTimeoutMs = 90000;
const int kExitTimeoutMs = 30000;

QString g_sClient; // the client under this test's own name
quint16 g_iPort = 0; // the port its local service listens on

QString dataHome()
{
    return qEnvironmentVariable("XDG_DATA_HOME");
}

QString configHome()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME");
}

QString clientName()
{
    return QFileInfo(g_sClient).fileName();
}

QString settingsPath()
{
    return dataHome() + QLatin1Char('/') + clientName() + QLatin1Char('/') + clientName() + QStringLiteral(".ini");
}

QString autostartPath()
{
    return configHome() + QStringLiteral("/autostart/") + clientName() + QStringLiteral(".desktop");
}

// One blocking HTTP GET on the local service; an empty result when nothing answers.
QByteArray localServiceGet(const QByteArray& path)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, g_iPort);
    if (!socket.waitForConnected(500))
        return {};
    socket.write("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(g_iPort)
        + "\r\nConnection: close\r\n\r\n");
    QByteArray response;
    while (socket.waitForReadyRead(2000))
        response += socket.readAll();
    response += socket.readAll();
    return response;
}

QByteArray bodyOf(const QByteArray& response)
{
    const int split = response.indexOf("\r\n\r\n");
    return split < 0 ? QByteArray() : response.mid(split + 4);
}

void terminate(QProcess& process, int signalNumber)
{
    ::kill(static_cast<pid_t>(process.processId()), signalNumber);
}

} // namespace

class TestClientProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firstStartServesRefusesSecondCopyAndQuitsCleanly();
    void terminationSignalsQuitWithExitCodeZero_data();
    void terminationSignalsQuitWithExitCodeZero();
    void signOnIsAllowedForTheSavedServersOnly();
    void takenPortLeavesTheClientRunning();
    void otherUsersClientLeavesThisOneStarting();
    void idleConnectionsDoNotHoldUpQuitting();

private:
    void startClient(QProcess& process);
    QProcess m_client;
};

void TestClientProcess::initTestCase()
{
    QVERIFY2(QFileInfo(orbisk::test::clientExecutable()).isExecutable(), "the client executable was not built");
    g_sClient = orbisk::test::uniqueClientExecutable();
    QVERIFY2(QFileInfo(g_sClient).isExecutable(), "no copy of the client could be made");
    g_iPort = orbisk::test::unusedLocalPort();
}

void TestClientProcess::init()
{
    QDir(dataHome()).removeRecursively();
    QDir(configHome()).removeRecursively();
}

void TestClientProcess::cleanup()
{
    if (m_client.state() != QProcess::NotRunning) {
        m_client.kill();
        m_client.waitForFinished(kExitTimeoutMs);
    }
}

void TestClientProcess::startClient(QProcess& process)
{
    QVERIFY(orbisk::test::startProcess(
        process, g_sClient, {{QStringLiteral("ORBISK_LOCAL_SERVICE_PORT"), QString::number(g_iPort)}}));
}

void TestClientProcess::firstStartServesRefusesSecondCopyAndQuitsCleanly()
{
    startClient(m_client);
    QTRY_VERIFY_WITH_TIMEOUT(!localServiceGet("/api/status").isEmpty(), kStartTimeoutMs);

    const QJsonObject status = QJsonDocument::fromJson(bodyOf(localServiceGet("/api/status"))).object();
    QCOMPARE(status.value(QStringLiteral("application")).toString(), QStringLiteral("Orbisk Client"));

    // The first start leaves its settings and registers itself to start with the system.
    // The local service may answer before the language routine has written the settings.
    QTRY_COMPARE_WITH_TIMEOUT(
        QSettings(settingsPath(), QSettings::IniFormat).value(QStringLiteral("Language")).toString(),
        QStringLiteral("0"), kStartTimeoutMs);
    QSettings settings(settingsPath(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("AutoStart")).toString(), QStringLiteral("true"));
    QFile autostart(autostartPath());
    QVERIFY2(autostart.open(QIODevice::ReadOnly), qPrintable(autostartPath()));
    const QByteArray entry = autostart.readAll();
    QVERIFY2(entry.contains(QFile::encodeName(g_sClient)), entry.constData());
    QVERIFY2(entry.contains("-min -autorun"), entry.constData());

    QProcess second;
    startClient(second);
    QVERIFY(second.waitForFinished(kExitTimeoutMs));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(!second.readAllStandardOutput().contains("handle_exit_application"));
    QCOMPARE(m_client.state(), QProcess::Running);

    terminate(m_client, SIGTERM);
    QVERIFY(m_client.waitForFinished(kExitTimeoutMs));
    QCOMPARE(m_client.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_client.exitCode(), 0);
    QVERIFY(m_client.readAllStandardOutput().contains("handle_exit_application\n"));
    QVERIFY(localServiceGet("/api/status").isEmpty());
}

void TestClientProcess::terminationSignalsQuitWithExitCodeZero_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGTERM with a page-less debug view alive") << int(SIGTERM);
}

void TestClientProcess::terminationSignalsQuitWithExitCodeZero()
{
    QFETCH(int, signalNumber);
    startClient(m_client);
    QTRY_VERIFY_WITH_TIMEOUT(!localServiceGet("/api/status").isEmpty(), kStartTimeoutMs);
    terminate(m_client, signalNumber);
    QVERIFY(m_client.waitForFinished(kExitTimeoutMs));
    QCOMPARE(m_client.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_client.exitCode(), 0);
    QCOMPARE(m_client.readAllStandardOutput(), QByteArray("handle_exit_application\n"));
}

// The engine may sign in with the user's logon to the hosts of the saved servers, each
// once, and to no other; the start says which.
void TestClientProcess::signOnIsAllowedForTheSavedServersOnly()
{
    const QString sData = dataHome() + QLatin1Char('/') + QFileInfo(g_sClient).fileName();
    QVERIFY(QDir().mkpath(sData));
    QVERIFY(orbisk::test::writeFileContent(sData + QStringLiteral("/ServerConfig.xml"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ServerList>\n"
        "<Server><Default>false</Default><Name>a</Name><URL>https://files.corp.example/app</URL></Server>\n"
        "<Server><Default>false</Default><Name>b</Name><URL>https://files.corp.example:8443</URL></Server>\n"
        "<Server><Default>false</Default><Name>c</Name><URL>https://share.example</URL></Server>\n"
        "</ServerList>\n"));
    startClient(m_client);
    QByteArray diagnostics;
    QTRY_VERIFY_WITH_TIMEOUT(
        (diagnostics += m_client.readAllStandardError()).contains("integrated sign-on"), kStartTimeoutMs);
    QVERIFY2(diagnostics.contains("integrated sign-on allowed for: files.corp.example,share.example\n"),
        diagnostics.constData());
}

void TestClientProcess::takenPortLeavesTheClientRunning()
{
    QTcpServer squatter;
    QVERIFY(squatter.listen(QHostAddress::LocalHost, g_iPort));

    startClient(m_client);
    QByteArray diagnostics;
    // Once the start has stopped trying, one line names the port asked for (not the usual
    // one) and that it is taken.
    QTRY_VERIFY_WITH_TIMEOUT(
        (diagnostics += m_client.readAllStandardError()).contains("StartHttpdServer"), kStartTimeoutMs);
    QVERIFY(diagnostics.contains("StartHttpdServer Orbisk Client 4 " + QByteArray::number(g_iPort) + "\n"));
    QCOMPARE(m_client.state(), QProcess::Running);

    terminate(m_client, SIGTERM);
    QVERIFY(m_client.waitForFinished(kExitTimeoutMs));
    QCOMPARE(m_client.exitCode(), 0);
}

// Another user's client on this computer (a terminal server, fast user switching) does not
// stop this user's client from starting. It holds the local service's port, so this one
// runs without the service and says so in its one line.
void TestClientProcess::otherUsersClientLeavesThisOneStarting()
{
    const QString reason = orbisk::test::otherUserUnavailableReason();
    if (!reason.isEmpty())
        QSKIP(qPrintable(reason));
    // The other user's client gets a home and folders of its own.
    const QString home = orbisk::test::scratchDir(QStringLiteral("nobody"));
    QMap<QString, QString> environment{
        {QStringLiteral("ORBISK_LOCAL_SERVICE_PORT"), QString::number(g_iPort)}, {QStringLiteral("HOME"), home}};
    for (const char* variable : {"", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString folder = home + QLatin1Char('/') + QLatin1String(variable);
        QVERIFY(QDir().mkpath(folder)
            && ::chown(QFile::encodeName(folder), orbisk::test::kNobody, orbisk::test::kNobody) == 0
            && ::chmod(QFile::encodeName(folder), 0700) == 0);
        if (*variable)
            environment.insert(QLatin1String(variable), folder);
    }
    QProcess other;
    const QString nobody = QString::number(orbisk::test::kNobody);
    QVERIFY(orbisk::test::startProcess(other, QStringLiteral("setpriv"), environment,
        {QStringLiteral("--reuid=") + nobody, QStringLiteral("--regid=") + nobody, QStringLiteral("--clear-groups"),
            g_sClient}));
    // Its service answers (and refuses this user's requests) once it runs.
    QTRY_VERIFY_WITH_TIMEOUT(!localServiceGet("/api/status").isEmpty(), kStartTimeoutMs);

    startClient(m_client);
    QByteArray diagnostics;
    QTRY_VERIFY_WITH_TIMEOUT(
        (diagnostics += m_client.readAllStandardError()).contains("StartHttpdServer"), kStartTimeoutMs);
    QVERIFY2(diagnostics.contains("StartHttpdServer Orbisk Client 4 " + QByteArray::number(g_iPort) + "\n"),
        diagnostics.constData());
    QCOMPARE(m_client.state(), QProcess::Running);
    QCOMPARE(other.state(), QProcess::Running);

    for (QProcess* client : {&m_client, &other}) {
        terminate(*client, SIGTERM);
        QVERIFY(client->waitForFinished(kExitTimeoutMs));
        QCOMPARE(client->exitCode(), 0);
    }
}

void TestClientProcess::idleConnectionsDoNotHoldUpQuitting()
{
    startClient(m_client);
    QTRY_VERIFY_WITH_TIMEOUT(!localServiceGet("/api/status").isEmpty(), kStartTimeoutMs);
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 100; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QHostAddress::LocalHost, g_iPort);
        QVERIFY(idle.back()->waitForConnected(5000));
    }

    QElapsedTimer quitting;
    quitting.start();
    terminate(m_client, SIGTERM);
    QVERIFY(m_client.waitForFinished(kExitTimeoutMs));
    // A stop that waited for the idle connections would take them one timeout (one
    // second) each, four at a time.
    QVERIFY2(quitting.elapsed() < 5000, qPrintable(QString::number(quitting.elapsed())));
    QCOMPARE(m_client.exitCode(), 0);
    QCOMPARE(m_client.readAllStandardOutput(), QByteArray("handle_exit_application\n"));
}

QTEST_GUILESS_MAIN(TestClientProcess)
#include "test_clientprocess.moc"
