#include "web/PermissionStore.h"

#include "storage/OwnFile.h"
#include "web/CertificateTrustStore.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace {
const QString kNotifications = QStringLiteral("notifications");
} // namespace

PermissionStore::PermissionStore(const QString& sPath)
    : m_sPath(sPath)
{ }

void PermissionStore::load()
{
    m_notifications.clear();
    if (!OwnFile::read(m_sPath, [this](const QByteArray& bytes) { return parse(bytes, &m_notifications); }))
        m_notifications.clear();
}

bool PermissionStore::save() const
{
    return OwnFile::save(m_sPath, serialize(m_notifications));
}

PermissionStore::Answer PermissionStore::notifications(const QUrl& origin) const
{
    const auto it = m_notifications.constFind(originOf(origin));
    if (it == m_notifications.constEnd())
        return Answer::None;
    return *it ? Answer::Allowed : Answer::Denied;
}

void PermissionStore::setNotifications(const QUrl& origin, bool isAllowed)
{
    const QString sOrigin = originOf(origin);
    if (!sOrigin.isEmpty())
        m_notifications.insert(sOrigin, isAllowed);
}

QString PermissionStore::originOf(const QUrl& url)
{
    const QString sScheme = url.scheme().toLower();
    if (sScheme != QLatin1String("https") && sScheme != QLatin1String("http"))
        return QString();
    const QString sServer = CertificateTrustStore::serverOf(url);
    return sServer.isEmpty() ? QString() : sScheme + QStringLiteral("://") + sServer;
}

bool PermissionStore::parse(const QByteArray& bytes, QMap<QString, bool>* pEntries)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    QMap<QString, bool> entries;
    const QJsonObject object = document.object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        // A key must be an origin exactly as this store writes it.
        if (originOf(QUrl(it.key(), QUrl::StrictMode)) != it.key() || !it.value().isObject())
            return false;
        const QJsonObject answers = it.value().toObject();
        if (answers.size() != 1 || !answers.value(kNotifications).isBool())
            return false;
        entries.insert(it.key(), answers.value(kNotifications).toBool());
    }
    *pEntries = entries;
    return true;
}

QByteArray PermissionStore::serialize(const QMap<QString, bool>& entries)
{
    QJsonObject object;
    for (auto it = entries.constBegin(); it != entries.constEnd(); ++it)
        object.insert(it.key(), QJsonObject{{kNotifications, it.value()}});
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}
