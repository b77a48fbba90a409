#include "web/ManagedNetwork.h"

#include <QNetworkProxy>

namespace orbisk {

QByteArray managedEngineFlags(const QByteArray& current, const ManagedConfig& managed)
{
    QByteArrayList flags;
    if (!current.trimmed().isEmpty())
        flags.append(current.trimmed());
    // Each value has been checked to hold no blank, so it stays one switch.
    if (managed.proxyPacUrl.isValid())
        flags.append("--proxy-pac-url=" + managed.proxyPacUrl.toEncoded());
    if (managed.authServerAllowlist) {
        const QByteArray hosts = managed.authServerAllowlist->join(QLatin1Char(',')).toLatin1();
        flags.append("--auth-server-whitelist=" + hosts);
    }
    return flags.join(' ');
}

void applyManagedNetwork(const ManagedConfig& managed)
{
    if (!managed.proxyHost.isEmpty())
        QNetworkProxy::setApplicationProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, managed.proxyHost, managed.proxyPort));
    const QByteArray flags = managedEngineFlags(qgetenv(kEngineFlagsVariable), managed);
    if (!flags.isEmpty())
        qputenv(kEngineFlagsVariable, flags);
}

} // namespace orbisk
