// Sign-in in the real engine, to the demo server's sign-in area and to a proxy that asks
// for it (the system's proxy as the environment gives it, https_proxy; or, as ctest also
// runs it, the administrator's proxy or proxy script): right, refused and cancelled
// answers; and the update check through that proxy.
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "ui/LanguageTexts.h"
#include "update/CCheckUpdateUI.h"
#include "web/ManagedNetwork.h"

#include "ClientWindows.h"
#include "ConnectProxy.h"
#include "TestEnvironment.h"
#include "TrustedDemoServer.h"
#include "WebEngineTestMain.h"
#include "WebTestSupport.h"

#include <QLabel>
#include <QtTest>

using orbisk::test::kEngineTimeoutMs;
using Answer = KeychainCredentials::Credentials;
Q_DECLARE_METATYPE(SignIn::Kind)

namespace {
// A name only the proxy resolves.
const QString kProxiedHost = QStringLiteral("demo.orbisk.test");
// An answer the user does not give: Cancel.
const QString kCancel = QStringLiteral("<cancel>");
} // namespace

class TestSignIn : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void signIn_data();
    void signIn();
    void updateCheckGoesThroughTheProxy_data();
    void updateCheckGoesThroughTheProxy();

private:
    QString proxiedUrl() const { return QStringLiteral("https://%1:%2").arg(kProxiedHost).arg(m_server.port()); }

    orbisk::test::TrustedDemoServer m_server;
    orbisk::test::ConnectProxy m_proxy{QStringLiteral("alice"), QStringLiteral("proxy-pass")};
    orbisk::test::ClientWindows m_client;
    orbisk::ManagedConfig m_managed;
    QString m_sProxyWho; // as the sign-in question names the proxy
};

void TestSignIn::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
    m_server.trustAs(kProxiedHost);
    QVERIFY(m_proxy.listen());
    // The system's proxy as a company desktop sets it, or the administrator's proxy or
    // proxy script (ORBISK_TEST_PROXY); read when the engine and the first request start.
    // Loopback addresses (the sign-in area) never go through it.
    const QString sProxy = QStringLiteral("127.0.0.1:%1").arg(m_proxy.port());
    const QByteArray setup = qgetenv("ORBISK_TEST_PROXY");
    m_sProxyWho = sProxy;
    if (setup == "server") {
        m_managed.proxyHost = QStringLiteral("127.0.0.1");
        m_managed.proxyPort = m_proxy.port();
    } else if (setup == "script") {
        const QString script = QStringLiteral("function FindProxyForURL(url, host) { return 'PROXY %1'; }").arg(sProxy);
        m_managed.proxyPacUrl = QUrl(QStringLiteral("data:,") + QString::fromLatin1(QUrl::toPercentEncoding(script)));
        // The engine tells the proxy's host alone, and no set-up of Qt's knows its port.
        m_sProxyWho = QStringLiteral("127.0.0.1");
    } else {
        qputenv("https_proxy", QByteArray("http://") + sProxy.toLatin1());
    }
    orbisk::applyNetwork(m_managed, {});
    m_client.managed = m_managed;
}

void TestSignIn::signIn_data()
{
    QTest::addColumn<SignIn::Kind>("kind");
    QTest::addColumn<QStringList>("passwords"); // one per question, kCancel for Cancel
    QTest::addColumn<bool>("shown");

    // The engine keeps accepted credentials for the rest of the process and sends them
    // without asking, so for each kind the row that gets in comes last.
    const SignIn::Kind server = SignIn::Kind::Server;
    const SignIn::Kind proxy = SignIn::Kind::Proxy;
    QTest::newRow("server, cancelled") << server << QStringList{kCancel} << false;
    QTest::newRow("server, refused, then cancelled") << server << QStringList{"wrong", kCancel} << false;
    QTest::newRow("server, refused, then right") << server << QStringList{"wrong", "orbisk-demo"} << true;
    QTest::newRow("proxy, cancelled") << proxy << QStringList{kCancel} << false;
    QTest::newRow("proxy, refused, then right") << proxy << QStringList{"wrong", "proxy-pass"} << true;
}

void TestSignIn::signIn()
{
    QFETCH(SignIn::Kind, kind);
    QFETCH(QStringList, passwords);
    QFETCH(bool, shown);
    const bool isProxy = kind == SignIn::Kind::Proxy;
    const QString sUser = isProxy ? QStringLiteral("alice") : QStringLiteral("demo");
    orbisk::test::removeClientFiles();
    m_client.start();
    CMainWindow* window = m_client.window;
    window->setCertificateGuard(m_server.guard());
    QList<SignIn::Request> asked;
    window->setCredentialsAsker([&](const SignIn::Request& request, Answer* pAnswer, bool* pRemember) {
        asked.append(request);
        const QString sPassword = passwords.value(asked.size() - 1, kCancel);
        *pAnswer = {sUser, sPassword};
        *pRemember = false;
        return sPassword != kCancel;
    });

    const QString sUrl = isProxy ? proxiedUrl() : m_server.baseUrl() + QStringLiteral("/signin");
    QVERIFY(m_client.loadSettled(QStringLiteral("signin"), sUrl, kEngineTimeoutMs));

    QCOMPARE(window->m_isPageShown, shown);
    QCOMPARE(asked.size(), passwords.size());
    const QString sWho = isProxy ? m_sProxyWho : QStringLiteral("127.0.0.1");
    for (int i = 0; i < asked.size(); ++i) {
        QCOMPARE(asked.at(i).kind, kind);
        QCOMPARE(asked.at(i).sWho, sWho);
        QCOMPARE(asked.at(i).sRealm, isProxy ? QStringLiteral("Orbisk proxy") : QStringLiteral("Orbisk demo"));
        // A refusal comes back with the user name that was given.
        QCOMPARE(asked.at(i).isRefused, i > 0);
        QCOMPARE(asked.at(i).sUser, i > 0 ? sUser : QString());
    }
    if (!shown) {
        const LanguageTexts& texts = window->shownTexts();
        QCOMPARE(
            window->m_pLoginUI->m_pLabelTip->text(), isProxy ? texts.ProxySignInRequired : texts.ServerSignInRequired);
    } else if (isProxy) {
        QVERIFY(m_proxy.tunnels().contains(kProxiedHost + QLatin1Char(':') + QString::number(m_server.port())));
    }
    m_client.stop();
}

// The update check goes through the system's proxy too. Started by the user it may ask
// for the proxy's sign-in; the quiet check only uses what is remembered, here nothing.
void TestSignIn::updateCheckGoesThroughTheProxy_data()
{
    QTest::addColumn<bool>("quiet");
    QTest::newRow("started by the user") << false;
    QTest::newRow("quiet") << true;
}

void TestSignIn::updateCheckGoesThroughTheProxy()
{
    QFETCH(bool, quiet);
    orbisk::test::removeClientFiles();
    m_client.managed.updateManifestUrl = QUrl(proxiedUrl() + QStringLiteral("/version.json"));
    m_client.start();
    int asked = 0;
    m_client.window->setCredentialsAsker([&asked](const SignIn::Request& request, Answer* pAnswer, bool*) {
        asked += request.kind == SignIn::Kind::Proxy ? 1 : 100;
        *pAnswer = {QStringLiteral("alice"), QStringLiteral("proxy-pass")};
        return true;
    });
    const int tunnelsBefore = m_proxy.tunnels().size();
    const int challengesBefore = m_proxy.challenges();

    m_client.window->slot_checkupdate(quiet);
    CCheckUpdateUI* check = m_client.window->m_pCheckUpdateUI;
    QSignalSpy finished(&check->m_manager, &QNetworkAccessManager::finished);
    // A failed check the user started says so in a modal dialog: the user closes it.
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [this] {
        if (m_client.window->m_pCheckUpdateUI->isVisible())
            m_client.window->m_pCheckUpdateUI->reject();
    });
    closer.start(50);
    // The request starts once the event loop runs again (with a proxy script, once the
    // script chose), and is let go when it ended.
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kEngineTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!check->m_pReply, kEngineTimeoutMs);
    const QString sTunnel = kProxiedHost + QLatin1Char(':') + QString::number(m_server.port());
    QCOMPARE(asked, quiet ? 0 : 1);
    // Refused without credentials once, never again and again.
    QCOMPARE(m_proxy.challenges(), challengesBefore + 1);
    QCOMPARE(m_proxy.tunnels().mid(tunnelsBefore), quiet ? QStringList() : QStringList{sTunnel});
    m_client.stop();
    m_client.managed = m_managed;
}

ORBISK_WEBENGINE_TEST_MAIN(TestSignIn)
#include "test_signin.moc"
