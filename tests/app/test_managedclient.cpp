// The built client under an administrator's configuration, as a real process: it joins
// the managed default server, loads it without the certificate question, and writes no
// managed value into the user's own files. On a desktop of the test's own, read as a
// screen reader reads it, the user can neither delete a managed server, nor take the
// road to a new server or ask for updates where the administrator forbids it.
#include "servers/ServerListCodec.h"

#include "AccessibleDesktop.h"
#include "DemoServer.h"
#include "TestEnvironment.h"

#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTcpServer>
#include <QtTest>

namespace {
const int kLoadTimeoutMs = 90000;
const int kExitTimeoutMs = 30000;
const int kShowTimeoutMs = 60000;
const QString kCompany = QStringLiteral("Company (https://company.example)");
const QString kMine = QStringLiteral("Mine (https://mine.example)");
} // namespace

class TestManagedClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { orbisk::test::prepareTestEnvironment(); }
    void joinsTheManagedDefaultWithoutTheQuestion();
    void keepsTheUserToWhatTheAdministratorAllows_data();
    void keepsTheUserToWhatTheAdministratorAllows();
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

void TestManagedClient::keepsTheUserToWhatTheAdministratorAllows_data()
{
    QTest::addColumn<QByteArray>("restrictions");
    QTest::addColumn<bool>("isRestricted");

    QTest::newRow("the user's own servers and updates allowed") << QByteArray() << false;
    QTest::newRow("the administrator's servers only, no update check")
        << QByteArray("AllowUserServers=false\nUpdateCheck=false\n") << true;
}

void TestManagedClient::keepsTheUserToWhatTheAdministratorAllows()
{
    QFETCH(QByteArray, restrictions);
    QFETCH(bool, isRestricted);

    orbisk::test::AccessibleDesktop desktop;
    QVERIFY2(desktop.start(), qPrintable(desktop.errorString()));
    // Stands in for the company's update mirror: any connection is an update request.
    QTcpServer mirror;
    QVERIFY(mirror.listen(QHostAddress::LocalHost));
    const QString sClient = orbisk::test::uniqueClientExecutable();
    const QString sName = QFileInfo(sClient).fileName();
    const QString sList
        = qEnvironmentVariable("XDG_DATA_HOME") + QLatin1Char('/') + sName + QStringLiteral("/ServerConfig.xml");
    const QString sIni = orbisk::test::scratchDir(QStringLiteral("managed")) + QStringLiteral("/managed.ini");
    QVERIFY(orbisk::test::writeFileContent(sIni,
        "[General]\nServers=Company|https://company.example\nUpdateManifestUrl=https://127.0.0.1:"
            + QByteArray::number(mirror.serverPort()) + "/manifest.json\n" + restrictions));
    const QByteArray userList
        = ServerListCodec::serialize({{QStringLiteral("Mine"), QStringLiteral("https://mine.example"), false}});
    QVERIFY(orbisk::test::writeFileContent(sList, userList));

    QMap<QString, QString> environment = desktop.clientEnvironment();
    environment.insert(QStringLiteral("ORBISK_MANAGED_INI"), sIni);
    environment.insert(QStringLiteral("ORBISK_LOCAL_SERVICE_PORT"), QString::number(orbisk::test::unusedLocalPort()));
    QProcess client;
    QVERIFY(orbisk::test::startProcess(client, sClient, environment));
    const qint64 pid = client.processId();
    const auto isShowing = [&desktop, pid](const QString& sRole, const QString& sText) {
        return desktop.find(pid, sRole, sText).isShowing;
    };
    QVERIFY2(orbisk::test::waitUntil(
                 [&] { return isShowing(QStringLiteral("push button"), QStringLiteral("Continue")); }, kShowTimeoutMs),
        client.readAllStandardError().constData());

    // The road to a server of the user's own.
    QCOMPARE(isShowing(QStringLiteral("push button"), QStringLiteral("Connect to the new server >>")), !isRestricted);

    // The delete mark of each row of the picker: the managed row has none to click, the
    // user's own row (where shown) goes.
    const QStringList rows = isRestricted ? QStringList{kCompany} : QStringList{kCompany, kMine};
    for (const QString& sRow : rows) {
        QVERIFY(desktop.press(desktop.find(pid, QStringLiteral("combo box"))));
        QVERIFY(orbisk::test::waitUntil([&] { return desktop.visibleWindowCount(pid) == 2; }, kShowTimeoutMs));
        const QRect row = desktop.extents(desktop.find(pid, QStringLiteral("list item"), sRow));
        QVERIFY(desktop.click(QPoint(row.right() - 22, row.center().y())));
        QVERIFY(orbisk::test::waitUntil([&] { return desktop.visibleWindowCount(pid) == 1; }, kShowTimeoutMs));
    }
    if (!isRestricted) {
        QVERIFY(orbisk::test::waitUntil(
            [&] { return !orbisk::test::fileContent(sList).contains("mine.example"); }, kShowTimeoutMs));
    }
    QVERIFY(!desktop.find(pid, QStringLiteral("menu item"), kCompany).service.isEmpty());
    QVERIFY(desktop.find(pid, QStringLiteral("menu item"), kMine).service.isEmpty());
    if (isRestricted)
        QCOMPARE(orbisk::test::fileContent(sList), userList);

    // Check update: a request to the mirror, or only the administrator's word.
    QVERIFY(desktop.press(desktop.find(pid, QStringLiteral("menu item"), QStringLiteral("Check update"))));
    if (isRestricted) {
        QVERIFY(orbisk::test::waitUntil(
            [&] {
                return isShowing(QStringLiteral("label"), QStringLiteral("Updates are managed by your administrator"));
            },
            kShowTimeoutMs));
        QVERIFY(!mirror.waitForNewConnection(0));
    } else {
        QVERIFY(mirror.waitForNewConnection(kShowTimeoutMs));
    }
    orbisk::test::endProcess(client, kExitTimeoutMs);
}

QTEST_GUILESS_MAIN(TestManagedClient)
#include "test_managedclient.moc"
