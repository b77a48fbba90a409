#include "dialogs/CMiniTray.h"

#include "app/LanguageTexts.h"
#include "app/Resources.h"
#include "mainwindow/CMainWindow.h"
#include "mainwindow/CurrentWindow.h"

#include <QAction>
#include <QIcon>
#include <QMenu>

namespace {
const QString kToolTip = QStringLiteral("Orbisk Client");

CMiniTray::AvailabilityProbe& availabilityProbe()
{
    static CMiniTray::AvailabilityProbe probe;
    return probe;
}
} // namespace

CMiniTray::CMiniTray(QObject* parent)
    : QSystemTrayIcon(parent)
{
    setToolTip(kToolTip);

    m_pTrayMenu = new QMenu(nullptr);
    m_pActOpen = new QAction(nullptr);
    m_pActExit = new QAction(nullptr);
    m_pTrayMenu->addAction(m_pActOpen);
    m_pTrayMenu->addAction(m_pActExit);
    // Installed as the context menu: tray hosts that only show an exported menu never
    // report a right click, and the others open this menu on it by themselves.
    setContextMenu(m_pTrayMenu);

    connect(this, SIGNAL(activated(QSystemTrayIcon::ActivationReason)), this,
        SLOT(slot_activatedSysTrayIcon(QSystemTrayIcon::ActivationReason)));
    connect(m_pActOpen, SIGNAL(triggered(bool)), this, SLOT(slot_actOpen()));
    connect(m_pActExit, SIGNAL(triggered(bool)), this, SLOT(slot_actExit()));

    setIcon(orbisk::applicationIcon());
    setToolTip(kToolTip);
}

CMiniTray::~CMiniTray()
{
    // The icon is deleted from the exit entry's own slot, while the menu may still be
    // unwinding: the menu and its entries go later, never under their own feet.
    m_pTrayMenu->deleteLater();
    m_pActOpen->deleteLater();
    m_pActExit->deleteLater();
}

void CMiniTray::updateTexts()
{
    if (g_pMainWindow && g_pMainWindow->m_pTexts) {
        m_pActOpen->setText(g_pMainWindow->m_pTexts->Open);
        m_pActExit->setText(g_pMainWindow->m_pTexts->Exit);
    }
}

bool CMiniTray::isTrayAvailable()
{
    const AvailabilityProbe& probe = availabilityProbe();
    return probe ? probe() : QSystemTrayIcon::isSystemTrayAvailable();
}

void CMiniTray::setAvailabilityProbe(AvailabilityProbe probe)
{
    availabilityProbe() = std::move(probe);
}

void CMiniTray::slot_activatedSysTrayIcon(QSystemTrayIcon::ActivationReason act)
{
    if (!g_pMainWindow || act != QSystemTrayIcon::Trigger)
        return;
    QWidget* target = currentWindow(*g_pMainWindow);
    if (!target)
        return;
    target->raise();
    target->activateWindow();
    target->setVisible(true);
}

void CMiniTray::slot_actOpen()
{
    if (g_pMainWindow)
        bringCurrentWindowToFront(*g_pMainWindow);
}

void CMiniTray::slot_actExit()
{
    if (g_pMainWindow)
        g_pMainWindow->handle_exit_application();
}

void CMiniTray::slot_downloadCompleted(const QString& sFileName)
{
    if (g_pMainWindow && g_pMainWindow->m_pTexts && isVisible() && isSystemTrayAvailable())
        showMessage(g_pMainWindow->m_pTexts->DownloadFinishedTip, sFileName, QSystemTrayIcon::Information);
}

void CMiniTray::slot_downloadFailed(const QString& sFileName)
{
    if (g_pMainWindow && g_pMainWindow->m_pTexts && isVisible() && isSystemTrayAvailable())
        showMessage(g_pMainWindow->m_pTexts->DownloadFailedTip, sFileName, QSystemTrayIcon::Warning);
}
