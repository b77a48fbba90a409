// CMainWindow: the pages' notifications on the desktop and the question whether a
// server may show them.
#include "mainwindow/CMainWindow.h"

#include "dialogs/CMiniTray.h"
#include "dialogs/CPermissionUI.h"
#include "platform/DesktopNotifications.h"
#include "storage/AppPaths.h"
#include "ui/DialogPlacement.h"
#include "ui/LanguageTexts.h"
#include "web/NotificationCenter.h"
#include "web/PagePermissions.h"
#include "web/PermissionStore.h"

#include <QDebug>
#include <QPointer>

void CMainWindow::initNotifications()
{
    m_pPermissions = std::make_unique<PermissionStore>(AppPaths::permissionsFile());
    m_pPermissions->load();

    m_pNotifications = new NotificationCenter(this);
    connect(m_pNotifications, &NotificationCenter::shown, this, &CMainWindow::showNotification);
    connect(m_pNotifications, &NotificationCenter::activated, this, &CMainWindow::bringCurrentWindowToFront);
    connect(m_pTray, &CMiniTray::notificationClicked, m_pNotifications, &NotificationCenter::click);
}

void CMainWindow::showNotification(int id, const QString& sTitle, const QString& sBody, const QString& sServer)
{
    // The session bus is reached only once a page has something to show: a start pays
    // nothing for it.
    if (!m_pDesktopNotifications) {
        m_pDesktopNotifications = new DesktopNotifications(QDBusConnection::sessionBus(), this);
        connect(
            m_pNotifications, &NotificationCenter::withdrawn, m_pDesktopNotifications, &DesktopNotifications::close);
        connect(m_pDesktopNotifications, &DesktopNotifications::clicked, m_pNotifications, &NotificationCenter::click);
        connect(m_pDesktopNotifications, &DesktopNotifications::closed, m_pNotifications, &NotificationCenter::dismiss);
    }
    // The server goes last, so the user sees which of their servers speaks.
    const QString sText = sBody.isEmpty() ? sServer : sBody + QLatin1Char('\n') + sServer;
    if (m_pDesktopNotifications->isAvailable())
        m_pDesktopNotifications->show(id, sTitle, sText);
    else if (!m_pTray->showNotification(id, sTitle, sText))
        qInfo() << "a notification could not be shown: the desktop has no notification service and no tray";
}

void CMainWindow::askNotificationPermission(PagePermissions* pPermissions, const QUrl& origin)
{
    auto* dialog = new CPermissionUI(shownTexts(), origin, nullptr);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->move(dialogPosition(dialogReference()->geometry(), dialog->size()));
    // The page may be gone by the time the user answers.
    QPointer<PagePermissions> permissions(pPermissions);
    connect(dialog, &QDialog::finished, this, [permissions, origin](int result) {
        if (permissions)
            permissions->answer(origin, result == QDialog::Accepted);
    });
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}
