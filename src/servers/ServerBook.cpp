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
    m_servers += ServerListFile::read(m_sPath);
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
    for (const ServerEntry& known : qAsConst(m_servers)) {
        if (known.url == entry.url)
            return false;
    }
    if (entry.isDefault) {
        for (ServerEntry& other : m_servers)
            other.isDefault = false;
    }
    m_servers.append(entry);
    save();
    emit serverAdded(entry);
    if (entry.isDefault)
        emit defaultChanged();
    return true;
}

bool ServerBook::remove(const QString& sUrl)
{
    for (int i = 0; i < m_servers.size(); ++i) {
        if (m_servers.at(i).url == sUrl) {
            m_servers.remove(i);
            save();
            emit serverRemoved(sUrl);
            return true;
        }
    }
    return false;
}

void ServerBook::setDefault(const QString& sUrl, bool isDefault)
{
    for (ServerEntry& entry : m_servers)
        entry.isDefault = isDefault && entry.url == sUrl;
    save();
    emit defaultChanged();
}

void ServerBook::save() const
{
    // A fresh account may not have the data folder yet.
    QDir().mkpath(QFileInfo(m_sPath).absolutePath());
    if (!ServerListFile::write(m_sPath, m_servers))
        qDebug() << "ServerBook: could not write" << m_sPath;
}

} // namespace orbisk
