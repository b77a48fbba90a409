// CMainWindow: the menu bar, the first presentation and the ways back to the login window.
#include "mainwindow/CMainWindow.h"

#include "core/ValtroCore.h"
#include "dialogs/CMiniTray.h"
#include "login/CLoginUI.h"
#include "mainwindow/StartPresentation.h"
#include "web/RemoteDebugging.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

namespace {
const QString kMenuBarStyle = QStringLiteral("color: rgba(16, 16, 16, 1);font-size: 14px;text-align: center");
const QString kMenuStyle = QStringLiteral("color: rgba(16, 16, 16, 1);font-size: 12px;text-align: center");
const int kCloseActiveAppReason = 19;
} // namespace

void CMainWindow::initMenus()
{
    m_pMenuServer = new QMenu(nullptr);
    m_pMenuHelp = new QMenu(nullptr);

    m_pMenuBar->setStyleSheet(kMenuBarStyle);
    m_pMenuServer->setStyleSheet(kMenuStyle);
    m_pMenuHelp->setStyleSheet(kMenuStyle);

    m_pMenuBar->addMenu(m_pMenuServer);
    m_pMenuBar->addMenu(m_pMenuHelp);

    m_pActAbout = new QAction(nullptr);
    m_pActSetting = new QAction(nullptr);
    m_pActMachineCode = new QAction(nullptr);
    m_pActCheckUpdate = new QAction(nullptr);
    m_pServerGroup = new QActionGroup(this);
    m_pMenuHelp->addAction(m_pActAbout);
    m_pMenuHelp->addAction(m_pActSetting);
    m_pMenuHelp->addAction(m_pActMachineCode);
    m_pMenuHelp->addAction(m_pActCheckUpdate);
    connect(m_pActAbout, SIGNAL(triggered(bool)), this, SLOT(slot_aboutUI()));
    connect(m_pActSetting, SIGNAL(triggered(bool)), this, SLOT(slot_settingUI()));
    connect(m_pActMachineCode, SIGNAL(triggered(bool)), this, SLOT(slot_machineCode()));
    connect(m_pActCheckUpdate, SIGNAL(triggered(bool)), this, SLOT(slot_checkupdate(bool)));

    // Shown once a download manager is set.
    m_pActDownloads = new QAction(nullptr);
    m_pActDownloads->setVisible(false);
    m_pMenuHelp->addSeparator();
    m_pMenuHelp->addAction(m_pActDownloads);
    connect(m_pActDownloads, SIGNAL(triggered(bool)), this, SLOT(slot_downloadsUI()));

    m_pActExitServer = new QAction(nullptr);
    m_pActExitServer->setVisible(false);
    m_pActExitServer->setMenuRole(QAction::NoRole);
    m_pMenuServer->addAction(m_pActExitServer);
    connect(m_pActExitServer, SIGNAL(triggered(bool)), this, SLOT(slot_exitServer()));
}

void CMainWindow::handle_show()
{
    presentForArguments(QCoreApplication::arguments().size());
}

void CMainWindow::presentForArguments(int argumentCount)
{
    m_pLoginUI->setMenuBar(m_pMenuBar);

    const StartPresentation presentation
        = StartPresentation::forArguments(argumentCount, m_isMiniTray, CMiniTray::isTrayAvailable());
    m_pLoginUI->setBrowserModel(presentation.browserMode);
    if (presentation.showLoginWindow)
        m_pLoginUI->show();
    // A start in browser mode needs no engine until a server is loaded, unless a
    // developer asked for the remote-debugging port, which lives in the engine.
    if (presentation.startDelayedLogin || RemoteDebugging::isRequested())
        startWebEngine();
    if (presentation.startDelayedLogin)
        startDelayLogin();
}

void CMainWindow::slot_actServer()
{
    auto* action = qobject_cast<QAction*>(sender());
    if (m_pWebView)
        releaseWebView();
    if (m_pCore)
        m_pCore->CloseActiveApp(kCloseActiveAppReason);
    if (action)
        handle_load(action->objectName(), action->toolTip(), true);
}

void CMainWindow::slot_exitServer()
{
    if (m_pWebView)
        releaseWebView();
    if (m_pCore)
        m_pCore->CloseActiveApp(kCloseActiveAppReason);
    slot_return();
    m_pLoginUI->show();
}

void CMainWindow::slot_return()
{
    m_pActExitServer->setVisible(false);
    m_isPageShown = false;
    m_pLoginUI->clearTipText();
    hide();
    m_pLoginUI->setMenuBar(m_pMenuBar);
    const QList<QAction*> actions = m_pMenuServer->actions();
    for (QAction* action : actions)
        action->setChecked(false);
}

void CMainWindow::slot_browserActive()
{
    if (m_pWebView)
        releaseWebView();
    emit sig_return();
    m_pLoginUI->setBrowserModel(true);
    // The page window is gone; without a tray the login window is the only way back.
    if (!CMiniTray::isTrayAvailable())
        m_pLoginUI->show();
}
