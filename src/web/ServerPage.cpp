#include "web/ServerPage.h"

namespace ServerPage {

bool hasWebScheme(const QString& sServerUrl)
{
    return sServerUrl.startsWith(QLatin1String("https://"), Qt::CaseInsensitive)
        || sServerUrl.startsWith(QLatin1String("http://"), Qt::CaseInsensitive);
}

QString loginPageUrl(const QString& sServerUrl, const QString& sDeviceUuid)
{
    return sServerUrl + QStringLiteral("/app/login?uuid=") + sDeviceUuid;
}

QString testPageUrl(const QString& sServerUrl)
{
    return sServerUrl + QStringLiteral("/qz4n-test");
}

bool isServiceTitle(const QString& sTitle)
{
    return sTitle.contains(QLatin1String("valtro-enterprise"), Qt::CaseSensitive)
        || sTitle.contains(QLatin1String("Orbisk"), Qt::CaseSensitive);
}

bool opensInSystemBrowser(const QUrl& url)
{
    const QString sScheme = url.scheme();
    return url.isValid() && !url.host().isEmpty()
        && (sScheme == QLatin1String("https") || sScheme == QLatin1String("http"));
}

bool mayNavigateTo(const QUrl& url)
{
    return !url.isLocalFile() && url.scheme() != QLatin1String("file");
}

} // namespace ServerPage
