#include "platform/DesktopNotifications.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDebug>
#include <QVariantMap>

#include <algorithm>
#include <utility>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// The action a click on the notification's body invokes.
const QString kDefaultAction = QStringLiteral("default");
const QString kApplicationName = QStringLiteral("Orbisk Client");
// The desktop entry's name, so the desktop shows the client's icon and groups its
// notifications under it.
const QString kDesktopEntry = QStringLiteral("orbisk-client");
// The service's own expiry.
const int kServerDefaultTimeout = -1;
} // namespace

DesktopNotifications::DesktopNotifications(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(
        kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this, SLOT(slot_actionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
        SLOT(slot_notificationClosed(uint, uint)));
}

bool DesktopNotifications::isAvailable() const
{
    if (!m_bus.isConnected() || !m_bus.interface())
        return false;
    if (m_bus.interface()->isServiceRegistered(kService))
        return true;
    const QDBusReply<QStringList> activatable = m_bus.interface()->call(QStringLiteral("ListActivatableNames"));
    return activatable.isValid() && activatable.value().contains(kService);
}

void DesktopNotifications::show(int id, const QString& sTitle, const QString& sBody)
{
    if (m_capabilities == Capabilities::Known) {
        send({id, sTitle, sBody});
        return;
    }
    m_pending.append({id, sTitle, sBody});
    if (m_capabilities == Capabilities::Asked)
        return;
    m_capabilities = Capabilities::Asked;
    auto* watcher = new QDBusPendingCallWatcher(
        m_bus.asyncCall(QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetCapabilities"))),
        this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QStringList> reply = *call;
        call->deleteLater();
        // Without an answer, text stays escaped: at worst an entity shows where a
        // plain-text service was meant, never markup a page wrote.
        if (reply.isValid())
            m_isBodyMarkup = reply.value().contains(QStringLiteral("body-markup"));
        m_capabilities = reply.isValid() ? Capabilities::Known : Capabilities::Unknown;
        const QList<Pending> pending = std::exchange(m_pending, {});
        for (const Pending& notification : pending)
            send(notification);
    });
}

void DesktopNotifications::send(const Pending& notification)
{
    const int id = notification.id;
    QDBusMessage notify = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), kDesktopEntry}};
    notify << kApplicationName << m_serviceIds.value(id, 0) << QString() << notification.sTitle
           << (m_isBodyMarkup ? notification.sBody.toHtmlEscaped() : notification.sBody)
           << QStringList{kDefaultAction, QString()} << hints << kServerDefaultTimeout;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, id](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<uint> reply = *call;
        if (reply.isValid())
            m_serviceIds.insert(id, reply.value());
        else
            qWarning() << "the desktop did not show a notification:" << reply.error().message();
        call->deleteLater();
    });
}

void DesktopNotifications::close(int id)
{
    m_pending.erase(std::remove_if(m_pending.begin(), m_pending.end(),
                        [id](const Pending& notification) { return notification.id == id; }),
        m_pending.end());
    if (!m_serviceIds.contains(id))
        return;
    QDBusMessage message
        = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"));
    message << m_serviceIds.take(id);
    m_bus.asyncCall(message);
}

void DesktopNotifications::slot_actionInvoked(uint serviceId, const QString& sAction)
{
    const int id = m_serviceIds.key(serviceId, 0);
    if (id != 0 && sAction == kDefaultAction)
        emit clicked(id);
}

void DesktopNotifications::slot_notificationClosed(uint serviceId, uint)
{
    const int id = m_serviceIds.key(serviceId, 0);
    if (id == 0)
        return;
    m_serviceIds.remove(id);
    emit closed(id);
}
