// The menu bar, the ways between the page and the login window, and the tray icon.
#include "dialogs/CMiniTray.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "storage/AppPaths.h"

#include "ClientWindows.h"
#include "DemoServer.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

namespace {

QStringList menuTitles(const QMenuBar* bar)
{
    QStringList titles;
    for (const QAction* action : bar->actions())
        titles << action->text();
    return titles;
}

QList<QAction*> visibleActions(const QMenu* menu)
{
    QList<QAction*> visible;
    for (QAction* action : menu->actions()) {
        if (action->isVisible())
            visible << action;
    }
    return visible;
}

int checkedActions(const QMenu* menu)
{
    int count = 0;
    for (const QAction* action : menu->actions())
        count += action->isChecked() ? 1 : 0;
    return count;
}

} // namespace

class TestMenus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void menuBarHasTwoMenusOnTheLoginWindow();
    void presentationFollowsTheArgumentCount_data();
    void presentationFollowsTheArgumentCount();
    void sameServerCanBeChosenAgainAfterLeavingIt();
    void serverMenuFollowsTheList_data();
    void serverMenuFollowsTheList();
    void exitServerReturnsToTheLoginWindow();
    void returnAndBrowserActiveDoNotShowTheLoginWindow();
    void browserActiveBeforeTheDelayStopsTheAutomaticLogin();
    void trayLeftClickBringsTheCurrentWindow_data();
    void trayLeftClickBringsTheCurrentWindow();
    void trayMenuIsInstalledWithOpenAboveQuit();
    void trayOpenBringsTheCurrentWindowBack_data();
    void trayOpenBringsTheCurrentWindowBack();
    void trayQuitEndsTheApplicationEvenWithMiniTrayOn();

private:
    void startClient();
    orbisk::test::ClientWindows m_client;
    CMainWindow* m_window = nullptr;
    CLoginUI* m_login = nullptr;
};

void TestMenus::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
}

void TestMenus::init()
{
    orbisk::test::removeClientFiles();
}

void TestMenus::cleanup()
{
    m_client.stop();
    CMiniTray::setAvailabilityProbe([] { return true; });
}

// The start sequence of the client up to the first presentation, without the core services.
void TestMenus::startClient()
{
    m_client.start();
    m_client.present();
    m_window = m_client.window;
    m_login = m_client.login;
}

void TestMenus::menuBarHasTwoMenusOnTheLoginWindow()
{
    startClient();
    QCOMPARE(m_window->m_pMenuBar->parentWidget(), m_login);
    QCOMPARE(menuTitles(m_window->m_pMenuBar), (QStringList{QStringLiteral("Server"), QStringLiteral("Help")}));
    QVERIFY(m_login->isVisible());
    QVERIFY(!m_window->isVisible());
}

void TestMenus::presentationFollowsTheArgumentCount_data()
{
    QTest::addColumn<int>("argumentCount");
    QTest::addColumn<bool>("miniTray");
    QTest::addColumn<bool>("tray");
    QTest::addColumn<bool>("loginShown");
    QTest::addColumn<bool>("browserMode");
    QTest::addColumn<bool>("delayedLogin");

    QTest::newRow("no arguments") << 1 << true << true << true << false << true;
    QTest::newRow("no program path at all") << 0 << true << true << true << false << true;
    QTest::newRow("one argument: browser mode, no window") << 2 << true << true << false << true << false;
    QTest::newRow("one argument, minimise-to-tray off: still no window")
        << 2 << false << true << false << true << false;
    QTest::newRow("start with the system, tray on: stays in the tray") << 3 << true << true << false << false << true;
    QTest::newRow("start with the system, tray off") << 3 << false << true << true << false << true;
    QTest::newRow("three arguments") << 4 << true << true << true << false << true;
    // Without a tray nothing starts hidden: nothing could bring it back.
    QTest::newRow("no tray, no arguments") << 1 << true << false << true << false << true;
    QTest::newRow("no tray, one argument: browser mode shown") << 2 << true << false << true << true << false;
    QTest::newRow("no tray, start with the system: shown, still connects")
        << 3 << true << false << true << false << true;
}

void TestMenus::presentationFollowsTheArgumentCount()
{
    QFETCH(int, argumentCount);
    QFETCH(bool, miniTray);
    QFETCH(bool, tray);
    QFETCH(bool, loginShown);
    QFETCH(bool, browserMode);
    QFETCH(bool, delayedLogin);

    CMiniTray::setAvailabilityProbe([tray] { return tray; });
    m_client.start();
    m_client.window->settings().miniTray = miniTray;
    m_client.window->presentForArguments(argumentCount);
    QCOMPARE(m_client.login->isVisible(), loginShown);
    QVERIFY(!m_client.window->isVisible());
    QCOMPARE(g_isBrowserMode, browserMode);
    QCOMPARE(m_client.window->m_pDelayTimer != nullptr, delayedLogin);
    QCOMPARE(m_client.window->m_pMenuBar->parentWidget(), m_client.login);
}

void TestMenus::sameServerCanBeChosenAgainAfterLeavingIt()
{
    orbisk::test::DemoServer server;
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    orbisk::test::writeServerFile({{QStringLiteral("Demo"), server.baseUrl(), false}});
    startClient();
    m_client.trust(server);
    QAction* action = m_window->m_pMenuServer->actions().first();

    for (int round = 0; round < 2; ++round) {
        action->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->m_isPageShown, 60000);
        QVERIFY(action->isChecked());
        QVERIFY(m_window->m_pActExitServer->isVisible());
        QCOMPARE(m_window->m_pMenuBar->parentWidget(), m_window);

        m_window->m_pActExitServer->trigger();
        QVERIFY(!m_window->m_pWebView);
        QCOMPARE(checkedActions(m_window->m_pMenuServer), 0);
        QVERIFY(!m_window->m_pActExitServer->isVisible());
        QVERIFY(m_login->isVisible());
    }
}

void TestMenus::serverMenuFollowsTheList_data()
{
    QTest::addColumn<ServerList>("servers");
    QTest::newRow("no servers: nothing to show") << ServerList{};
    QTest::newRow("two servers in file order")
        << ServerList{{QStringLiteral("Office"), QStringLiteral("https://office.example"), false},
               {QStringLiteral("Home"), QStringLiteral("https://home.example:8443"), false}};
}

void TestMenus::serverMenuFollowsTheList()
{
    QFETCH(ServerList, servers);
    orbisk::test::writeServerFile(servers);
    startClient();

    const QList<QAction*> shown = visibleActions(m_window->m_pMenuServer);
    QCOMPARE(shown.size(), servers.size());
    for (int i = 0; i < servers.size(); ++i) {
        QCOMPARE(shown.at(i)->text(), serverDisplayText(servers.at(i)));
        QCOMPARE(shown.at(i)->toolTip(), servers.at(i).url);
        QCOMPARE(shown.at(i)->objectName(), servers.at(i).name);
        QVERIFY(shown.at(i)->isCheckable());
    }
    // The hidden exit action stays last.
    QCOMPARE(m_window->m_pMenuServer->actions().last(), m_window->m_pActExitServer);
    QVERIFY(!m_window->m_pActExitServer->isVisible());
}

void TestMenus::exitServerReturnsToTheLoginWindow()
{
    orbisk::test::writeServerFile({{QStringLiteral("a"), QStringLiteral("https://a.example"), false}});
    startClient();
    // The page state as a successful load leaves it.
    m_login->hide();
    m_window->setMenuBar(m_window->m_pMenuBar);
    m_window->show();
    m_window->m_isPageShown = true;
    m_window->m_pActExitServer->setVisible(true);
    m_window->m_pMenuServer->actions().first()->setChecked(true);

    m_window->slot_exitServer();

    QCOMPARE(checkedActions(m_window->m_pMenuServer), 0);
    QVERIFY(!m_window->m_pActExitServer->isVisible());
    QVERIFY(!m_window->m_isPageShown);
    QVERIFY(!m_window->isVisible());
    QVERIFY(m_login->isVisible());
    QCOMPARE(m_window->m_pMenuBar->parentWidget(), m_login);
    QCOMPARE(menuTitles(m_window->m_pMenuBar), (QStringList{QStringLiteral("Server"), QStringLiteral("Help")}));
}

void TestMenus::returnAndBrowserActiveDoNotShowTheLoginWindow()
{
    startClient();
    m_login->hide();
    m_window->m_isPageShown = true;

    m_window->slot_return();
    QVERIFY(!m_login->isVisible());
    QVERIFY(!m_window->m_isPageShown);
    QVERIFY(!g_isBrowserMode);

    m_window->slot_browserActive();
    QVERIFY(!m_login->isVisible());
    QVERIFY(g_isBrowserMode);
    QVERIFY(m_login->m_isBrowserModel);
}

void TestMenus::browserActiveBeforeTheDelayStopsTheAutomaticLogin()
{
    // A default server on a closed port: were it loaded, a page view would exist.
    orbisk::test::writeServerFile({{QStringLiteral("a"), QStringLiteral("http://127.0.0.1:1"), true}});
    startClient();
    QVERIFY(m_window->m_pDelayTimer);

    onBrowserActive();

    QTRY_VERIFY_WITH_TIMEOUT(!m_window->m_pDelayTimer, 30000);
    QVERIFY(!m_window->m_pWebView);
    QVERIFY(!m_window->m_isLoading);
    QVERIFY(g_isBrowserMode);
}

void TestMenus::trayLeftClickBringsTheCurrentWindow_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("pageShown");
    QTest::addColumn<bool>("loginVisible");
    QTest::addColumn<bool>("mainVisible");

    QTest::newRow("click without a page: login window") << int(QSystemTrayIcon::Trigger) << false << true << false;
    QTest::newRow("click with a page: main window") << int(QSystemTrayIcon::Trigger) << true << false << true;
    QTest::newRow("double click does nothing more") << int(QSystemTrayIcon::DoubleClick) << false << false << false;
    QTest::newRow("middle click does nothing") << int(QSystemTrayIcon::MiddleClick) << true << false << false;
    QTest::newRow("unknown does nothing") << int(QSystemTrayIcon::Unknown) << false << false << false;
}

void TestMenus::trayLeftClickBringsTheCurrentWindow()
{
    QFETCH(int, reason);
    QFETCH(bool, pageShown);
    QFETCH(bool, loginVisible);
    QFETCH(bool, mainVisible);

    startClient();
    m_login->hide();
    m_window->m_isPageShown = pageShown;
    m_window->m_pTray->slot_activatedSysTrayIcon(static_cast<QSystemTrayIcon::ActivationReason>(reason));
    QCOMPARE(m_login->isVisible(), loginVisible);
    QCOMPARE(m_window->isVisible(), mainVisible);
}

void TestMenus::trayMenuIsInstalledWithOpenAboveQuit()
{
    startClient();
    CMiniTray* tray = m_window->m_pTray;
    QCOMPARE(tray->toolTip(), QStringLiteral("Orbisk Client"));
    QCOMPARE(tray->contextMenu(), tray->m_pTrayMenu);
    QStringList entries;
    for (const QAction* action : tray->contextMenu()->actions())
        entries << action->text();
    QCOMPARE(entries, (QStringList{QStringLiteral("Open"), QStringLiteral("Quit")}));

    // The host opens the installed menu itself; the right click must not open a second one.
    tray->slot_activatedSysTrayIcon(QSystemTrayIcon::Context);
    QVERIFY(!QApplication::activePopupWidget());
    QVERIFY(m_window->m_pTray);
}

void TestMenus::trayOpenBringsTheCurrentWindowBack_data()
{
    QTest::addColumn<bool>("pageShown");
    QTest::addColumn<bool>("minimised");

    QTest::newRow("login window hidden in the tray") << false << false;
    QTest::newRow("main window hidden in the tray") << true << false;
    QTest::newRow("main window minimised") << true << true;
}

void TestMenus::trayOpenBringsTheCurrentWindowBack()
{
    QFETCH(bool, pageShown);
    QFETCH(bool, minimised);

    startClient();
    m_login->hide();
    m_window->m_isPageShown = pageShown;
    QWidget* target = pageShown ? static_cast<QWidget*>(m_window) : m_login;
    QWidget* other = pageShown ? static_cast<QWidget*>(m_login) : m_window;
    if (minimised)
        target->showMinimized();

    m_window->m_pTray->m_pActOpen->trigger();
    QVERIFY(target->isVisible());
    QVERIFY(!target->isMinimized());
    QVERIFY(!other->isVisible());
    QVERIFY(m_window->m_pTray);
}

void TestMenus::trayQuitEndsTheApplicationEvenWithMiniTrayOn()
{
    startClient();
    QVERIFY(m_window->settings().miniTray);
    m_window->m_pTray->m_pActExit->trigger();
    QVERIFY(!m_window->m_pTray);
}

ORBISK_WEBENGINE_TEST_MAIN(TestMenus)
#include "test_menus.moc"
