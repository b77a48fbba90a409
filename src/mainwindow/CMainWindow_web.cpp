// CMainWindow: the web area (splitter, page view, developer-tools view), page
// loading with its acceptance test, the delayed login and the F12 debug toggle.
#include "mainwindow/CMainWindow.h"

#include "core/ClientInfo.h"
#include "core/ValtroCore.h"
#include "dialogs/CMiniTray.h"
#include "login/CLoginUI.h"
#include "mainwindow/LoadProgressBar.h"
#include "mainwindow/StartPresentation.h"
#include "servers/ServerBook.h"
#include "ui/AfterFirstPaint.h"
#include "ui/LanguageTexts.h"
#include "ui/MessageBar.h"
#include "ui/ServerLostPanel.h"
#include "web/CWebEnginePage.h"
#include "web/CWebEngineView.h"
#include "web/ClientCertificates.h"
#include "web/FindBar.h"
#include "web/LostServer.h"
#include "web/PagePermissions.h"
#include "web/PageRecovery.h"
#include "web/RemoteDebugging.h"
#include "web/ServerPage.h"

#include <QAction>
#include <QDebug>
#include <QKeyEvent>
#include <QMenu>
#include <QSplitter>
#include <QTimer>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <cstdio>
#include <utility>

namespace {
const int kDelayLoginMs = 100;
const int kDebugViewHeightDivisor = 3;
} // namespace

void CMainWindow::initWebArea()
{
    initMenus();

    m_pSplitter = new QSplitter(Qt::Vertical, nullptr);
    setCentralWidget(m_pSplitter);
    m_pLoadProgress = new LoadProgressBar(m_pSplitter, this);
    m_pMessageBar = new MessageBar(m_pSplitter, this);
    m_pServerLost = new ServerLostPanel(m_pSplitter, this);
    initPageShortcuts();
    connect(m_pServerLost, &ServerLostPanel::changeServerRequested, this, &CMainWindow::slot_exitServer);

    if (!m_pDebugView) {
        // Must be settled before the first web engine view of the process exists.
        RemoteDebugging::configure(m_managed.remoteDebugging);
        // The view alone starts nothing; the engine starts with its first page.
        m_pDebugView = new QWebEngineView(nullptr);
        m_pSplitter->addWidget(m_pDebugView);
        m_pDebugView->hide();
    }

    // The login window may come later (see preloadAtStart); it is filled when it is set.
    if (m_pLoginUI)
        m_pLoginUI->fillServerPicker(m_pServerBook->servers());
}

void CMainWindow::startWebEngine(bool isDefaultPreloaded)
{
    // Asking for the debug view's page starts the engine (and a remote-debugging port,
    // when one was asked for). Done once the event loop runs, so the start overlaps the
    // delayed login's wait instead of adding to the first load; the default server's
    // page starts loading then too, out of sight until the delayed login presents it.
    const auto start = [this, isDefaultPreloaded] {
        webProfile();
        // The server's page first: the debug view's page only adds to its wait.
        if (isDefaultPreloaded)
            preloadDefaultServer();
        m_pDebugView->page();
    };
    // The engine's start holds the GUI thread; a login window on its way to the screen
    // is drawn first instead of staying blank until the engine runs.
    if (m_pLoginUI && m_pLoginUI->isVisible())
        AfterFirstPaint::run(m_pLoginUI, start);
    else
        QTimer::singleShot(0, m_pDebugView, start);
}

void CMainWindow::preloadAtStart(int argumentCount)
{
    // The engine's own start is the longest part of the way to the page and holds the
    // GUI thread; the page's load then runs in the engine's processes while the client
    // builds the rest of itself.
    const StartPresentation presentation
        = StartPresentation::forArguments(argumentCount, isMiniTray(), CMiniTray::isTrayAvailable());
    if (presentation.startDelayedLogin)
        preloadDefaultServer();
}

void CMainWindow::startDelayLogin()
{
    m_pDelayTimer = new QTimer(nullptr);
    m_pDelayTimer->start(kDelayLoginMs);
    connect(m_pDelayTimer, SIGNAL(timeout()), this, SLOT(slot_delayLogin()));
}

void CMainWindow::slot_delayLogin()
{
    if (m_pDelayTimer) {
        m_pDelayTimer->stop();
        disconnect(m_pDelayTimer, SIGNAL(timeout()), this, SLOT(slot_delayLogin()));
        delete m_pDelayTimer;
        m_pDelayTimer = nullptr;
    }
    if (g_isBrowserMode)
        return;
    if (const ServerEntry* entry = m_pServerBook->defaultServer())
        handle_load(entry->name, entry->url, true);
}

void CMainWindow::handle_load(QString sName, QString sUrl, bool isLogin)
{
    qDebug() << "handle_load" << sName << sUrl << isLogin;
    m_pLoginUI->setUiEnabled(false);

    if (sName.isEmpty() || sUrl.isEmpty() || !QUrl(sUrl, QUrl::TolerantMode).isValid()) {
        m_pLoginUI->setUiEnabled(true);
        return;
    }
    if (!ServerPage::hasWebScheme(sUrl)) {
        m_pLoginUI->setUiEnabled(true);
        m_pLoginUI->setTipText(m_pTexts ? m_pTexts->ConnectFailed : QString());
        return;
    }

    m_isLoading = true;
    m_pLoginUI->setTipText(QStringLiteral("loading..."));
    m_sCurName = sName;
    m_sCurUrl = sUrl;

    const QString sTarget = isLogin ? ServerPage::loginPageUrl(sUrl, m_pCore ? m_pCore->Get_Deviceuuid() : QString())
                                    : ServerPage::testPageUrl(sUrl);
    const Preload preload = std::exchange(m_preload, Preload::None);
    if (m_pWebView && sTarget == m_sPreloadTarget && preload != Preload::None) {
        // The default server's page has been loading since the start: its result is
        // taken as this load's, now or when it comes.
        if (preload != Preload::Loading)
            Slot_LoadUrlFinish(preload == Preload::Succeeded);
        return;
    }
    loadIntoView(sUrl, sTarget);
}

void CMainWindow::preloadDefaultServer()
{
    const ServerEntry* entry = m_pServerBook->defaultServer();
    if (g_isBrowserMode || !entry || m_pWebView || !ServerPage::hasWebScheme(entry->url)
        || !QUrl(entry->url, QUrl::TolerantMode).isValid())
        return;
    m_sPreloadTarget = ServerPage::loginPageUrl(entry->url, m_pCore ? m_pCore->Get_Deviceuuid() : QString());
    m_preload = Preload::Loading;
    loadIntoView(entry->url, m_sPreloadTarget);
}

void CMainWindow::loadIntoView(const QString& sUrl, const QString& sTarget)
{
    if (!m_pWebView) {
        m_pWebView = new CWebEngineView(this);
        CWebEnginePage* pPage = new CWebEnginePage(webProfile(), nullptr);
        pPage->setCertificateGuard(m_pCertificateGuard);
        m_pWebView->setPage(pPage);
        m_pWebView->initContextMenu();
        m_pSplitter->insertWidget(0, m_pWebView);
        connect(pPage, SIGNAL(loadFinished(bool)), this, SLOT(Slot_LoadUrlFinish(bool)));
        m_pLoadProgress->watch(pPage);
        connect(pPage, &QWebEnginePage::printRequested, this, &CMainWindow::slot_print);
        connect(m_pWebView, &CWebEngineView::zoomRequested, this, &CMainWindow::slot_zoom);
        auto* recovery = new PageRecovery(pPage);
        connect(
            recovery, &PageRecovery::reloaded, this, [this] { m_pMessageBar->showMessage(shownTexts().PageReloaded); });
        connect(recovery, &PageRecovery::gaveUp, this, &CMainWindow::giveUpPage, Qt::QueuedConnection);
        m_pSignIn->watch(pPage);
        m_pClientCertificates->watch(pPage);
        auto* permissions = new PagePermissions(pPage, m_pPermissions.get());
        connect(permissions, &PagePermissions::questionAsked, this,
            [this, permissions](const QUrl& origin) { askNotificationPermission(permissions, origin); });
        if (m_pDebugView && !m_pDebugView->isHidden())
            pPage->setDevToolsPage(m_pDebugView->page());
    }
    if (auto* permissions = m_pWebView->page()->findChild<PagePermissions*>(QString(), Qt::FindDirectChildrenOnly))
        permissions->setServer(QUrl(sUrl));
    m_pWebView->page()->setZoomFactor(zoomFor(sUrl));
    m_pWebView->page()->setUrl(QUrl(sTarget, QUrl::TolerantMode));
}

void CMainWindow::Slot_LoadUrlFinish(bool isSuccess)
{
    if (m_preload == Preload::Loading) {
        // Kept for the delayed login, which presents it.
        m_preload = isSuccess ? Preload::Succeeded : Preload::Failed;
        return;
    }
    qDebug() << "Slot_LoadUrlFinish";
    if (!m_pWebView)
        return;
    if (!m_isLoading) {
        // A later navigation inside the web application.
        m_pLoginUI->setUiEnabled(true);
        return;
    }

    logPrintf("Slot_LoadUrlFinish %d\n", isSuccess ? 1 : 0);
    std::fflush(stdout);
    m_isLoading = false;

    if (!isSuccess) {
        showConnectFailed();
        return;
    }

    const QString sTitle = m_pWebView->page()->title();
    qDebug() << "1" << sTitle;
    // A sign-in the user cancelled leaves the server's refusal page: not the service.
    if (!ServerPage::isServiceTitle(sTitle) || m_pSignIn->cancelled() != SignIn::Kind::None) {
        showConnectFailed();
        return;
    }

    qDebug() << "2";
    if (m_pWebView->url().toString() == QLatin1String("about:blank"))
        m_pLoginUI->setTipText(QStringLiteral("about:blank"));
    else
        showPageWindow();
    m_pLoginUI->setUiEnabled(true);
}

void CMainWindow::showConnectFailed()
{
    // Another server chosen in the server menu failed while the page window is shown:
    // back to the login window, as leaving the server does, so the user is never left
    // with the engine's error page and the message in a hidden window.
    if (m_isPageShown) {
        releaseWebView();
        slot_return();
        m_pLoginUI->show();
    }
    m_pLoginUI->setTipText(failureText());
    m_pLoginUI->setUiEnabled(true);
}

void CMainWindow::giveUpPage()
{
    const bool wasVisible = isVisible();
    m_pMessageBar->hide();
    releaseWebView();
    slot_return();
    // Hidden in the tray the client stays there; its Open shows the login window.
    if (wasVisible)
        m_pLoginUI->show();
    m_pLoginUI->setTipText(shownTexts().PageStoppedRepeatedly);
}

void CMainWindow::showPageWindow()
{
    // From now on a lost server shows the client's own message and is tried again.
    QWebEnginePage* pPage = m_pWebView->page();
    if (!pPage->findChild<LostServer*>(QString(), Qt::FindDirectChildrenOnly)) {
        auto* watch = new LostServer(pPage, QUrl(m_sCurUrl));
        const QString sServer = QUrl(m_sCurUrl).host();
        connect(watch, &LostServer::lost, this,
            [this, sServer](int iSeconds) { m_pServerLost->showLost(shownTexts(), sServer, iSeconds); });
        connect(watch, &LostServer::back, m_pServerLost, &QWidget::hide);
        connect(m_pServerLost, &ServerLostPanel::tryNowRequested, watch, &LostServer::tryNow);
    }

    m_isPageShown = true;
    m_pLoginUI->hide();
    setMenuBar(m_pMenuBar);
    showMaximized();
    m_pActExitServer->setVisible(true);
    m_pLoginUI->saveServer(m_sCurName, m_sCurUrl);

    const QList<QAction*> actions = m_pMenuServer->actions();
    for (int i = 0; i + 1 < actions.size(); ++i) {
        if (actions.at(i)->toolTip() == m_sCurUrl)
            actions.at(i)->setChecked(true);
    }
}

void CMainWindow::releaseWebView()
{
    m_preload = Preload::None;
    if (m_pFindBar)
        m_pFindBar->slot_close();
    m_pServerLost->hide();
    QWebEnginePage* pPage = m_pWebView->page();
    if (pPage)
        disconnect(pPage, SIGNAL(loadFinished(bool)), this, SLOT(Slot_LoadUrlFinish(bool)));
    delete pPage;
    delete m_pWebView;
    m_pWebView = nullptr;
}

void CMainWindow::releaseWebEngineViews()
{
    if (m_pWebView)
        releaseWebView();
    delete m_pDebugView;
    m_pDebugView = nullptr;
}

void CMainWindow::giveDebugViewHeight(int debugHeight)
{
    // The splitter lays its children out again on the next show or resize, which would
    // undo a plain resize of the debug view; its sizes keep the height.
    const int otherHeight = qMax(0, m_pSplitter->height() - m_pSplitter->handleWidth() - debugHeight);
    QList<int> sizes;
    for (int i = 0; i < m_pSplitter->count(); ++i)
        sizes.append(m_pSplitter->widget(i) == m_pDebugView ? debugHeight : otherHeight);
    m_pSplitter->setSizes(sizes);
}

void CMainWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F12 && m_pDebugView && m_managed.remoteDebugging) {
        // isHidden, not isVisible: the toggle must also work while the main window is hidden.
        m_pDebugView->setHidden(!m_pDebugView->isHidden());
        // The engine's developer tools, in process: shown for the server page, and
        // detached while hidden so a hidden view runs nothing.
        if (m_pWebView)
            m_pWebView->page()->setDevToolsPage(m_pDebugView->isHidden() ? nullptr : m_pDebugView->page());
        const int debugHeight = height() / kDebugViewHeightDivisor;
        m_pDebugView->resize(width(), debugHeight);
        if (!m_pDebugView->isHidden())
            giveDebugViewHeight(debugHeight);
    }
    if (event->key() == Qt::Key_V && event->modifiers() == Qt::ControlModifier)
        qDebug() << "control modifier_____________";
    QMainWindow::keyPressEvent(event);
}
