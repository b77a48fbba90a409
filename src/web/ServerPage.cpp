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

} // namespace ServerPage
