// CMainWindow: the menu bar, the first presentation and the ways back to the login window.
#include "mainwindow/CMainWindow.h"

#include "core/ValtroCore.h"
#include "dialogs/CMiniTray.h"
#include "login/CLoginUI.h"
#include "mainwindow/StartPresentation.h"
#include "servers/ServerBook.h"
#include "ui/Style.h"
#include "web/RemoteDebugging.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>

namespace {
const int kCloseActiveAppReason = 19;
} // namespace

void CMainWindow::initMenus()
{
    m_pMenuServer = new QMenu(nullptr);
    m_pMenuHelp = new QMenu(nullptr);

    m_pMenuBar->setStyleSheet(orbisk::style::menuBar());
    m_pMenuServer->setStyleSheet(orbisk::style::menu());
    m_pMenuHelp->setStyleSheet(orbisk::style::menu());

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

    // The server actions follow the server book, in its order, before the exit action.
    for (const ServerEntry& entry : m_pServerBook->servers())
        addServerAction(entry);
    connect(m_pServerBook, &orbisk::ServerBook::serverAdded, this, &CMainWindow::addServerAction);
    connect(m_pServerBook, &orbisk::ServerBook::serverRemoved, this, &CMainWindow::removeServerActions);
}

void CMainWindow::addServerAction(const ServerEntry& entry)
{
    auto* action = new QAction(nullptr);
    action->setCheckable(true);
    m_pServerGroup->addAction(action);
    m_pMenuServer->insertAction(m_pActExitServer, action);
    action->setText(serverDisplayText(entry));
    action->setObjectName(entry.name);
    action->setToolTip(entry.url);
    if (m_pServerBook->isManaged(entry.url))
        action->setIcon(QIcon(QStringLiteral(":/resource/image/managed.png")));
    connect(action, SIGNAL(triggered(bool)), this, SLOT(slot_actServer()));
}

void CMainWindow::removeServerActions(const QString& sUrl)
{
    // The walk advances after every action, removed or not, so of two adjacent actions
    // with the same URL only the first goes, as only the first list entry did.
    for (int i = 0; i < m_pMenuServer->actions().size(); ++i) {
        QAction* action = m_pMenuServer->actions().at(i);
        // The exit action is never a server's; a hand-edited URL must not take it along.
        if (action == m_pActExitServer || action->toolTip() != sUrl)
            continue;
        m_pMenuServer->removeAction(action);
        // Nothing refers to the detached action any more; deleting it also takes it
        // out of the server group and disconnects it from this window.
        delete action;
    }
}

void CMainWindow::checkShownServerAction(const QString& sText)
{
    const QList<QAction*> actions = m_pMenuServer->actions();
    for (QAction* action : actions) {
        if (action != m_pActExitServer && action->text() == sText) {
            action->setChecked(true);
            return;
        }
    }
}

void CMainWindow::handle_show()
{
    presentForArguments(QCoreApplication::arguments().size());
}

void CMainWindow::presentForArguments(int argumentCount)
{
    m_pLoginUI->setMenuBar(m_pMenuBar);

    const StartPresentation presentation
        = StartPresentation::forArguments(argumentCount, isMiniTray(), CMiniTray::isTrayAvailable());
    m_pLoginUI->setBrowserModel(presentation.browserMode);
    if (presentation.showLoginWindow)
        m_pLoginUI->show();
    // A start in browser mode needs no engine until a server is loaded, unless a
    // developer asked for the remote-debugging port, which lives in the engine.
    if (presentation.startDelayedLogin || RemoteDebugging::isRequested())
        startWebEngine(presentation.startDelayedLogin);
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
