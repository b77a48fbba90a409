#include "dialogs/CMiniTray.h"

#include "app/LanguageTexts.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"

#include <QAction>
#include <QCursor>
#include <QIcon>
#include <QMenu>

namespace {
const QString kToolTip = QStringLiteral("Orbisk Client");
const QString kIcon = QStringLiteral(":/resource/image/orbisk/orbisk64.png");
} // namespace

CMiniTray::CMiniTray(QObject* parent)
    : QSystemTrayIcon(parent)
{
    setToolTip(kToolTip);

    // The menu is opened by the activation slot rather than installed as the
    // context menu, so a right click shows it at the cursor on every platform.
    m_pTrayMenu = new QMenu(nullptr);
    m_pActExit = new QAction(nullptr);
    m_pTrayMenu->addAction(m_pActExit);

    connect(this, SIGNAL(activated(QSystemTrayIcon::ActivationReason)), this,
        SLOT(slot_activatedSysTrayIcon(QSystemTrayIcon::ActivationReason)));
    connect(m_pActExit, SIGNAL(triggered(bool)), this, SLOT(slot_actExit()));

    setIcon(QIcon(kIcon));
    setToolTip(kToolTip);
}

CMiniTray::~CMiniTray()
{
    // The icon is deleted from the exit entry's own slot, while the menu may still be
    // unwinding its exec(): the menu and its entry go later, never under their own feet.
    m_pTrayMenu->deleteLater();
    m_pActExit->deleteLater();
}

void CMiniTray::updateTexts()
{
    if (g_pMainWindow && g_pMainWindow->m_pTexts)
        m_pActExit->setText(g_pMainWindow->m_pTexts->Exit);
}

void CMiniTray::slot_activatedSysTrayIcon(QSystemTrayIcon::ActivationReason act)
{
    if (!g_pMainWindow)
        return;
    switch (act) {
    case QSystemTrayIcon::Trigger: {
        QWidget* target = g_pMainWindow->m_isPageShown ? static_cast<QWidget*>(g_pMainWindow)
                                                       : static_cast<QWidget*>(g_pMainWindow->m_pLoginUI);
        if (!target)
            return;
        target->raise();
        target->activateWindow();
        target->setVisible(true);
        break;
    }
    case QSystemTrayIcon::Context:
        m_pTrayMenu->exec(QCursor::pos());
        break;
    default:
        break;
    }
}

void CMiniTray::slot_actExit()
{
    if (g_pMainWindow)
        g_pMainWindow->handle_exit_application();
}
