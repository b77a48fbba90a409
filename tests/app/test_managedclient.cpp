// The built client under an administrator's configuration, as a real process: it joins
// the managed default server, loads it without the certificate question, and writes no
// managed value into the user's own files.
#include "servers/ServerListCodec.h"

#include "DemoServer.h"
#include "TestEnvironment.h"

#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QtTest>

namespace {
const int kLoadTimeoutMs = 90000;
const int kExitTimeoutMs = 30000;
} // namespace

class TestManagedClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { orbisk::test::prepareTestEnvironment(); }
    void joinsTheManagedDefaultWithoutTheQuestion();
};

void TestManagedClient::joinsTheManagedDefaultWithoutTheQuestion()
{
    orbisk::test::DemoServer demo;
    QVERIFY2(demo.start(), qPrintable(demo.errorString()));
    const QString sClient = orbisk::test::uniqueClientExecutable();
    const QString sName = QFileInfo(sClient).fileName();
    const QString sDataDir = qEnvironmentVariable("XDG_DATA_HOME") + QLatin1Char('/') + sName;

    const QString sIni = orbisk::test::scratchDir(QStringLiteral("managed")) + QStringLiteral("/managed.ini");
    QVERIFY(orbisk::test::writeFileContent(sIni,
        "[General]\nServers=Demo|" + demo.baseUrl().toUtf8() + "\nDefaultServer=Demo\nTrustedCertificates="
            + demo.fingerprint().toUtf8() + "\nAllowUserServers=false\nStartWithSystem=false\n"));
    // The user's own default, hidden while the administrator allows no servers of the user's.
    const QByteArray userList
        = ServerListCodec::serialize({{QStringLiteral("Mine"), QStringLiteral("https://mine.example"), true}});
    QVERIFY(orbisk::test::writeFileContent(sDataDir + QStringLiteral("/ServerConfig.xml"), userList));

    QProcess client;
    QVERIFY(orbisk::test::startProcess(client, sClient,
        {{QStringLiteral("ORBISK_MANAGED_INI"), sIni},
            {QStringLiteral("ORBISK_LOCAL_SERVICE_PORT"), QString::number(orbisk::test::unusedLocalPort())}}));
    const auto isJoined = [&demo] {
        return !demo.requests().filter(QRegularExpression(QStringLiteral("^/app/login\\?uuid="))).isEmpty();
    };
    QVERIFY(orbisk::test::waitUntil(isJoined, kLoadTimeoutMs));
    orbisk::test::endProcess(client, kExitTimeoutMs);

    const QByteArray log = client.readAllStandardError();
    QVERIFY2(log.contains("managed: DefaultServer = " + demo.baseUrl().toUtf8()), log.constData());
    QCOMPARE(orbisk::test::fileContent(sDataDir + QStringLiteral("/ServerConfig.xml")), userList);
    const QSettings settings(sDataDir + QLatin1Char('/') + sName + QStringLiteral(".ini"), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("AutoStart")).toString(), QStringLiteral("true"));
    QVERIFY(!QFileInfo::exists(
        qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart/") + sName + QStringLiteral(".desktop")));
}

QTEST_GUILESS_MAIN(TestManagedClient)
#include "test_managedclient.moc"
