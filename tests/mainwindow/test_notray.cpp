// Closing a window on a desktop without a tray, where a hidden window could never be
// brought back, and a tray that comes or goes while the client runs.
#include "dialogs/CMiniTray.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "storage/AppPaths.h"

#include "ClientWindows.h"
#include "TestEnvironment.h"

#include <QtTest>

namespace {

bool g_isTrayAvailable = true;

QString storedMiniTray()
{
    return QSettings(AppPaths::settingsFile(), QSettings::IniFormat).value(QStringLiteral("MiniTray")).toString();
}

} // namespace

class TestNoTray : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void closingAWindow_data();
    void closingAWindow();
    void trayIsAskedAtEachClose();
    void browserTakingOverLeavesAWindow_data();
    void browserTakingOverLeavesAWindow();

private:
    void closeAndCheck(QWidget* window, bool quits);
    orbisk::test::ClientWindows m_client;
};

void TestNoTray::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    CMiniTray::setAvailabilityProbe([] { return g_isTrayAvailable; });
}

void TestNoTray::init()
{
    orbisk::test::removeClientFiles();
    g_isTrayAvailable = true;
}

void TestNoTray::cleanup()
{
    m_client.stop();
}

void TestNoTray::closeAndCheck(QWidget* window, bool quits)
{
    window->show();
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
    // The exit path removes the tray icon; hiding keeps it.
    QCOMPARE(m_client.window->m_pTray == nullptr, quits);
}

void TestNoTray::closingAWindow_data()
{
    QTest::addColumn<bool>("loginWindow");
    QTest::addColumn<bool>("miniTray");
    QTest::addColumn<bool>("tray");
    QTest::addColumn<bool>("quits");

    QTest::newRow("main window, tray: hides") << false << true << true << false;
    QTest::newRow("login window, tray: hides") << true << true << true << false;
    QTest::newRow("main window, no tray: quits") << false << true << false << true;
    QTest::newRow("login window, no tray: quits") << true << true << false << true;
    QTest::newRow("minimise-to-tray off, no tray: quits") << false << false << false << true;
}

void TestNoTray::closingAWindow()
{
    QFETCH(bool, loginWindow);
    QFETCH(bool, miniTray);
    QFETCH(bool, tray);
    QFETCH(bool, quits);

    QVERIFY(AppPaths::ensureDataDir());
    QSettings(AppPaths::settingsFile(), QSettings::IniFormat).setValue(QStringLiteral("MiniTray"), miniTray);
    g_isTrayAvailable = tray;
    m_client.start();
    QCOMPARE(m_client.window->settings().miniTray, miniTray);

    closeAndCheck(loginWindow ? static_cast<QWidget*>(m_client.login) : m_client.window, quits);
    // The choice is the user's: a missing tray never rewrites it.
    QCOMPARE(m_client.window->settings().miniTray, miniTray);
    QCOMPARE(storedMiniTray(), QVariant(miniTray).toString());
}

void TestNoTray::trayIsAskedAtEachClose()
{
    g_isTrayAvailable = false;
    m_client.start();
    m_client.present();
    QVERIFY(m_client.login->isVisible());

    // A tray that appeared after the start takes the hidden window.
    g_isTrayAvailable = true;
    closeAndCheck(m_client.window, false);
    closeAndCheck(m_client.login, false);

    // One that went away again leaves nothing to hide into.
    g_isTrayAvailable = false;
    closeAndCheck(m_client.login, true);
}

void TestNoTray::browserTakingOverLeavesAWindow_data()
{
    QTest::addColumn<bool>("tray");
    QTest::newRow("tray: the client waits there") << true;
    QTest::newRow("no tray: the login window in browser mode") << false;
}

void TestNoTray::browserTakingOverLeavesAWindow()
{
    QFETCH(bool, tray);

    g_isTrayAvailable = tray;
    m_client.start();
    // The page state as a successful load leaves it.
    m_client.login->hide();
    m_client.window->m_isPageShown = true;
    m_client.window->show();

    m_client.window->slot_browserActive();
    QVERIFY(!m_client.window->isVisible());
    QVERIFY(m_client.login->m_isBrowserModel);
    QCOMPARE(m_client.login->isVisible(), !tray);
}

ORBISK_WEBENGINE_TEST_MAIN(TestNoTray)
#include "test_notray.moc"
