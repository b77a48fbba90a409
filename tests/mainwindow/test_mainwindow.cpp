// The main window's spine: construction from the files on disk, the language routine,
// the quit paths and the browser-active callback from a foreign thread.
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "platform/autostart.h"
#include "servers/ServerListCodec.h"
#include "storage/AppPaths.h"
#include "ui/LanguageTexts.h"

#include "ClientWindows.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <QAction>
#include <QMenu>
#include <QTcpSocket>

#include "core/ValtroHttpd.h"

#include <thread>

namespace {

// Whether the local service still listened when the core logged that it closed the session.
QList<bool> g_listeningAtClose;

void recordCloseOrder(QtMsgType, const QMessageLogContext&, const QString& message)
{
    if (message.startsWith(QLatin1String("CloseActiveApp")) && g_pMainWindow && g_pMainWindow->m_pHttpd)
        g_listeningAtClose << g_pMainWindow->m_pHttpd->isListening();
}

bool localServiceListens()
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, 9887);
    return socket.waitForConnected(1000);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void constructionFollowsTheSettings_data();
    void constructionFollowsTheSettings();
    void constructionReadsTheServerList();
    void languageRoutineAppliesEnglishAndStoresZero();
    void closingTheWindow_data();
    void closingTheWindow();
    void browserActiveFromAnotherThreadRunsOnTheGuiThread();
    void exitStopsTheServiceBeforeClosingTheSession();
    void unusableDataFolderIsNotFatal();

private:
    void buildWindows();
    orbisk::test::ClientWindows m_client;
    CMainWindow* m_window = nullptr;
    CLoginUI* m_login = nullptr;
};

void TestMainWindow::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
}

void TestMainWindow::init()
{
    QFile::remove(AppPaths::dataDir());
    QDir(AppPaths::dataDir()).removeRecursively();
    orbisk::platform::setStartWithSystem(false, QCoreApplication::applicationName(), QString());
}

void TestMainWindow::cleanup()
{
    // A window built without the login window (construction tests) is this test's own.
    if (m_window && m_window != m_client.window) {
        delete m_window;
        g_pMainWindow = nullptr;
    }
    if (m_client.window && m_client.window->m_pHttpd)
        m_client.window->handle_exit_application();
    m_client.stop();
    m_login = nullptr;
    m_window = nullptr;
}

void TestMainWindow::buildWindows()
{
    m_client.start();
    m_window = m_client.window;
    m_login = m_client.login;
}

void TestMainWindow::constructionFollowsTheSettings_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<bool>("autoStart");
    QTest::addColumn<bool>("miniTray");

    QTest::newRow("first start registers itself") << QByteArray() << true << true;
    QTest::newRow("start with the system switched off")
        << QByteArray("[General]\nAutoStart=false\nMiniTray=false\n") << false << false;
}

void TestMainWindow::constructionFollowsTheSettings()
{
    QFETCH(QByteArray, settings);
    QFETCH(bool, autoStart);
    QFETCH(bool, miniTray);

    // A stale entry from an earlier start must go when the setting is off.
    QVERIFY(orbisk::platform::setStartWithSystem(
        true, QCoreApplication::applicationName(), QCoreApplication::applicationFilePath()));
    if (!settings.isEmpty())
        QVERIFY(orbisk::test::writeFileContent(AppPaths::settingsFile(), settings));

    m_window = new CMainWindow(nullptr);
    QCOMPARE(m_window->settings().autoStart, autoStart);
    QCOMPARE(m_window->settings().miniTray, miniTray);
    QCOMPARE(m_window->settings().language, 0);
    QCOMPARE(orbisk::platform::isStartWithSystemRegistered(QCoreApplication::applicationName()), autoStart);
    QVERIFY(m_window->m_pTray);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_window->size(), QSize(800, 600));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Orbisk Client"));
}

void TestMainWindow::constructionReadsTheServerList()
{
    const ServerList entries{{QStringLiteral("one"), QStringLiteral("https://one"), false},
        {QStringLiteral("two"), QStringLiteral("https://two"), true}};
    QVERIFY(orbisk::test::writeFileContent(AppPaths::serverListFile(), ServerListCodec::serialize(entries)));
    m_window = new CMainWindow(nullptr);
    QCOMPARE(m_window->serverBook().servers(), entries);

    m_window->serverBook().remove(entries.first().url);
    QCOMPARE(ServerListCodec::parse(orbisk::test::fileContent(AppPaths::serverListFile())), ServerList{entries.last()});
}

void TestMainWindow::languageRoutineAppliesEnglishAndStoresZero()
{
    QVERIFY(orbisk::test::writeFileContent(
        AppPaths::settingsFile(), "[General]\nLanguage=1\nMiniTray=false\nExtra=kept\n"));
    buildWindows();

    QCOMPARE(m_window->settings().language, 0);
    QVERIFY(!m_window->shownTexts().Server.isEmpty());
    QCOMPARE(m_window->shownTexts().Exit, QStringLiteral("Quit"));
    QCOMPARE(m_window->m_pMenuServer->title(), QStringLiteral("Server"));
    QCOMPARE(m_window->m_pMenuHelp->title(), QStringLiteral("Help"));
    QCOMPARE(m_window->m_pActExitServer->text(), QStringLiteral("Exit server"));
    // The downloads entry follows a separator; it stays hidden until a download manager is set.
    const QStringList helpTexts{QStringLiteral("About"), QStringLiteral("Settings"), QStringLiteral("Device code"),
        QStringLiteral("Check update"), QString(), QStringLiteral("Downloads")};
    QStringList shown;
    for (QAction* action : m_window->m_pMenuHelp->actions())
        shown << action->text();
    QCOMPARE(shown, helpTexts);

    // The core may ask for any language; the interface stays English.
    m_window->slot_switch_language(1);
    QCOMPARE(m_window->shownTexts().ConnectFailed,
        QStringLiteral("Server connection failed, please check network or change server address"));

    QSettings ini(AppPaths::settingsFile(), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("Language")).toInt(), 0);
    QCOMPARE(ini.value(QStringLiteral("MiniTray")).toString(), QStringLiteral("false"));
    QCOMPARE(ini.value(QStringLiteral("Extra")).toString(), QStringLiteral("kept"));
}

void TestMainWindow::closingTheWindow_data()
{
    QTest::addColumn<bool>("miniTray");
    QTest::newRow("MiniTray on: the window only hides") << true;
    QTest::newRow("MiniTray off: the application ends") << false;
}

void TestMainWindow::closingTheWindow()
{
    QFETCH(bool, miniTray);
    if (!miniTray)
        QVERIFY(orbisk::test::writeFileContent(AppPaths::settingsFile(), "[General]\nMiniTray=false\n"));
    buildWindows();
    m_window->startCoreServices();
    QCOMPARE(m_window->settings().miniTray, miniTray);
    QVERIFY(localServiceListens());
    m_window->show();
    QVERIFY(m_window->close());
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_window->m_pTray != nullptr, miniTray);
    QCOMPARE(localServiceListens(), miniTray);
    // A second exit (for example the tray's after a close) must be harmless.
    if (!miniTray)
        m_window->handle_exit_application();
}

void TestMainWindow::browserActiveFromAnotherThreadRunsOnTheGuiThread()
{
    buildWindows();
    m_window->startCoreServices();

    QThread* slotThread = nullptr;
    connect(
        m_window, &CMainWindow::sig_return, m_window, [&slotThread] { slotThread = QThread::currentThread(); },
        Qt::DirectConnection);
    QSignalSpy returned(m_window, &CMainWindow::sig_return);

    std::thread caller([] { onBrowserActive(); });
    caller.join();
    // Delivered through the event loop, never on the caller's thread.
    QCOMPARE(returned.count(), 0);
    // QTRY rather than QSignalSpy::wait: an earlier test's quit() makes every later
    // nested event loop return at once, while plain event processing still works.
    QTRY_COMPARE_WITH_TIMEOUT(returned.count(), 1, 30000);
    QCOMPARE(slotThread, QThread::currentThread());
    QVERIFY(g_isBrowserMode);
    QVERIFY(!m_login->isVisible());
    QVERIFY(!m_window->m_isPageShown);
}

void TestMainWindow::exitStopsTheServiceBeforeClosingTheSession()
{
    buildWindows();
    m_window->startCoreServices();
    QVERIFY(m_window->m_pHttpd->isListening());

    g_listeningAtClose.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordCloseOrder);
    m_window->handle_exit_application();
    qInstallMessageHandler(previous);

    QCOMPARE(g_listeningAtClose, QList<bool>{false});
    QVERIFY(!m_window->m_pTray);
}

void TestMainWindow::unusableDataFolderIsNotFatal()
{
    // A regular file where the data folder should be: nothing can be read or written.
    const QString dataDir = AppPaths::dataDir();
    QVERIFY(orbisk::test::writeFileContent(dataDir, "in the way"));
    buildWindows();
    m_window->serverBook().add({QStringLiteral("a"), QStringLiteral("https://a"), true});
    m_window->writeSettings();
    QVERIFY(!m_window->shownTexts().Server.isEmpty());
    QCOMPARE(m_window->serverBook().servers().size(), 1);
    QVERIFY(QFileInfo(dataDir).isFile());
    QCOMPARE(orbisk::test::fileContent(dataDir), QByteArray("in the way"));
}

ORBISK_WEBENGINE_TEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
