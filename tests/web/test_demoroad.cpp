// The demo road as a user starts it: the run script starts the demo server and the
// built client, which joins the demo server by itself and shows its page. The client runs
// under a name and on a local-service port of its own, so the test passes beside a client
// the user runs.
#include "TestEnvironment.h"

#include <QProcess>
#include <QTcpSocket>
#include <QtTest>

namespace {
const int kProcessTimeoutMs = 120000;
const QByteArray kServerLinePrefix = "run-demo: demo server at https://";
} // namespace

class TestDemoRoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void runScriptShowsTheDemoPageInTheClient();
};

void TestDemoRoad::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
}

void TestDemoRoad::runScriptShowsTheDemoPageInTheClient()
{
    const QString sDemoHome = orbisk::test::scratchDir(QStringLiteral("demo-home"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ORBISK_DEMO_HOME"), sDemoHome);
    environment.insert(QStringLiteral("ORBISK_DEMO_PORT"), QStringLiteral("0"));
    const QString sClient = orbisk::test::uniqueClientExecutable();
    QVERIFY2(!sClient.isEmpty(), "no copy of the client could be made");
    environment.insert(QStringLiteral("ORBISK_DEMO_CLIENT"), sClient);
    environment.insert(QStringLiteral("ORBISK_LOCAL_SERVICE_PORT"), QString::number(orbisk::test::unusedLocalPort()));

    QProcess demo;
    demo.setProcessEnvironment(environment);
    demo.setProcessChannelMode(QProcess::MergedChannels);
    demo.start(QStringLiteral(ORBISK_DEMO_SCRIPT), {QStringLiteral(ORBISK_BUILD_DIR)});
    QVERIFY2(demo.waitForStarted(kProcessTimeoutMs), qPrintable(demo.errorString()));

    QByteArray output;
    QTRY_VERIFY2_WITH_TIMEOUT(
        (output += demo.readAll()).contains("Slot_LoadUrlFinish 1\n") || demo.state() == QProcess::NotRunning,
        output.constData(), kProcessTimeoutMs);
    QVERIFY2(output.contains("Slot_LoadUrlFinish 1\n"), output.constData());
    QVERIFY2(output.contains("\"Sign in - Orbisk Transfer\""), output.constData());

    const int lineStart = output.indexOf(kServerLinePrefix) + kServerLinePrefix.size();
    const QByteArray address = output.mid(lineStart, output.indexOf(' ', lineStart) - lineStart);
    const quint16 port = address.mid(address.indexOf(':') + 1).toUShort();
    QVERIFY2(port != 0, output.constData());

    // Interrupting the script ends the client through its normal exit and stops the server.
    demo.terminate();
    QVERIFY(demo.waitForFinished(kProcessTimeoutMs));
    output += demo.readAll();
    QVERIFY2(output.contains("handle_exit_application"), output.constData());
    QTcpSocket probe;
    probe.connectToHost(QStringLiteral("127.0.0.1"), port);
    QVERIFY(!probe.waitForConnected(2000));
}

QTEST_MAIN(TestDemoRoad)
#include "test_demoroad.moc"
