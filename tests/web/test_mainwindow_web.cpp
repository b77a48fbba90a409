// The main window's web area end to end in the real engine, against the demo server
// over HTTPS: loading a server's page, accepting it by title, the failures, the
// delayed login and the developer-tools view.
#include "core/ValtroCore.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "mainwindow/LoadProgressBar.h"
#include "ui/LanguageTexts.h"
#include "web/CWebEngineView.h"

#include "ClientWindows.h"
#include "ProcessInspection.h"
#include "TestEnvironment.h"
#include "TrustedDemoServer.h"
#include "WidgetHelpers.h"

#include "ui/MessageBar.h"
#include "web/FindBar.h"

#include "dialogs/CPermissionUI.h"
#include "storage/AppPaths.h"
#include "ui/ServerLostPanel.h"
#include "web/NotificationCenter.h"
#include "web/PageRecovery.h"
#include <QClipboard>
#include <QLineEdit>
#include <QPrinter>

#include "WebTestSupport.h"
#include <csignal>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <algorithm>

using orbisk::test::kEngineTimeoutMs;

namespace {
const QString kApplicationKey = QStringLiteral("E3A95C07B1D84F62A0C7395E1B6D8F24");

// The client's own standard-output lines about finished loads; the test log shares
// standard output, so everything else is left out.
QStringList finishedLines(const orbisk::test::StdoutCapture& output)
{
    return output.text().split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^Slot_LoadUrlFinish")));
}
} // namespace

class TestMainWindowWeb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void loadIsJudgedByResultAndTitle_data();
    void loadIsJudgedByResultAndTitle();
    void badServerUrlLoadsNothing_data();
    void badServerUrlLoadsNothing();
    void slowPageKeepsTheLoginWindowWaiting();
    void rejectedViewIsReusedByTheNextAttempt();
    void laterNavigationOnlyReenablesTheControls();
    void shownPageGetsTheLanguageAndMenuTexts();
    void delayedLoginLoadsTheFirstDefault_data();
    void delayedLoginLoadsTheFirstDefault();
    void f12ShowsThePagesDeveloperTools();
    void menuLoadShowsItsProgress();
    void failedMenuLoadReturnsToTheLoginWindow_data();
    void failedMenuLoadReturnsToTheLoginWindow();
    void killedRendererIsReloadedThenGivenUp();
    void lostServerComesBackByItself();
    void zoomKeysStepAndTheZoomIsRemembered();
    void findBarCountsMatches();
    void windowPrintPrintsThePage();
    void copyLinkButtonFillsTheClipboard();
    void notificationIsAskedForShownAndRemembered();

private:
    // A client on the files the test left, as the user's next start finds them.
    void startClient();
    QString url(QString sPattern) const;
    bool controlsEnabled() const { return m_pLogin->m_pBtnContinue->isEnabled(); }
    QString tipText() const { return m_pLogin->m_pLabelTip->text(); }
    QString connectFailed() const { return m_pWindow->shownTexts().ConnectFailed; }
    // The page requests the server has seen; the engine's icon requests of earlier
    // pages may still arrive late and are left out.
    QStringList pageRequests();
    // Loads the demo server's page as a first connection does; false when it was not
    // shown in time.
    bool showDemoPage();
    // Shows the demo server's page as a first connection does, then chooses the
    // server of sUrl from the server menu.
    void chooseFromTheMenuWhileAPageIsShown(const QString& sUrl);

    orbisk::test::TrustedDemoServer m_server{[this] { return m_pWindow->visibleWindow(); }};
    orbisk::test::ClientWindows m_client;
    CMainWindow* m_pWindow = nullptr;
    CLoginUI* m_pLogin = nullptr;
    ValtroCore* m_pCore = nullptr;
};

void TestMainWindowWeb::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
}

void TestMainWindowWeb::init()
{
    orbisk::test::removeClientFiles();
    startClient();
}

void TestMainWindowWeb::startClient()
{
    m_client.start();
    m_pWindow = m_client.window;
    m_pLogin = m_client.login;
    m_pWindow->setCertificateGuard(m_server.guard());
    // Only the device identity is needed here, not the local service.
    m_pCore = new ValtroCore(kApplicationKey, 1, nullptr);
    m_pWindow->m_pCore = m_pCore;
    m_pLogin->clearTipText();
    m_pLogin->show();
}

void TestMainWindowWeb::cleanup()
{
    m_client.stop();
    delete m_pCore;
    m_pLogin = nullptr;
    m_pWindow = nullptr;
    m_pCore = nullptr;
}

// {BASE} is the demo server's https://127.0.0.1:PORT, {PORT} its port.
QString TestMainWindowWeb::url(QString sPattern) const
{
    return sPattern.replace(QStringLiteral("{BASE}"), m_server.baseUrl())
        .replace(QStringLiteral("{PORT}"), QString::number(m_server.port()));
}

QStringList TestMainWindowWeb::pageRequests()
{
    QStringList pages = m_server.requests();
    pages.erase(std::remove_if(pages.begin(), pages.end(),
                    [](const QString& sTarget) { return sTarget.endsWith(QLatin1String("/favicon.ico")); }),
        pages.end());
    return pages;
}

// A killed renderer (an out-of-memory kill, a crash) is reloaded with a word to the user,
// three times; the fourth time within minutes ends at the login window.
void TestMainWindowWeb::killedRendererIsReloadedThenGivenUp()
{
    QVERIFY(showDemoPage());
    const MessageBar* bar = m_pWindow->m_pMessageBar;
    for (int kill = 1; kill <= PageRecovery::kMaxRestarts; ++kill) {
        QWebEnginePage* page = m_pWindow->m_pWebView->page();
        QTRY_VERIFY_WITH_TIMEOUT(page->renderProcessPid() > 0, kEngineTimeoutMs);
        QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
        QVERIFY(::kill(pid_t(page->renderProcessPid()), SIGKILL) == 0);
        QVERIFY(loaded.wait(kEngineTimeoutMs));
        QCOMPARE(loaded.first().first().toBool(), true);
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->text(), m_pWindow->shownTexts().PageReloaded);
        QCOMPARE(bar->findChild<QPushButton*>()->accessibleName(), m_pWindow->shownTexts().Close);
        QVERIFY(m_pWindow->m_isPageShown);
    }
    QWebEnginePage* page = m_pWindow->m_pWebView->page();
    QTRY_VERIFY_WITH_TIMEOUT(page->renderProcessPid() > 0, kEngineTimeoutMs);
    QVERIFY(::kill(pid_t(page->renderProcessPid()), SIGKILL) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_pLogin->isVisible(), kEngineTimeoutMs);
    QVERIFY(!m_pWindow->m_pWebView);
    QVERIFY(!m_pWindow->m_isPageShown);
    QCOMPARE(tipText(), m_pWindow->shownTexts().PageStoppedRepeatedly);
}

// A reload while the server is down shows the client's message instead of the engine's
// error page; the page comes back by itself once the server answers again.
void TestMainWindowWeb::lostServerComesBackByItself()
{
    QVERIFY(showDemoPage());
    const ServerLostPanel* panel = m_pWindow->m_pServerLost;
    m_server.stop();
    m_pWindow->m_pWebView->page()->triggerAction(QWebEnginePage::Reload);
    QTRY_VERIFY_WITH_TIMEOUT(panel->isVisible(), kEngineTimeoutMs);
    QCOMPARE(panel->text(), m_pWindow->shownTexts().CannotReachServer.arg(QStringLiteral("127.0.0.1")).arg(2));
    QVERIFY(m_pWindow->isVisible());

    QSignalSpy loaded(m_pWindow->m_pWebView->page(), &QWebEnginePage::loadFinished);
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isVisible(), kEngineTimeoutMs);
    QVERIFY(!loaded.isEmpty() && loaded.last().first().toBool());
    QVERIFY(m_pWindow->m_isPageShown);
}

// Ctrl+Plus, Ctrl+= and Ctrl+0 step the page in the engine's steps; the next run
// shows this server's page at the zoom chosen.
void TestMainWindowWeb::zoomKeysStepAndTheZoomIsRemembered()
{
    QVERIFY(showDemoPage());
    QVERIFY(orbisk::test::showExposed(m_pWindow));
    QWebEnginePage* page = m_pWindow->m_pWebView->page();
    QTest::keyClick(m_pWindow, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(m_pWindow, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(page->zoomFactor(), 1.25);
    QCOMPARE(m_pWindow->m_pMessageBar->text(), QStringLiteral("125 %"));

    m_client.stop();
    m_client.start();
    m_pWindow = m_client.window;
    m_pLogin = m_client.login;
    m_pWindow->setCertificateGuard(m_server.guard());
    QVERIFY(showDemoPage());
    QCOMPARE(m_pWindow->m_pWebView->page()->zoomFactor(), 1.25);
    QVERIFY(orbisk::test::showExposed(m_pWindow));
    QTest::keyClick(m_pWindow, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(m_pWindow->m_pWebView->page()->zoomFactor(), 1.0);
    QVERIFY(m_pWindow->settings().zoomFactors.isEmpty());
}

void TestMainWindowWeb::findBarCountsMatches()
{
    QVERIFY(showDemoPage());
    QVERIFY(orbisk::test::showExposed(m_pWindow));
    QTest::keyClick(m_pWindow, Qt::Key_F, Qt::ControlModifier);
    const FindBar* bar = m_pWindow->m_pFindBar;
    QVERIFY(bar->isVisible());
    // The arrow and close buttons have names a screen reader can say.
    for (const QPushButton* button : bar->findChildren<QPushButton*>())
        QVERIFY(!button->accessibleName().isEmpty());
    auto* edit = bar->findChild<QLineEdit*>();
    QVERIFY(edit->hasFocus());
    // "Drop" stands in "Dropped items" and "Drop files or folders".
    QTest::keyClicks(edit, QStringLiteral("Drop"));
    QTRY_COMPARE_WITH_TIMEOUT(bar->countText(), QStringLiteral("1 of 2"), kEngineTimeoutMs);
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(bar->countText(), QStringLiteral("2 of 2"), kEngineTimeoutMs);
    QTest::keyClick(edit, Qt::Key_Return, Qt::ShiftModifier);
    QTRY_COMPARE_WITH_TIMEOUT(bar->countText(), QStringLiteral("1 of 2"), kEngineTimeoutMs);
    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
}

// The page's window.print() goes to the printer the user chooses; here a PDF file.
void TestMainWindowWeb::windowPrintPrintsThePage()
{
    QVERIFY(showDemoPage());
    const QString sPdf = orbisk::test::scratchDir(QStringLiteral("print")) + QStringLiteral("/page.pdf");
    QFile::remove(sPdf);
    m_pWindow->setPrintChooser([sPdf](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(sPdf);
        return true;
    });
    m_pWindow->m_pWebView->page()->runJavaScript(QStringLiteral("window.print()"));
    QVERIFY(orbisk::test::waitUntil(
        [sPdf] { return orbisk::test::fileContent(sPdf).contains("%%EOF"); }, kEngineTimeoutMs));
    const QByteArray pdf = orbisk::test::fileContent(sPdf);
    QVERIFY(pdf.startsWith("%PDF-"));
    // The page tree and at least one page.
    QVERIFY(pdf.count("/Type /Page") >= 2);
}

// The page's "copy link" button puts the address on the system clipboard when the user
// clicks it; reading the clipboard without a user action stays refused.
void TestMainWindowWeb::copyLinkButtonFillsTheClipboard()
{
    QVERIFY(showDemoPage());
    QVERIFY(orbisk::test::showExposed(m_pWindow));
    QWebEnginePage* page = m_pWindow->m_pWebView->page();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    const QVariantList centre = orbisk::test::evaluateJavaScript(page,
        QStringLiteral("(() => { const r = document.getElementById('copy-link').getBoundingClientRect();"
                       " return [r.x + r.width / 2, r.y + r.height / 2]; })()"))
                                    .toList();
    QCOMPARE(centre.size(), 2);
    QWidget* renderer = m_pWindow->m_pWebView->focusProxy();
    QVERIFY(renderer);
    QTest::mouseClick(
        renderer, Qt::LeftButton, Qt::NoModifier, QPoint(int(centre.at(0).toDouble()), int(centre.at(1).toDouble())));
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), page->url().toString(), kEngineTimeoutMs);

    orbisk::test::evaluateJavaScript(page,
        QStringLiteral("window.readResult = 'pending'; navigator.clipboard.readText()"
                       ".then(() => window.readResult = 'read', () => window.readResult = 'refused'); 0"));
    QTRY_COMPARE_WITH_TIMEOUT(orbisk::test::evaluateJavaScript(page, QStringLiteral("window.readResult")).toString(),
        QStringLiteral("refused"), kEngineTimeoutMs);
}

// The demo page's "Notify me": the server asks once, the notification is shown and
// clicked as the page hears it, location is refused without a question, and the answer
// is the page's Notification.permission after a restart.
void TestMainWindowWeb::notificationIsAskedForShownAndRemembered()
{
    QVERIFY(showDemoPage());
    QWebEnginePage* page = m_pWindow->m_pWebView->page();
    QSignalSpy shown(m_pWindow->m_pNotifications, &NotificationCenter::shown);
    const auto pageValue = [&page](const char* script) {
        return orbisk::test::evaluateJavaScript(page, QString::fromLatin1(script)).toString();
    };
    pageValue("document.getElementById('notify-me').click(); ''");
    CPermissionUI* dialog = nullptr;
    QVERIFY(orbisk::test::waitUntil(
        [&dialog] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->isVisible() && qobject_cast<CPermissionUI*>(widget))
                    dialog = qobject_cast<CPermissionUI*>(widget);
            }
            return dialog != nullptr;
        },
        kEngineTimeoutMs));
    QCOMPARE(dialog->origin().host(), QStringLiteral("127.0.0.1"));
    QTest::keyClick(dialog, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, kEngineTimeoutMs);
    const QVariantList first = shown.takeFirst();
    QCOMPARE(first.mid(1),
        (QVariantList{
            QStringLiteral("Transfer finished"), QStringLiteral("report.pdf arrived"), QStringLiteral("127.0.0.1")}));
    QTRY_COMPARE_WITH_TIMEOUT(pageValue("String(notificationsShown)"), QStringLiteral("1"), kEngineTimeoutMs);
    m_pWindow->m_pNotifications->click(first.at(0).toInt());
    QTRY_COMPARE_WITH_TIMEOUT(pageValue("String(notificationsClicked)"), QStringLiteral("1"), kEngineTimeoutMs);

    // A page that floods the desktop loses its oldest notifications, never the client its memory.
    pageValue("for (let i = 0; i < 30; ++i) new Notification('n' + i); ''");
    QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 30, kEngineTimeoutMs);
    QCOMPARE(m_pWindow->m_pNotifications->count(), NotificationCenter::kMaxKept);

    pageValue("window.where = 'pending'; navigator.geolocation.getCurrentPosition("
              "() => where = 'granted', e => where = 'refused ' + e.code); ''");
    QTRY_COMPARE_WITH_TIMEOUT(pageValue("where"), QStringLiteral("refused 1"), kEngineTimeoutMs);

    // The engine keeps answers for the process; each round starts it without them, so
    // only the file can bring the answer back.
    const QUrl origin(m_server.baseUrl());
    for (const bool keepFile : {true, false}) {
        cleanup();
        QWebEnginePage forget(QWebEngineProfile::defaultProfile());
        forget.setFeaturePermission(origin, QWebEnginePage::Notifications, QWebEnginePage::PermissionUnknown);
        if (!keepFile)
            QVERIFY(QFile::remove(AppPaths::permissionsFile()));
        startClient();
        QVERIFY(showDemoPage());
        page = m_pWindow->m_pWebView->page();
        QCOMPARE(
            pageValue("Notification.permission"), keepFile ? QStringLiteral("granted") : QStringLiteral("default"));
    }
}

bool TestMainWindowWeb::showDemoPage()
{
    m_pWindow->handle_load(QStringLiteral("demo"), m_server.baseUrl(), true);
    return orbisk::test::waitUntil([this] { return m_pWindow->m_isPageShown; }, kEngineTimeoutMs);
}

void TestMainWindowWeb::loadIsJudgedByResultAndTitle_data()
{
    QTest::addColumn<QString>("serverUrl");
    QTest::addColumn<bool>("isLogin");
    QTest::addColumn<QString>("requestPath"); // empty: not checked
    QTest::addColumn<bool>("loaded"); // what the engine reports of the load
    QTest::addColumn<bool>("accepted");

    QTest::newRow("Orbisk login page") << "{BASE}" << true << "/app/login?uuid=" << true << true;
    QTest::newRow("valtro-enterprise title") << "{BASE}/valtro" << true << "/valtro/app/login?uuid=" << true << true;
    QTest::newRow("upper-case scheme") << "HTTPS://127.0.0.1:{PORT}" << true << "/app/login?uuid=" << true << true;
    QTest::newRow("trailing slash gives two") << "{BASE}/" << true << "//app/login?uuid=" << true << true;
    QTest::newRow("test page") << "{BASE}" << false << "/qz4n-test" << true << true;
    QTest::newRow("VALTRO-ENTERPRISE title") << "{BASE}/VALTRO" << true << "/VALTRO/app/login?uuid=" << true << false;
    QTest::newRow("title without either word") << "{BASE}/other" << true << "/other/app/login?uuid=" << true << false;
    // Failed loads show the connection failure.
    QTest::newRow("closed port") << QStringLiteral("https://127.0.0.1:%1").arg(orbisk::test::unusedLocalPort()) << true
                                 << QString() << false << false;
    QTest::newRow("plain http to an https port") << "http://127.0.0.1:{PORT}" << true << QString() << false << false;
    QTest::newRow("server error status") << "{BASE}/status/500" << true << QString() << false << false;
    QTest::newRow("not found status") << "{BASE}/status/404" << true << QString() << false << false;
}

void TestMainWindowWeb::loadIsJudgedByResultAndTitle()
{
    QFETCH(QString, serverUrl);
    QFETCH(bool, isLogin);
    QFETCH(QString, requestPath);
    QFETCH(bool, loaded);
    QFETCH(bool, accepted);
    const QString sServerUrl = url(serverUrl);
    if (isLogin && !requestPath.isEmpty())
        requestPath += m_pCore->Get_Deviceuuid();

    orbisk::test::StdoutCapture output;
    m_pWindow->handle_load(QStringLiteral("demo"), sServerUrl, isLogin);
    QVERIFY(m_pWindow->m_isLoading);
    QCOMPARE(tipText(), QStringLiteral("loading..."));
    QVERIFY(!controlsEnabled());
    QCOMPARE(m_pWindow->m_sCurUrl, sServerUrl);
    QTRY_VERIFY_WITH_TIMEOUT(!finishedLines(output).isEmpty(), kEngineTimeoutMs);

    QCOMPARE(finishedLines(output), QStringList{QStringLiteral("Slot_LoadUrlFinish %1").arg(int(loaded))});
    QVERIFY(!m_pWindow->m_isLoading);
    QVERIFY(controlsEnabled());
    if (!requestPath.isEmpty())
        QVERIFY(m_server.requests().contains(requestPath));
    QVERIFY(m_pWindow->m_pWebView);
    QCOMPARE(m_pWindow->m_isPageShown, accepted);
    QCOMPARE(m_pWindow->isVisible(), accepted);
    QCOMPARE(m_pWindow->isMaximized(), accepted);
    QCOMPARE(m_pLogin->isHidden(), accepted);
    QCOMPARE(m_pWindow->m_pActExitServer->isVisible(), accepted);
    if (accepted) {
        QCOMPARE(m_pWindow->menuBar(), m_pWindow->m_pMenuBar);
        // Remembered, and checked in the server menu.
        QCOMPARE(m_pWindow->serverBook().servers().size(), 1);
        QCOMPARE(m_pWindow->serverBook().servers().first().url, sServerUrl);
        const QList<QAction*> serverActions = m_pWindow->m_pMenuServer->actions();
        QCOMPARE(serverActions.size(), 2);
        QCOMPARE(serverActions.first()->toolTip(), sServerUrl);
        QVERIFY(serverActions.first()->isChecked());
    } else {
        QCOMPARE(tipText(), connectFailed());
        QVERIFY(m_pWindow->serverBook().servers().isEmpty());
    }
}

void TestMainWindowWeb::badServerUrlLoadsNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("serverUrl");
    QTest::addColumn<bool>("showsConnectFailed");

    const auto row = [](const char* tag, const char* name, const char* serverUrl, bool showsConnectFailed) {
        QTest::newRow(tag) << QString::fromUtf8(name) << QString::fromUtf8(serverUrl) << showsConnectFailed;
    };
    row("ftp scheme", "demo", "ftp://127.0.0.1:{PORT}", true);
    row("host only", "demo", "demo.example.com", true);
    row("host and port", "demo", "localhost:{PORT}", true);
    row("address and port is no URL", "demo", "127.0.0.1:{PORT}", false);
    row("scheme without slashes", "demo", "https:127.0.0.1:{PORT}", true);
    row("empty name", "", "{BASE}", false);
    row("empty URL", "demo", "", false);
    row("invalid URL", "demo", "https://[127.0.0.1:{PORT}", false);
}

void TestMainWindowWeb::badServerUrlLoadsNothing()
{
    QFETCH(QString, name);
    QFETCH(QString, serverUrl);
    QFETCH(bool, showsConnectFailed);
    const int requestsBefore = pageRequests().size();

    m_pWindow->handle_load(name, url(serverUrl), true);

    QCOMPARE(tipText(), showsConnectFailed ? connectFailed() : QString());
    QVERIFY(controlsEnabled());
    QVERIFY(!m_pWindow->m_isLoading);
    QVERIFY(!m_pWindow->m_pWebView);
    QVERIFY(m_pWindow->m_sCurUrl.isEmpty());
    QCOMPARE(pageRequests().size(), requestsBefore);
}

void TestMainWindowWeb::slowPageKeepsTheLoginWindowWaiting()
{
    const QString sSlowUrl = m_server.baseUrl() + QStringLiteral("/slow/3000");
    m_pWindow->handle_load(QStringLiteral("slow"), sSlowUrl, true);
    // The server has the request but has not answered yet.
    QTRY_VERIFY_WITH_TIMEOUT(
        !m_server.requests().filter(QStringLiteral("/slow/3000/app/login")).isEmpty(), kEngineTimeoutMs);
    QVERIFY(m_pWindow->m_isLoading);
    QCOMPARE(tipText(), QStringLiteral("loading..."));
    QVERIFY(!controlsEnabled());
    QVERIFY(!m_pLogin->isHidden());
    QVERIFY(!m_pWindow->isVisible());

    QTRY_VERIFY_WITH_TIMEOUT(m_pWindow->m_isPageShown, kEngineTimeoutMs);
    QVERIFY(m_pLogin->isHidden());
}

void TestMainWindowWeb::rejectedViewIsReusedByTheNextAttempt()
{
    orbisk::test::DebugLogCapture log;
    m_pWindow->handle_load(QStringLiteral("other"), m_server.baseUrl() + QStringLiteral("/other"), true);
    QTRY_VERIFY_WITH_TIMEOUT(!m_pWindow->m_isLoading, kEngineTimeoutMs);
    QCOMPARE(tipText(), connectFailed());
    CWebEngineView* view = m_pWindow->m_pWebView;
    QWebEnginePage* page = view->page();

    m_pWindow->handle_load(QStringLiteral("demo"), m_server.baseUrl(), true);
    QCOMPARE(m_pWindow->m_pWebView, view);
    QCOMPARE(view->page(), page);
    QTRY_VERIFY_WITH_TIMEOUT(m_pWindow->m_isPageShown, kEngineTimeoutMs);
    // One connection to loadFinished: one call of the slot per finished load.
    QCOMPARE(log.count(QStringLiteral("Slot_LoadUrlFinish")), 2);
    QCOMPARE(m_pWindow->m_pSplitter->indexOf(view), 0);
    QCOMPARE(m_pWindow->m_pSplitter->count(), 2);
}

void TestMainWindowWeb::laterNavigationOnlyReenablesTheControls()
{
    QVERIFY(showDemoPage());
    QWebEnginePage* page = m_pWindow->m_pWebView->page();
    m_pLogin->setUiEnabled(false);

    orbisk::test::StdoutCapture output;
    QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
    page->runJavaScript(QStringLiteral("document.getElementById('nav-files').click()"));
    QVERIFY(loaded.wait(kEngineTimeoutMs));

    QVERIFY(page->url().path().endsWith(QStringLiteral("/app/files")));
    QVERIFY(controlsEnabled());
    QVERIFY(m_pWindow->m_isPageShown);
    QVERIFY(m_pWindow->isMaximized());
    QVERIFY(finishedLines(output).isEmpty());
}

void TestMainWindowWeb::shownPageGetsTheLanguageAndMenuTexts()
{
    QVERIFY(showDemoPage());
    QWebEnginePage* page = m_pWindow->m_pWebView->page();
    page->action(QWebEnginePage::Reload)->setText(QString());

    m_pWindow->slot_switch_language(0);

    QTRY_COMPARE_WITH_TIMEOUT(orbisk::test::evaluateJavaScript(page, QStringLiteral("currentLang")).toString(),
        QStringLiteral("en"), kEngineTimeoutMs);
    const LanguageTexts& texts = m_pWindow->shownTexts();
    QCOMPARE(page->action(QWebEnginePage::Reload)->text(), texts.Reload);
    QCOMPARE(page->action(QWebEnginePage::Back)->text(), texts.Back);
    QCOMPARE(page->action(QWebEnginePage::SelectAll)->text(), texts.SelectAll);
}

void TestMainWindowWeb::delayedLoginLoadsTheFirstDefault_data()
{
    QTest::addColumn<bool>("browserMode");
    // With the engine's start, the page loads out of sight ahead of the delayed login.
    QTest::addColumn<bool>("preloaded");
    QTest::newRow("normal mode") << false << false;
    QTest::newRow("browser mode") << true << false;
    QTest::newRow("normal mode, loaded ahead") << false << true;
    QTest::newRow("browser mode, nothing loaded ahead") << true << true;
}

void TestMainWindowWeb::delayedLoginLoadsTheFirstDefault()
{
    QFETCH(bool, browserMode);
    QFETCH(bool, preloaded);
    const QString sBase = m_server.baseUrl();
    orbisk::test::writeServerFile({{QStringLiteral("plain"), sBase + QStringLiteral("/other"), false},
        {QStringLiteral("first"), sBase + QStringLiteral("/valtro"), true}, {QStringLiteral("second"), sBase, true}});
    m_pWindow->readServerList();
    m_pLogin->setBrowserModel(browserMode);
    const int requestsBefore = pageRequests().size();

    if (preloaded)
        m_pWindow->startWebEngine(true);
    m_pWindow->startDelayLogin();
    QVERIFY(m_pWindow->m_pDelayTimer);
    QTRY_VERIFY_WITH_TIMEOUT(!m_pWindow->m_pDelayTimer, kEngineTimeoutMs);

    if (browserMode) {
        QVERIFY(!m_pWindow->m_pWebView);
        QVERIFY(m_pWindow->m_sCurUrl.isEmpty());
        QCOMPARE(pageRequests().size(), requestsBefore);
        return;
    }
    QCOMPARE(m_pWindow->m_sCurName, QStringLiteral("first"));
    QCOMPARE(m_pWindow->m_sCurUrl, sBase + QStringLiteral("/valtro"));
    QTRY_VERIFY_WITH_TIMEOUT(m_pWindow->m_isPageShown, kEngineTimeoutMs);
    // One request, however the delayed login and the early load met.
    const QStringList pages = pageRequests().mid(requestsBefore).filter(QStringLiteral("/app/login"));
    QCOMPARE(pages, QStringList{QStringLiteral("/valtro/app/login?uuid=") + m_pCore->Get_Deviceuuid()});
}

void TestMainWindowWeb::f12ShowsThePagesDeveloperTools()
{
    QVERIFY(showDemoPage());
    QVERIFY(QTest::qWaitForWindowExposed(m_pWindow));
    QWebEngineView* debugView = m_pWindow->m_pDebugView;
    QWebEnginePage* page = m_pWindow->m_pWebView->page();
    QVERIFY(debugView->isHidden());
    QVERIFY(!page->devToolsPage());

    QSignalSpy loaded(debugView, &QWebEngineView::loadFinished);
    QTest::keyClick(m_pWindow, Qt::Key_F12);
    QVERIFY(!debugView->isHidden());
    QCOMPARE(page->devToolsPage(), debugView->page());
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), kEngineTimeoutMs);
    QVERIFY(loaded.first().first().toBool());
    QCOMPARE(debugView->url().scheme(), QStringLiteral("devtools"));
    QTRY_COMPARE_WITH_TIMEOUT(debugView->height(), m_pWindow->height() / 3, kEngineTimeoutMs);
    QCOMPARE(debugView->width(), m_pWindow->width());
    // The tools run in process: the client listens on no TCP port for them.
    QCOMPARE(orbisk::test::listeningTcpAddresses(QCoreApplication::applicationPid()), QStringList());

    // The next server's page gets the open tools.
    m_pWindow->slot_exitServer();
    QVERIFY(showDemoPage());
    page = m_pWindow->m_pWebView->page();
    QCOMPARE(page->devToolsPage(), debugView->page());

    // Any modifiers; hidden tools are detached.
    QTest::keyClick(m_pWindow, Qt::Key_F12, Qt::ShiftModifier);
    QVERIFY(debugView->isHidden());
    QVERIFY(!page->devToolsPage());
}

void TestMainWindowWeb::chooseFromTheMenuWhileAPageIsShown(const QString& sUrl)
{
    QVERIFY(showDemoPage());
    QVERIFY(m_pWindow->isVisible());
    QVERIFY(!m_pWindow->m_pLoadProgress->isVisible());

    m_pWindow->serverBook().add({QStringLiteral("next"), sUrl, false});
    QAction* next = m_pWindow->m_pMenuServer->actions().at(1);
    QCOMPARE(next->toolTip(), sUrl);
    next->trigger();
    QVERIFY(m_pWindow->m_isLoading);
}

void TestMainWindowWeb::menuLoadShowsItsProgress()
{
    chooseFromTheMenuWhileAPageIsShown(m_server.baseUrl() + QStringLiteral("/slow/3000"));
    LoadProgressBar* bar = m_pWindow->m_pLoadProgress;
    QSignalSpy progress(m_pWindow->m_pWebView->page(), &QWebEnginePage::loadProgress);

    // The window stays up while the server takes its time, with the bar along the top
    // of the page area.
    QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), kEngineTimeoutMs);
    QVERIFY(m_pWindow->isVisible());
    QCOMPARE(bar->geometry(),
        QRect(m_pWindow->m_pSplitter->x(), m_pWindow->m_pSplitter->y(), m_pWindow->m_pSplitter->width(),
            LoadProgressBar::kHeight));
    QTRY_VERIFY_WITH_TIMEOUT(!m_pWindow->m_isLoading, kEngineTimeoutMs);
    QVERIFY(!progress.isEmpty());
    QVERIFY(m_pWindow->m_isPageShown);
    QVERIFY(!bar->isVisible());
}

void TestMainWindowWeb::failedMenuLoadReturnsToTheLoginWindow_data()
{
    QTest::addColumn<QString>("serverUrl");
    QTest::newRow("closed port") << QStringLiteral("https://127.0.0.1:%1").arg(orbisk::test::unusedLocalPort());
    QTest::newRow("server error status") << "{BASE}/status/500";
    QTest::newRow("not the service") << "{BASE}/other";
}

// Another server chosen from the menu fails: the user is back at the login window with
// the message, as after a failed first connection, not left before an error page.
void TestMainWindowWeb::failedMenuLoadReturnsToTheLoginWindow()
{
    QFETCH(QString, serverUrl);
    chooseFromTheMenuWhileAPageIsShown(url(serverUrl));

    QTRY_VERIFY_WITH_TIMEOUT(!m_pWindow->m_isLoading, kEngineTimeoutMs);
    QVERIFY(!m_pWindow->m_isPageShown);
    QVERIFY(!m_pWindow->isVisible());
    QVERIFY(!m_pWindow->m_pWebView);
    QVERIFY(m_pLogin->isVisible());
    QCOMPARE(tipText(), connectFailed());
    QVERIFY(controlsEnabled());
    QCOMPARE(m_pWindow->m_pMenuBar->parentWidget(), m_pLogin);
    QVERIFY(!m_pWindow->m_pActExitServer->isVisible());
    QVERIFY(!m_pWindow->m_pLoadProgress->isVisible());

    // The failed server can be chosen again: it loads from the login window now.
    QVERIFY(showDemoPage());
}

ORBISK_WEBENGINE_TEST_MAIN(TestMainWindowWeb)
#include "test_mainwindow_web.moc"
