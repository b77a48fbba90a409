#pragma once

#include <QMap>
#include <QObject>

#include <memory>

class QWebEngineNotification;
class QWebEngineProfile;

// The pages' notifications (`new Notification(...)` in a page). Each one is told it
// was shown, so the page's onshow runs, and is kept until it is clicked, dismissed or
// withdrawn by its page; whatever puts it on the desktop follows the signals.
class NotificationCenter : public QObject
{
    Q_OBJECT

public:
    // The most notifications kept at once; a page that sends more loses its oldest.
    static const int kMaxKept = 20;

    explicit NotificationCenter(QObject* parent = nullptr);
    ~NotificationCenter() override;

    // Makes this the profile's notification presenter.
    void install(QWebEngineProfile* pProfile);
    // Takes a notification from a page and shows it.
    void present(std::unique_ptr<QWebEngineNotification> notification);

    int count() const { return m_kept.size(); }

signals:
    // A notification to put on the desktop. An id that is shown already is replaced
    // (a page's notification with the same tag).
    void shown(int id, const QString& sTitle, const QString& sBody, const QString& sServer);
    // A notification to take off the desktop.
    void withdrawn(int id);
    // The user clicked a notification: its page's window is to come to the front.
    void activated();

public slots:
    // The user clicked the notification id on the desktop.
    void click(int id);
    // The desktop closed the notification id (the user dismissed it, it expired).
    void dismiss(int id);

private:
    void forget(int id);

    int m_iNextId = 1;
    QMap<int, QWebEngineNotification*> m_kept;
};
