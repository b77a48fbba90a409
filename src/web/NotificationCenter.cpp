#include "web/NotificationCenter.h"

#include <QDebug>
#include <QPointer>
#include <QWebEngineNotification>
#include <QWebEngineProfile>

NotificationCenter::NotificationCenter(QObject* parent)
    : QObject(parent)
{ }

NotificationCenter::~NotificationCenter()
{
    qDeleteAll(m_kept);
}

void NotificationCenter::install(QWebEngineProfile* pProfile)
{
    // The profile outlives the window that owns this center.
    QPointer<NotificationCenter> center(this);
    pProfile->setNotificationPresenter([center](std::unique_ptr<QWebEngineNotification> notification) {
        if (center)
            center->present(std::move(notification));
    });
}

void NotificationCenter::present(std::unique_ptr<QWebEngineNotification> notification)
{
    int id = 0;
    // Only a tagged notification replaces another; untagged ones all look alike.
    for (auto it = m_kept.constBegin(); it != m_kept.constEnd() && !notification->tag().isEmpty(); ++it) {
        if (it.value()->matches(notification.get()))
            id = it.key();
    }
    if (id != 0) {
        delete m_kept.take(id);
    } else {
        id = m_iNextId++;
        if (m_kept.size() >= kMaxKept) {
            const int oldest = m_kept.firstKey();
            m_kept.value(oldest)->close();
            forget(oldest);
        }
    }

    QWebEngineNotification* pNotification = notification.release();
    m_kept.insert(id, pNotification);
    // The page closed it (its close(), or the page went away).
    connect(pNotification, &QWebEngineNotification::closed, this, [this, id] {
        if (m_kept.contains(id))
            forget(id);
    });
    const QString sServer = pNotification->origin().host();
    qInfo() << "notification from" << sServer;
    emit shown(id, pNotification->title(), pNotification->message(), sServer);
    pNotification->show();
}

void NotificationCenter::click(int id)
{
    if (QWebEngineNotification* pNotification = m_kept.value(id)) {
        pNotification->click();
        emit activated();
    }
}

void NotificationCenter::dismiss(int id)
{
    if (QWebEngineNotification* pNotification = m_kept.value(id)) {
        pNotification->close();
        delete m_kept.take(id);
    }
}

void NotificationCenter::forget(int id)
{
    // Deleted later: this may run inside the notification's own signal.
    m_kept.take(id)->deleteLater();
    emit withdrawn(id);
}
