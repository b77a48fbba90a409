// Runs the built client as a real process and looks at what it opens: no
// remote-debugging port unless a developer asks for one, and no web engine processes
// in a browser-mode start until a server is loaded.
#include "ProcessInspection.h"
#include "TestEnvironment.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QtTest>

namespace {
const int kStartTimeoutMs = 90000;
const int kExitTimeoutMs = 30000;
// How long a browser-mode start is watched for engine processes once its start
// sequence has run; a normal start shows them well within this on a busy machine.
const int kQuietWatchMs = 4000;

// The body of GET http://ADDRESS/json/version, empty when nothing answers.
QByteArray debuggerVersion(const QString& sAddress)
{
    QNetworkAccessManager network;
    QNetworkReply* reply = network.get(QNetworkRequest(QUrl(QStringLiteral("http://%1/json/version").arg(sAddress))));
    QSignalSpy finished(reply, &QNetworkReply::finished);
    finished.wait(kExitTimeoutMs);
    const QByteArray body = reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
    delete reply;
    return body;
}
} // namespace

class TestRemoteDebugging : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void debuggingPortOnlyWhenAsked_data();
    void debuggingPortOnlyWhenAsked();

private:
    QProcess m_client;
    QString m_sClient;
};

void TestRemoteDebugging::initTestCase()
{
    QVERIFY2(QFileInfo(orbisk::test::clientExecutable()).isExecutable(), "the client executable was not built");
    // A name and a local-service port of its own, so a client running elsewhere on the
    // machine neither refuses this one nor holds its port.
    m_sClient = orbisk::test::uniqueClientExecutable();
    QVERIFY(!m_sClient.isEmpty());
}

void TestRemoteDebugging::cleanup()
{
    orbisk::test::endProcess(m_client, kExitTimeoutMs);
}

void TestRemoteDebugging::debuggingPortOnlyWhenAsked_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("orbiskPort");
    QTest::addColumn<QString>("engineSetting");
    // The debugging address expected besides the local service; {PORT} and {OTHER}
    // stand for two free ports.
    QTest::addColumn<QString>("debugAddress");
    QTest::addColumn<bool>("engineRuns");

    const QStringList normal;
    const QStringList browserMode{QStringLiteral("--browser")};
    QTest::newRow("default start") << normal << QString() << QString() << QString() << true;
    QTest::newRow("browser mode") << browserMode << QString() << QString() << QString() << false;
    QTest::newRow("port asked for") << normal << "{PORT}" << QString() << "127.0.0.1:{PORT}" << true;
    QTest::newRow("port asked for in browser mode")
        << browserMode << "{PORT}" << QString() << "127.0.0.1:{PORT}" << true;
    QTest::newRow("engine's own setting wins") << normal << "{PORT}"
                                               << "127.0.0.1:{OTHER}"
                                               << "127.0.0.1:{OTHER}" << true;
    QTest::newRow("not a port number") << normal << "{PORT}x" << QString() << QString() << true;
    QTest::newRow("port out of range") << normal << "65536" << QString() << QString() << true;
    QTest::newRow("port zero") << normal << "0" << QString() << QString() << true;
}

void TestRemoteDebugging::debuggingPortOnlyWhenAsked()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, orbiskPort);
    QFETCH(QString, engineSetting);
    QFETCH(QString, debugAddress);
    QFETCH(bool, engineRuns);
    const QString sPort = QString::number(orbisk::test::unusedLocalPort());
    QString sOther;
    do
        sOther = QString::number(orbisk::test::unusedLocalPort());
    while (sOther == sPort);
    QString sServicePort;
    do
        sServicePort = QString::number(orbisk::test::unusedLocalPort());
    while (sServicePort == sPort || sServicePort == sOther);
    const auto fill = [&](QString sText) {
        return sText.replace(QStringLiteral("{PORT}"), sPort).replace(QStringLiteral("{OTHER}"), sOther);
    };

    QDir(qEnvironmentVariable("XDG_DATA_HOME")).removeRecursively();
    // A setting left empty is not set at all.
    const auto setting = [&](const QString& sValue) { return sValue.isEmpty() ? QString() : fill(sValue); };
    QVERIFY(orbisk::test::startProcess(m_client, m_sClient,
        {{QStringLiteral("ORBISK_REMOTE_DEBUGGING_PORT"), setting(orbiskPort)},
            {QStringLiteral("QTWEBENGINE_REMOTE_DEBUGGING"), setting(engineSetting)},
            {QStringLiteral("ORBISK_LOCAL_SERVICE_PORT"), sServicePort}},
        arguments));

    // The start sequence has run once the core services report their version.
    QByteArray diagnostics;
    QTRY_VERIFY_WITH_TIMEOUT(
        (diagnostics += m_client.readAllStandardError()).contains("GetAppVersion"), kStartTimeoutMs);
    const qint64 pid = m_client.processId();
    if (engineRuns) {
        QTRY_VERIFY_WITH_TIMEOUT(orbisk::test::engineProcessCount(pid) > 0, kStartTimeoutMs);
    } else {
        QVERIFY(!QTest::qWaitFor([pid] { return orbisk::test::engineProcessCount(pid) > 0; }, kQuietWatchMs));
        QCOMPARE(m_client.state(), QProcess::Running);
    }

    QStringList expected{QStringLiteral("127.0.0.1:") + sServicePort};
    if (!debugAddress.isEmpty())
        expected.append(fill(debugAddress));
    expected.sort();
    QTRY_COMPARE_WITH_TIMEOUT(orbisk::test::listeningTcpAddresses(pid), expected, kStartTimeoutMs);
    if (!debugAddress.isEmpty())
        QVERIFY(debuggerVersion(fill(debugAddress)).contains("Browser"));
    if (orbiskPort.isEmpty() || !engineSetting.isEmpty() || !debugAddress.isEmpty())
        return;
    diagnostics += m_client.readAllStandardError();
    QVERIFY2(diagnostics.contains("ORBISK_REMOTE_DEBUGGING_PORT is not a port number"), diagnostics.constData());
}

QTEST_GUILESS_MAIN(TestRemoteDebugging)
#include "test_remotedebugging.moc"
