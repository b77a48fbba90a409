#include "update/ReleaseManifest.h"

#include <QDebug>
#include <QJsonDocument>

namespace {

const QString kVersionKey = QStringLiteral("version");
const QString kDownloadUrlKey = QStringLiteral("downloadUrl");

bool isWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme();
    return url.isValid() && (scheme == QLatin1String("https") || scheme == QLatin1String("http"))
        && !url.host().isEmpty();
}

} // namespace

std::optional<ReleaseManifest> ReleaseManifest::fromJson(const QByteArray& body)
{
    return fromJson(body, QLatin1String(kReleaseKey));
}

std::optional<ReleaseManifest> ReleaseManifest::fromJson(const QByteArray& body, const QString& sReleaseKey)
{
    const int zero = body.indexOf('\0');
    const QJsonDocument document = QJsonDocument::fromJson(zero < 0 ? body : body.left(zero));
    if (document.isNull() || !document.isObject())
        return std::nullopt;

    ReleaseManifest manifest;
    manifest.release = document.object().value(sReleaseKey).toObject();
    manifest.sVersion = manifest.release.value(kVersionKey).toString();
    manifest.sDownloadUrl = manifest.release.value(kDownloadUrlKey).toString();
    return manifest;
}

QUrl ReleaseManifest::location(const QString& sOverride)
{
    const QString sUrl = sOverride.trimmed();
    if (sUrl.isEmpty())
        return QUrl(
            QStringLiteral("https://") + QLatin1String(kUpdateHost) + QLatin1String(kManifestPath), QUrl::TolerantMode);

    const QUrl url(sUrl, QUrl::TolerantMode);
    if (isWebAddress(url))
        return url;
    qWarning() << kOverrideVariable << "is not an http or https address, the update check will fail:" << sUrl;
    return QUrl();
}

QUrl ReleaseManifest::location()
{
    return location(qEnvironmentVariable(kOverrideVariable));
}

bool ReleaseManifest::isDownloadAddress(const QString& sUrl)
{
    return isWebAddress(QUrl(sUrl, QUrl::TolerantMode));
}
