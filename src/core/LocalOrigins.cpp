#include "core/LocalOrigins.h"

#include <QUrl>

namespace orbisk {

namespace {
QString originOfUrl(const QUrl& url)
{
    const QString sScheme = url.scheme().toLower();
    const QString sHost = url.host(QUrl::FullyEncoded).toLower();
    if (!url.isValid() || (sScheme != QLatin1String("http") && sScheme != QLatin1String("https")) || sHost.isEmpty())
        return {};
    QUrl origin;
    origin.setScheme(sScheme);
    origin.setHost(sHost);
    const int iDefaultPort = sScheme == QLatin1String("https") ? 443 : 80;
    if (url.port() != -1 && url.port() != iDefaultPort)
        origin.setPort(url.port());
    return origin.toString(QUrl::FullyEncoded);
}
} // namespace

QString webOriginOf(const QString& sUrl)
{
    return originOfUrl(QUrl(sUrl.trimmed(), QUrl::StrictMode));
}

QString originOfHeader(const QString& sValue)
{
    const QUrl url(sValue.trimmed(), QUrl::StrictMode);
    if (!url.path().isEmpty() || url.hasQuery() || url.hasFragment() || !url.userInfo().isEmpty())
        return {};
    return originOfUrl(url);
}

} // namespace orbisk
