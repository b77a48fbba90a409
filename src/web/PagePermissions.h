#pragma once

#include <QObject>
#include <QSet>
#include <QUrl>
#include <QWebEnginePage>

class PermissionStore;

// The page's requests for features. Notifications from the page's own server are
// asked once and the answer is kept; every other feature, and notifications from
// any other origin, are refused without a question (one log line each).
class PagePermissions : public QObject
{
    Q_OBJECT

public:
    enum class Decision { Grant, Deny, Ask };

    // Lives as long as the page; the store must outlive it.
    PagePermissions(QWebEnginePage* pPage, PermissionStore* pStore);

    // The server whose page is loaded. Its stored answer is handed to the engine at
    // once, so the page's Notification.permission shows it from the first script on.
    void setServer(const QUrl& server);

    static Decision decide(
        const QUrl& server, const QUrl& origin, QWebEnginePage::Feature feature, const PermissionStore& store);

signals:
    // The user is to be asked whether origin may show notifications; answer() follows.
    void questionAsked(const QUrl& origin);

public slots:
    // Keeps the user's answer for origin and gives it to the page.
    void answer(const QUrl& origin, bool isAllowed);

private slots:
    void slot_featurePermissionRequested(const QUrl& origin, QWebEnginePage::Feature feature);

private:
    void apply(const QUrl& origin, QWebEnginePage::Feature feature, bool isAllowed);

    QWebEnginePage* m_pPage;
    PermissionStore* m_pStore;
    QUrl m_server;
    // Origins whose question is open, so a page asking again does not stack dialogs.
    QSet<QString> m_asking;
};
