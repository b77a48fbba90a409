#include "web/ManagedNetwork.h"

#include <QDebug>
#include <QNetworkProxy>
#include <QStringList>

namespace orbisk {

QStringList signOnHosts(const ManagedConfig& managed, const QStringList& serverHosts)
{
    QStringList hosts = managed.authServerAllowlist.value_or(serverHosts);
    hosts.removeAll(QString());
    hosts.removeDuplicates();
    return hosts;
}

QByteArray engineFlags(const QByteArray& current, const ManagedConfig& managed, const QStringList& serverHosts)
{
    QByteArrayList flags;
    if (!current.trimmed().isEmpty())
        flags.append(current.trimmed());
    // Each value has been checked to hold no blank, so it stays one switch.
    if (managed.proxyPacUrl.isValid())
        flags.append("--proxy-pac-url=" + managed.proxyPacUrl.toEncoded());
    // The engine's name of the switch (later engines call it --auth-server-allowlist).
    const QStringList hosts = signOnHosts(managed, serverHosts);
    if (!hosts.isEmpty())
        flags.append("--auth-server-whitelist=" + hosts.join(QLatin1Char(',')).toLatin1());
    return flags.join(' ');
}

void applyNetwork(const ManagedConfig& managed, const QStringList& serverHosts)
{
    if (!managed.proxyHost.isEmpty())
        QNetworkProxy::setApplicationProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, managed.proxyHost, managed.proxyPort));
    else
        QNetworkProxyFactory::setUseSystemConfiguration(true);
    // For an administrator checking what the engine was given.
    const QStringList hosts = signOnHosts(managed, serverHosts);
    qInfo().noquote() << "integrated sign-on allowed for:"
                      << (hosts.isEmpty() ? QStringLiteral("no host") : hosts.join(QLatin1Char(',')));
    const QByteArray flags = engineFlags(qgetenv(kEngineFlagsVariable), managed, serverHosts);
    if (!flags.isEmpty())
        qputenv(kEngineFlagsVariable, flags);
}

} // namespace orbisk
