#pragma once

#include <QString>
#include <QUrl>

// The rules by which the main window loads a transfer server's web application,
// recognises it, and limits where the page may lead.
namespace ServerPage {

// Whether the server URL starts with "https://" or "http://", in any letter case.
bool hasWebScheme(const QString& sServerUrl);

// The server's login page: sServerUrl + "/app/login?uuid=" + sDeviceUuid, joined as
// plain text (no slash added or removed, nothing percent-encoded).
QString loginPageUrl(const QString& sServerUrl, const QString& sDeviceUuid);

// The server's test page: sServerUrl + "/qz4n-test".
QString testPageUrl(const QString& sServerUrl);

// Whether a loaded page identifies itself as the service: its title contains
// "valtro-enterprise" or "Orbisk", both case-sensitive.
bool isServiceTitle(const QString& sTitle);

// Whether a window the page asks for (target=_blank, window.open) may be opened in
// the system's web browser: a valid http or https address with a host.
bool opensInSystemBrowser(const QUrl& url);

// Whether the page may navigate to the address. Local files never replace the page:
// a file dropped where the page does not take drops would otherwise be shown in its place.
bool mayNavigateTo(const QUrl& url);

} // namespace ServerPage
