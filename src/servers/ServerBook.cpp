#include "servers/ServerBook.h"

#include "servers/ServerDisplayText.h"
#include "servers/ServerListFile.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace orbisk {

ServerBook::ServerBook(QString sPath, QObject* parent)
    : QObject(parent)
    , m_sPath(std::move(sPath))
{ }

void ServerBook::load()
{
    m_user += ServerListFile::read(m_sPath);
    rebuild();
}

void ServerBook::setManaged(
    const ServerList& managed, const QString& sDefaultUrl, bool isDefaultLocked, bool allowsUserServers)
{
    m_managed = managed;
    m_sManagedDefaultUrl = sDefaultUrl;
    m_isDefaultLocked = isDefaultLocked;
    m_allowsUserServers = allowsUserServers;
    rebuild();
}

void ServerBook::rebuild()
{
    const ServerList user = m_allowsUserServers ? m_user : ServerList();
    // A default of the user's counts only where it is shown: not as a managed server.
    bool hasUserDefault = false;
    for (const ServerEntry& entry : user)
        hasUserDefault |= entry.isDefault && !isManaged(entry.url);
    const bool isManagedDefault = m_isDefaultLocked || !hasUserDefault;

    m_servers.clear();
    for (ServerEntry entry : qAsConst(m_managed)) {
        entry.isDefault = isManagedDefault && entry.url == m_sManagedDefaultUrl;
        m_servers.append(entry);
    }
    for (ServerEntry entry : user) {
        // A server the administrator manages is shown once, as the managed one.
        if (isManaged(entry.url))
            continue;
        entry.isDefault = entry.isDefault && !m_isDefaultLocked;
        m_servers.append(entry);
    }
}

bool ServerBook::isManaged(const QString& sUrl) const
{
    for (const ServerEntry& entry : m_managed) {
        if (entry.url == sUrl)
            return true;
    }
    return false;
}

const ServerEntry* ServerBook::defaultServer() const
{
    for (const ServerEntry& entry : m_servers) {
        if (entry.isDefault)
            return &entry;
    }
    return nullptr;
}

int ServerBook::indexOfShown(const QString& sShownText) const
{
    return indexOfShownServer(m_servers, sShownText);
}

bool ServerBook::add(const ServerEntry& entry)
{
    if (!m_allowsUserServers || isManaged(entry.url))
        return false;
    for (const ServerEntry& known : qAsConst(m_user)) {
        if (known.url == entry.url)
            return false;
    }
    ServerEntry added = entry;
    added.isDefault = entry.isDefault && !m_isDefaultLocked;
    if (added.isDefault) {
        for (ServerEntry& other : m_user)
            other.isDefault = false;
    }
    m_user.append(added);
    save();
    rebuild();
    emit serverAdded(added);
    if (added.isDefault)
        emit defaultChanged();
    return true;
}

bool ServerBook::remove(const QString& sUrl)
{
    if (isManaged(sUrl) || !m_allowsUserServers)
        return false;
    for (int i = 0; i < m_user.size(); ++i) {
        if (m_user.at(i).url == sUrl) {
            m_user.remove(i);
            save();
            rebuild();
            emit serverRemoved(sUrl);
            return true;
        }
    }
    return false;
}

void ServerBook::setDefault(const QString& sUrl, bool isDefault)
{
    if (m_isDefaultLocked)
        return;
    for (ServerEntry& entry : m_user)
        entry.isDefault = isDefault && entry.url == sUrl;
    save();
    rebuild();
    emit defaultChanged();
}

void ServerBook::save() const
{
    // A fresh account may not have the data folder yet.
    QDir().mkpath(QFileInfo(m_sPath).absolutePath());
    if (!ServerListFile::write(m_sPath, m_user))
        qDebug() << "ServerBook: could not write" << m_sPath;
}

} // namespace orbisk
