#pragma once

#include <QDBusConnection>
#include <QMap>
#include <QObject>
#include <QString>

class QDBusMessage;

// The desktop's notification service (org.freedesktop.Notifications on the session
// bus): notifications shown there under the client's ids, and the service's word when
// one is clicked or closed. Where no such service runs (Windows, a desktop without a
// notification daemon, no session bus) isAvailable() says so.
class DesktopNotifications : public QObject
{
    Q_OBJECT

public:
    explicit DesktopNotifications(
        const QDBusConnection& bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    // Whether the service runs now or can be started by the bus. Asked when it
    // matters: a desktop's daemon can come and go while the client runs.
    bool isAvailable() const;
    // Whether the notification id is on show, as far as the service said so.
    bool isShown(int id) const { return m_serviceIds.contains(id); }

    // Shows a notification, or replaces the one already shown under id. The first one
    // waits for the service to say whether it renders markup; nothing here blocks.
    void show(int id, const QString& sTitle, const QString& sBody);
    void close(int id);

signals:
    void clicked(int id);
    void closed(int id);

private slots:
    void slot_actionInvoked(uint serviceId, const QString& sAction);
    void slot_notificationClosed(uint serviceId, uint reason);

private:
    struct Pending
    {
        int id;
        QString sTitle;
        QString sBody;
    };
    enum class Capabilities { Unknown, Asked, Known };

    void send(const Pending& notification);

    QDBusConnection m_bus;
    // Whether the service renders markup in a body, in which case text is escaped.
    bool m_isBodyMarkup = true;
    Capabilities m_capabilities = Capabilities::Unknown;
    // Notifications waiting for the service's capabilities.
    QList<Pending> m_pending;
    // The client's ids to the service's, for the notifications on show.
    QMap<int, uint> m_serviceIds;
};
