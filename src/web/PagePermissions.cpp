#include "web/PagePermissions.h"

#include "web/PermissionStore.h"

#include <QDebug>

namespace {
QString featureName(QWebEnginePage::Feature feature)
{
    switch (feature) {
    case QWebEnginePage::Notifications:
        return QStringLiteral("notifications");
    case QWebEnginePage::Geolocation:
        return QStringLiteral("location");
    case QWebEnginePage::MediaAudioCapture:
        return QStringLiteral("microphone");
    case QWebEnginePage::MediaVideoCapture:
        return QStringLiteral("camera");
    case QWebEnginePage::MediaAudioVideoCapture:
        return QStringLiteral("camera and microphone");
    case QWebEnginePage::MouseLock:
        return QStringLiteral("mouse lock");
    case QWebEnginePage::DesktopVideoCapture:
        return QStringLiteral("screen capture");
    case QWebEnginePage::DesktopAudioVideoCapture:
        return QStringLiteral("screen and sound capture");
    }
    return QStringLiteral("feature %1").arg(int(feature));
}
} // namespace

PagePermissions::PagePermissions(QWebEnginePage* pPage, PermissionStore* pStore)
    : QObject(pPage)
    , m_pPage(pPage)
    , m_pStore(pStore)
{
    connect(
        pPage, &QWebEnginePage::featurePermissionRequested, this, &PagePermissions::slot_featurePermissionRequested);
}

void PagePermissions::setServer(const QUrl& server)
{
    m_server = server;
    const PermissionStore::Answer stored = m_pStore->notifications(server);
    if (stored != PermissionStore::Answer::None)
        apply(server, QWebEnginePage::Notifications, stored == PermissionStore::Answer::Allowed);
}

PagePermissions::Decision PagePermissions::decide(
    const QUrl& server, const QUrl& origin, QWebEnginePage::Feature feature, const PermissionStore& store)
{
    const QString sServer = PermissionStore::originOf(server);
    if (feature != QWebEnginePage::Notifications || sServer.isEmpty() || PermissionStore::originOf(origin) != sServer)
        return Decision::Deny;
    switch (store.notifications(origin)) {
    case PermissionStore::Answer::Allowed:
        return Decision::Grant;
    case PermissionStore::Answer::Denied:
        return Decision::Deny;
    case PermissionStore::Answer::None:
        break;
    }
    return Decision::Ask;
}

void PagePermissions::answer(const QUrl& origin, bool isAllowed)
{
    m_asking.remove(PermissionStore::originOf(origin));
    m_pStore->setNotifications(origin, isAllowed);
    if (!m_pStore->save())
        qWarning() << "the answer about notifications from" << origin << "holds for this run only: it was not saved";
    apply(origin, QWebEnginePage::Notifications, isAllowed);
}

void PagePermissions::slot_featurePermissionRequested(const QUrl& origin, QWebEnginePage::Feature feature)
{
    switch (decide(m_server, origin, feature, *m_pStore)) {
    case Decision::Grant:
        apply(origin, feature, true);
        return;
    case Decision::Deny:
        // A "no" the user gave is not worth a line; a refusal of the client's own is.
        if (feature != QWebEnginePage::Notifications
            || PermissionStore::originOf(origin) != PermissionStore::originOf(m_server))
            qInfo() << "refused" << featureName(feature) << "to" << origin;
        apply(origin, feature, false);
        return;
    case Decision::Ask:
        break;
    }
    if (m_asking.contains(PermissionStore::originOf(origin)))
        return;
    m_asking.insert(PermissionStore::originOf(origin));
    emit questionAsked(origin);
}

void PagePermissions::apply(const QUrl& origin, QWebEnginePage::Feature feature, bool isAllowed)
{
    m_pPage->setFeaturePermission(
        origin, feature, isAllowed ? QWebEnginePage::PermissionGrantedByUser : QWebEnginePage::PermissionDeniedByUser);
}
