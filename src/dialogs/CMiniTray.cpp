#include "dialogs/CMiniTray.h"

#include "ui/LanguageTexts.h"
#include "ui/Resources.h"

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

CMiniTray::CMiniTray(WindowFinder currentWindow, QObject* parent)
    : QSystemTrayIcon(parent)
    , m_currentWindow(std::move(currentWindow))
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
    connect(this, &QSystemTrayIcon::messageClicked, this, [this] {
        if (m_iShownNotification != 0)
            emit notificationClicked(m_iShownNotification);
    });

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

void CMiniTray::updateTexts(const LanguageTexts& texts)
{
    m_pActOpen->setText(texts.Open);
    m_pActExit->setText(texts.Exit);
    m_sDownloadFinished = texts.DownloadFinishedTip;
    m_sDownloadFailed = texts.DownloadFailedTip;
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
    if (act != QSystemTrayIcon::Trigger)
        return;
    QWidget* target = m_currentWindow ? m_currentWindow() : nullptr;
    if (!target)
        return;
    target->raise();
    target->activateWindow();
    target->setVisible(true);
}

void CMiniTray::slot_actOpen()
{
    emit openRequested();
}

void CMiniTray::slot_actExit()
{
    emit exitRequested();
}

void CMiniTray::slot_downloadCompleted(const QString& sFileName)
{
    if (!m_sDownloadFinished.isEmpty() && isVisible() && isSystemTrayAvailable()) {
        m_iShownNotification = 0;
        showMessage(m_sDownloadFinished, sFileName, QSystemTrayIcon::Information);
    }
}

void CMiniTray::slot_downloadFailed(const QString& sFileName)
{
    if (!m_sDownloadFailed.isEmpty() && isVisible() && isSystemTrayAvailable()) {
        m_iShownNotification = 0;
        showMessage(m_sDownloadFailed, sFileName, QSystemTrayIcon::Warning);
    }
}

bool CMiniTray::showNotification(int id, const QString& sTitle, const QString& sBody)
{
    if (!isVisible() || !isSystemTrayAvailable())
        return false;
    m_iShownNotification = id;
    showMessage(sTitle, sBody, QSystemTrayIcon::Information);
    return true;
}
