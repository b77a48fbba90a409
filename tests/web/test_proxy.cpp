// The page and the client's own requests behind a proxy that asks for sign-in, with
// the system's proxy configuration as the environment gives it (https_proxy).
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "ui/LanguageTexts.h"
#include "web/ManagedNetwork.h"

#include "ClientWindows.h"
#include "ConnectProxy.h"
#include "TestEnvironment.h"
#include "TrustedDemoServer.h"
#include "WebEngineTestMain.h"
#include "WebTestSupport.h"

#include <QAuthenticator>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QtTest>

using orbisk::test::kEngineTimeoutMs;
using Answer = KeychainCredentials::Credentials;

namespace {
// A name only the proxy resolves.
const QString kHost = QStringLiteral("demo.orbisk.test");
const QString kCancel = QStringLiteral("<cancel>");
} // namespace

class TestProxy : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pageSignsInToTheProxy_data();
    void pageSignsInToTheProxy();
    void clientRequestsGoThroughTheProxy();

private:
    QString serverUrl() const { return QStringLiteral("https://%1:%2").arg(kHost).arg(m_server.port()); }

    orbisk::test::TrustedDemoServer m_server;
    orbisk::test::ConnectProxy m_proxy{QStringLiteral("alice"), QStringLiteral("proxy-pass")};
    orbisk::test::ClientWindows m_client;
};

void TestProxy::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
    m_server.trustAs(kHost);
    QVERIFY(m_proxy.listen());
    // As a company desktop sets it; read when the engine and the first request start.
    qputenv("https_proxy", QStringLiteral("http://127.0.0.1:%1").arg(m_proxy.port()).toLatin1());
    orbisk::applyNetwork(orbisk::ManagedConfig(), {});
}

void TestProxy::pageSignsInToTheProxy_data()
{
    QTest::addColumn<QStringList>("passwords"); // one per question, kCancel for Cancel
    QTest::addColumn<bool>("shown");

    // The engine keeps accepted proxy credentials for the rest of the process, so the
    // row that gets through comes last.
    QTest::newRow("cancelled") << QStringList{kCancel} << false;
    QTest::newRow("refused, then right") << QStringList{QStringLiteral("wrong"), QStringLiteral("proxy-pass")} << true;
}

void TestProxy::pageSignsInToTheProxy()
{
    QFETCH(QStringList, passwords);
    QFETCH(bool, shown);
    orbisk::test::removeClientFiles();
    m_client.start();
    CMainWindow* window = m_client.window;
    window->setCertificateGuard(m_server.guard());
    QList<SignIn::Request> asked;
    window->setCredentialsAsker([&](const SignIn::Request& request, Answer* pAnswer, bool* pRemember) {
        asked.append(request);
        const QString sPassword = passwords.value(asked.size() - 1, kCancel);
        *pAnswer = {QStringLiteral("alice"), sPassword};
        *pRemember = false;
        return sPassword != kCancel;
    });

    QVERIFY(m_client.loadSettled(QStringLiteral("proxied"), serverUrl(), kEngineTimeoutMs));

    QCOMPARE(window->m_isPageShown, shown);
    QCOMPARE(asked.size(), passwords.size());
    for (const SignIn::Request& request : asked) {
        QCOMPARE(request.kind, SignIn::Kind::Proxy);
        QCOMPARE(request.sWho, QStringLiteral("127.0.0.1:%1").arg(m_proxy.port()));
    }
    if (shown)
        QVERIFY(m_proxy.tunnels().contains(kHost + QLatin1Char(':') + QString::number(m_server.port())));
    else
        QCOMPARE(window->m_pLoginUI->m_pLabelTip->text(), window->shownTexts().ProxySignInRequired);
    m_client.stop();
}

// What the update check uses: a network access manager on the application's proxy set-up.
void TestProxy::clientRequestsGoThroughTheProxy()
{
    QNetworkAccessManager manager;
    int challenges = 0;
    connect(&manager, &QNetworkAccessManager::proxyAuthenticationRequired, this,
        [&challenges](const QNetworkProxy&, QAuthenticator* pAuthenticator) {
            ++challenges;
            pAuthenticator->setUser(QStringLiteral("alice"));
            pAuthenticator->setPassword(QStringLiteral("proxy-pass"));
        });
    const int tunnelsBefore = m_proxy.tunnels().size();
    QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(serverUrl() + QStringLiteral("/"))));
    // The demo certificate does not name the proxy's host: only the route is checked.
    reply->ignoreSslErrors();
    QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), kEngineTimeoutMs);
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QCOMPARE(challenges, 1);
    QCOMPARE(
        m_proxy.tunnels().mid(tunnelsBefore), QStringList{kHost + QLatin1Char(':') + QString::number(m_server.port())});
    delete reply;
}

ORBISK_WEBENGINE_TEST_MAIN(TestProxy)
#include "test_proxy.moc"
