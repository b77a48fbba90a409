// From the login window to a server's page and back to the next start, in the real
// engine against the demo server: a typed server, a chosen one, the default one.
#include "login/CCombox.h"
#include "login/CLoginUI.h"
#include "login/ItemWidgetFile.h"
#include "mainwindow/CMainWindow.h"

#include "ClientWindows.h"
#include "DemoServer.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>

using namespace orbisk::test;

class TestLoginRoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void typedServerShowsItsPageAndIsRemembered();
    void chosenServerShowsItsPage();
    void defaultServerIsConnectedAtStart();

private:
    // Starts the client with the demo server's certificate trusted, as a start without arguments.
    void startTrusting();
    void verifyPageShownFor(const QString& url);

    DemoServer m_server;
    ClientWindows m_client;
};

void TestLoginRoad::initTestCase()
{
    prepareTestEnvironment();
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
}

void TestLoginRoad::init()
{
    removeClientFiles();
}

void TestLoginRoad::cleanup()
{
    m_client.stop();
}

void TestLoginRoad::startTrusting()
{
    m_client.start();
    m_client.trust(m_server);
    m_client.present();
}

void TestLoginRoad::verifyPageShownFor(const QString& url)
{
    CMainWindow* window = m_client.window;
    QTRY_VERIFY_WITH_TIMEOUT(window->m_isPageShown, kLoginTimeoutMs);
    QVERIFY(window->isVisible());
    QVERIFY(window->windowState().testFlag(Qt::WindowMaximized));
    QVERIFY(!m_client.login->isVisible());
    QCOMPARE(window->menuWidget(), window->m_pMenuBar);
    QCOMPARE(window->m_sCurUrl, url);
    QVERIFY(window->m_pActExitServer->isVisible());
    QCOMPARE(window->m_pMenuServer->actions().last(), window->m_pActExitServer);
    const QStringList requests = m_server.requests();
    const bool loginPageAsked = std::any_of(requests.begin(), requests.end(),
        [](const QString& request) { return request.startsWith(QStringLiteral("/app/login?uuid=")); });
    QVERIFY2(loginPageAsked, qPrintable(requests.join(QLatin1Char(' '))));
}

void TestLoginRoad::typedServerShowsItsPageAndIsRemembered()
{
    const QString url = m_server.baseUrl();
    const ServerEntry expected{QStringLiteral("Demo"), url, false};

    startTrusting();
    CLoginUI* login = m_client.login;
    QVERIFY(QTest::qWaitForWindowExposed(login));
    QVERIFY(login->m_pEditAddress->isVisible());

    QTest::keyClicks(login->m_pEditAddress, url.mid(QStringLiteral("https://").size()));
    QTest::keyClicks(login->m_pEditAlias, expected.name);
    QTest::mouseClick(login->m_pBtnContinue, Qt::LeftButton);

    verifyPageShownFor(url);
    QCOMPARE(m_client.window->serverBook().servers(), ServerList{expected});
    QCOMPARE(readServerFile(), ServerList{expected});
    QCOMPARE(rowTexts(login).last(), serverDisplayText(expected));
    QCOMPARE(serverActionTexts(m_client.window).last(), serverDisplayText(expected));
    QCOMPARE(checkedServerAction(m_client.window), serverDisplayText(expected));

    // The next start offers it in the drop-down.
    m_client.restart();
    m_client.present();
    QCOMPARE(rowTexts(m_client.login), QStringList{serverDisplayText(expected)});
    QCOMPARE(serverActionTexts(m_client.window), QStringList{serverDisplayText(expected)});
    QVERIFY(m_client.login->m_pComboServer->isVisible());
    QCOMPARE(m_client.login->m_pComboServer->currentText(), serverDisplayText(expected));
}

void TestLoginRoad::chosenServerShowsItsPage()
{
    const ServerEntry demo{QStringLiteral("Demo (local)"), m_server.baseUrl(), false};
    const ServerEntry closed{
        QStringLiteral("Closed"), QStringLiteral("https://127.0.0.1:%1").arg(unusedLocalPort()), false};
    writeServerFile({demo, closed});
    startTrusting();
    CLoginUI* login = m_client.login;
    QVERIFY(QTest::qWaitForWindowExposed(login));
    QCOMPARE(login->m_pComboServer->currentText(), serverDisplayText(closed));

    QVERIFY(rowOf(login, demo.url));
    QTest::mouseRelease(rowOf(login, demo.url), Qt::LeftButton);
    QTest::mouseClick(login->m_pBtnContinue, Qt::LeftButton);

    verifyPageShownFor(demo.url);
    QCOMPARE(m_client.window->m_sCurName, demo.name);
    QCOMPARE(checkedServerAction(m_client.window), serverDisplayText(demo));
    // Known already: the list and the file stay as they were.
    QCOMPARE(m_client.window->serverBook().servers(), (ServerList{demo, closed}));
    QCOMPARE(readServerFile(), (ServerList{demo, closed}));
}

void TestLoginRoad::defaultServerIsConnectedAtStart()
{
    const ServerEntry demo{QStringLiteral("Demo"), m_server.baseUrl(), true};
    writeServerFile({demo});
    startTrusting();

    verifyPageShownFor(demo.url);
    QCOMPARE(readServerFile(), ServerList{demo});
}

ORBISK_WEBENGINE_TEST_MAIN(TestLoginRoad)
#include "test_loginroad.moc"
