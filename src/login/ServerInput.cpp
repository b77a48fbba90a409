#include "login/ServerInput.h"

#include "servers/ServerDisplayText.h"

#include <QRegularExpression>
#include <QUrl>

namespace {

const QString kHttps = QStringLiteral("https://");
const QString kHttp = QStringLiteral("http://");
constexpr int kMaxPort = 65535;

// host[:port][/path] with nothing before the host: a bracketed IPv6 address or a
// name without ':', '/' or brackets; the port, when its colon is there, is digits.
bool isHostPortPath(const QString& address)
{
    static const QRegularExpression shape(QStringLiteral(R"(^(\[[^\]]*\]|[^:/\[\]]+)(?::(\d{1,5}))?(/.*)?$)"));
    const QRegularExpressionMatch match = shape.match(address);
    if (!match.hasMatch())
        return false;
    if (match.capturedLength(2) > 0) {
        const int port = match.captured(2).toInt();
        if (port < 1 || port > kMaxPort)
            return false;
    }
    // The login page's path and query are appended to the URL, so the address may
    // carry neither a query, a fragment nor user information of its own.
    const QUrl url(kHttps + address, QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty() && url.userInfo().isEmpty() && !url.hasQuery() && !url.hasFragment()
        && !url.path().startsWith(QLatin1String("//"));
}

} // namespace

ServerInput ServerInput::fromNewServerFields(const QString& address, const QString& alias)
{
    ServerInput input;
    QString host = address.trimmed();
    if (host.startsWith(kHttp, Qt::CaseInsensitive)) {
        input.problem = Problem::HttpNotSupported;
        return input;
    }
    if (host.startsWith(kHttps, Qt::CaseInsensitive))
        host.remove(0, kHttps.size());
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    if (!isHostPortPath(host)) {
        input.problem = Problem::InvalidAddress;
        return input;
    }

    input.url = kHttps + host;
    input.name = alias.trimmed();
    if (input.name.isEmpty())
        input.problem = Problem::MissingAlias;
    return input;
}

ServerInput ServerInput::fromShownText(const QString& text, const ServerList& servers)
{
    ServerInput input;
    const int index = indexOfShownServer(servers, text.trimmed());
    if (index >= 0) {
        input.name = servers.at(index).name;
        input.url = servers.at(index).url;
    } else {
        // Taken apart before trimming, so that the blank of " (" still ends the name.
        const ServerEntry entry = parseServerDisplayText(text);
        input.name = entry.name.trimmed();
        input.url = entry.url.trimmed();
    }
    if (input.url.isEmpty())
        input.problem = Problem::InvalidAddress;
    else if (input.name.isEmpty())
        input.problem = Problem::MissingAlias;
    return input;
}
