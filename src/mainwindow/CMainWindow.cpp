// CMainWindow: construction, core services and the end of the application.
#include "mainwindow/CMainWindow.h"

#include "core/ClientInfo.h"
#include "core/LocalServiceStarter.h"
#include "core/ValtroCore.h"
#include "core/ValtroHttpd.h"
#include "core/ValtroPortal.h"
#include "dialogs/CDownloadsUI.h"
#include "dialogs/CMiniTray.h"
#include "login/CLoginUI.h"
#include "servers/ServerBook.h"
#include "servers/ServerOriginCache.h"
#include "storage/AppPaths.h"
#include "ui/CurrentWindow.h"
#include "ui/LanguageTexts.h"
#include "web/PermissionStore.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QPrinter>
#include <QTranslator>

#include <cstdio>

CMainWindow* g_pMainWindow = nullptr;

namespace {
const char* const kApplicationKey = "E3A95C07B1D84F62A0C7395E1B6D8F24";
const int kCoreMode = 1;
const int kHttpdStartArgument = 1000;
const int kCloseActiveAppReason = 19;
const QSize kInitialSize(800, 600);
} // namespace

CMainWindow::CMainWindow(QWidget* parent)
    : CMainWindow(orbisk::ManagedConfig(), parent)
{ }

CMainWindow::CMainWindow(const orbisk::ManagedConfig& managed, QWidget* parent)
    : QMainWindow(parent)
    , m_managed(managed)
{
    m_pTranslatorQt = new QTranslator(nullptr);
    m_pTranslatorApp = new QTranslator(nullptr);
    // Installed last means consulted first: the catalogue wins over Qt's own texts.
    QCoreApplication::installTranslator(m_pTranslatorQt);
    QCoreApplication::installTranslator(m_pTranslatorApp);

    m_pMenuBar = menuBar();
    setWindowTitle(QStringLiteral("Orbisk Client"));

    m_pServerBook = new orbisk::ServerBook(AppPaths::serverListFile(), this);
    readServerList();
    ServerList managedServers;
    for (const orbisk::ManagedServer& server : managed.servers)
        managedServers.append({server.name, server.url, false});
    m_pServerBook->setManaged(
        managedServers, managed.defaultServerUrl, managed.defaultServerLocked, managed.allowUserServers);
    readSettings();

    m_pTray = new CMiniTray([this] { return currentWindow(); }, nullptr);
    connect(m_pTray, &CMiniTray::openRequested, this, &CMainWindow::bringCurrentWindowToFront);
    connect(m_pTray, &CMiniTray::exitRequested, this, &CMainWindow::handle_exit_application);
    m_pTray->setVisible(true);
    initNotifications();
    initSignIn();

    resize(kInitialSize);
    updateAutoStart();

    connect(this, SIGNAL(sig_return()), this, SLOT(slot_return()));
    connect(this, SIGNAL(sig_browserActive()), this, SLOT(slot_browserActive()));
}

CMainWindow::~CMainWindow()
{
    qDebug() << "~CMainWindow";
    delete m_pDownloadsUI;
}

void CMainWindow::setLoginUI(CLoginUI* pLoginUI)
{
    m_pLoginUI = pLoginUI;
    pLoginUI->setServerBook(m_pServerBook);
    if (m_pSplitter)
        pLoginUI->fillServerPicker(m_pServerBook->servers());
    connect(pLoginUI, &CLoginUI::continueRequested, this,
        [this](const QString& sName, const QString& sUrl) { handle_load(sName, sUrl, true); });
    connect(pLoginUI, &CLoginUI::closeRequested, this, [this] {
        if (closingQuits())
            handle_exit_application();
    });
    connect(pLoginUI, &CLoginUI::deleteRequested, m_pServerBook, &orbisk::ServerBook::remove);
    connect(pLoginUI, &CLoginUI::exitBrowserModeRequested, this, &CMainWindow::slot_exitBrowserModel);
    connect(pLoginUI, &CLoginUI::shownServerChanged, this, &CMainWindow::checkShownServerAction);
}

void CMainWindow::setCertificateGuard(CertificateGuard* pGuard)
{
    m_pCertificateGuard = pGuard;
}

QWidget* CMainWindow::visibleWindow() const
{
    if (isVisible())
        return const_cast<CMainWindow*>(this);
    if (m_pLoginUI && m_pLoginUI->isVisible())
        return m_pLoginUI;
    return nullptr;
}

QWidget* CMainWindow::currentWindow()
{
    return orbisk::currentWindow(m_isPageShown, this, m_pLoginUI);
}

QWidget* CMainWindow::bringCurrentWindowToFront()
{
    return orbisk::bringToFront(currentWindow());
}

void CMainWindow::startCoreServices()
{
    m_pCore = new ValtroCore(QString::fromLatin1(kApplicationKey), kCoreMode, nullptr);
    m_pPortal = new ValtroPortal(m_pCore, nullptr);
    m_pHttpd = new ValtroHttpd(m_pCore, m_pPortal);
    // The servers of the user's list may use the local service; the file is looked at
    // for every check, so a server saved a moment ago counts.
    m_pHttpd->setAllowedOrigins(orbisk::ServerOriginCache::sourceFor(AppPaths::serverListFile()));

    connect(m_pCore, SIGNAL(sig_languageChanged(int)), this, SLOT(slot_switch_language(int)));
    m_pCore->RegisterBrowserActive(onBrowserActive);

    // One line for the outcome, once the starter has stopped trying: 0, or 4 when the port
    // stayed taken (by another program, or by another session's client on a terminal
    // server) and the client runs without the service.
    m_pHttpdStarter = new LocalServiceStarter(m_pHttpd, kHttpdStartArgument, this);
    ValtroHttpd* pHttpd = m_pHttpd;
    connect(m_pHttpdStarter, &LocalServiceStarter::finished, this, [pHttpd](int iStarted) {
        qDebug() << "RegisterBrowserActive StartHttpdServer"
                 << "Orbisk Client" << iStarted << pHttpd->port();
    });
    m_pHttpdStarter->start();

    QString first;
    QString second;
    QString third;
    const int versionResult = m_pCore->GetAppVersion(first, second, third);
    qDebug() << "GetAppVersion" << versionResult << first << second << third;
}

void onBrowserActive()
{
    if (g_pMainWindow)
        emit g_pMainWindow->sig_browserActive();
}

void CMainWindow::handle_exit_application()
{
    if (m_pWebView)
        releaseWebView();
    if (m_pTray) {
        delete m_pTray;
        m_pTray = nullptr;
    }
    if (m_pHttpdStarter)
        m_pHttpdStarter->cancel();
    if (m_pHttpd)
        m_pHttpd->StopHttpdServer();
    if (m_pCore)
        m_pCore->CloseActiveApp(kCloseActiveAppReason);
    logPrintf("handle_exit_application\n");
    std::fflush(stdout);
    QCoreApplication::quit();
}

bool CMainWindow::closingQuits() const
{
    return !isMiniTray() || !CMiniTray::isTrayAvailable();
}

void CMainWindow::closeEvent(QCloseEvent* event)
{
    if (closingQuits())
        handle_exit_application();
    event->accept();
}

void CMainWindow::wheelEvent(QWheelEvent*) { }
