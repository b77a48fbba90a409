// Remembered sign-ins against a real Secret Service: gnome-keyring on a private
// session bus of the test's own. Where none can start, the test says so and skips.
#include "web/KeychainCredentials.h"
#include "web/SignIn.h"

#include "TestEnvironment.h"

#include <QAuthenticator>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QNetworkProxy>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using Credentials = KeychainCredentials::Credentials;

class TestKeychainCredentials : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void rememberedSignInOutlivesARestartUntilRefused();

private:
    QProcess m_bus;
    QProcess m_keyring;
};

void TestKeychainCredentials::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    const QString sBus = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    const QString sKeyring = QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon"));
    if (sBus.isEmpty() || sKeyring.isEmpty())
        QSKIP("no Secret Service to test against: dbus-daemon or gnome-keyring-daemon is missing "
              "(scripts/install-deps installs both)");
    m_bus.start(sBus, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    QVERIFY(m_bus.waitForReadyRead(10000));
    // Set before anything asks for the session bus: the store is reached through it.
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
    // A new login keyring every run: nothing remembered by an earlier run.
    QDir(qEnvironmentVariable("XDG_DATA_HOME", QDir::homePath() + QStringLiteral("/.local/share"))
        + QStringLiteral("/keyrings"))
        .removeRecursively();
    m_keyring.start(
        sKeyring, {QStringLiteral("--unlock"), QStringLiteral("--components=secrets"), QStringLiteral("--foreground")});
    QVERIFY(m_keyring.waitForStarted());
    // The login keyring's password, on standard input.
    m_keyring.write("test-keyring");
    m_keyring.closeWriteChannel();
    QTRY_VERIFY_WITH_TIMEOUT(
        QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")),
        10000);
    if (!KeychainCredentials(QStringLiteral("Orbisk test")).isAvailable())
        QSKIP("gnome-keyring started but did not answer as a Secret Service");
}

void TestKeychainCredentials::cleanupTestCase()
{
    for (QProcess* process : {&m_keyring, &m_bus}) {
        process->kill();
        process->waitForFinished();
    }
}

void TestKeychainCredentials::rememberedSignInOutlivesARestartUntilRefused()
{
    KeychainCredentials store(QStringLiteral("Orbisk test"));
    int asked = 0;
    QList<SignIn::Request> requests;
    const auto asker = [&](const SignIn::Request& request, Credentials* pCredentials, bool* pRemember) {
        ++asked;
        requests.append(request);
        // A password a text file would mangle.
        *pCredentials = {QStringLiteral("alice"), QStringLiteral("pä\"ss\nword;\\")};
        *pRemember = true;
        return true;
    };
    QAuthenticator authenticator;
    SignIn(&store, asker).answer(SignIn::Kind::Proxy, QStringLiteral("proxy.corp:3128"), &authenticator);
    QCOMPARE(asked, 1);
    QVERIFY(requests.at(0).canRemember);

    // The next run: used without asking.
    SignIn nextRun(&store, asker);
    QAuthenticator again;
    nextRun.answer(SignIn::Kind::Proxy, QStringLiteral("proxy.corp:3128"), &again);
    QCOMPARE(asked, 1);
    QCOMPARE(again.user(), QStringLiteral("alice"));
    QCOMPARE(again.password(), QStringLiteral("pä\"ss\nword;\\"));
    // Refused: asked again with the user name, and forgotten until the user answers.
    QAuthenticator refused;
    nextRun.answer(SignIn::Kind::Proxy, QStringLiteral("proxy.corp:3128"), &refused);
    QCOMPARE(asked, 2);
    QVERIFY(requests.at(1).isRefused);
    QCOMPARE(requests.at(1).sUser, QStringLiteral("alice"));

    // Under a proxy script the page names the proxy by its host alone; the quiet update
    // check, which knows the port, uses what was remembered there until it is refused.
    SignIn(&store, asker).answer(SignIn::Kind::Proxy, QStringLiteral("pac.corp"), &authenticator);
    SignIn quietCheck(&store, asker);
    const QNetworkProxy proxy(QNetworkProxy::HttpProxy, QStringLiteral("pac.corp"), 8080);
    QAuthenticator quiet;
    quietCheck.answerProxy(proxy, &quiet, false);
    QCOMPARE(quiet.user(), QStringLiteral("alice"));
    quietCheck.answerProxy(proxy, &refused, false);
    QVERIFY(!store.read(QStringLiteral("proxy pac.corp realm ")));
    QCOMPARE(asked, 3);
}

QTEST_GUILESS_MAIN(TestKeychainCredentials)
#include "test_keychaincredentials.moc"
