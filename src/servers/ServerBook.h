#pragma once

#include "servers/ServerEntry.h"

#include <QObject>
#include <QString>

namespace orbisk {

// The one owner of the user's server list: every change goes through it, is saved at
// once to the server-list file, and is announced, so that the login window's picker and
// the main window's server menu follow the same list in the same order.
class ServerBook : public QObject
{
    Q_OBJECT

public:
    // sPath is the server-list file the book reads and saves.
    explicit ServerBook(QString sPath, QObject* parent = nullptr);

    // Appends the file's entries to the list (read once, at start; announces nothing).
    void load();

    const ServerList& servers() const { return m_servers; }
    bool isEmpty() const { return m_servers.isEmpty(); }
    // The first default entry, or null.
    const ServerEntry* defaultServer() const;
    // The index of the server a shown text stands for, or -1 (see indexOfShownServer).
    int indexOfShown(const QString& sShownText) const;

    // Appends a server unless its URL is known already; a default one becomes the only
    // default. Returns whether it was added.
    bool add(const ServerEntry& entry);
    // Removes the first entry with the URL. Returns whether one was removed.
    bool remove(const QString& sUrl);
    // Makes the entries with the URL the defaults (and no other), or with isDefault
    // false leaves no default at all.
    void setDefault(const QString& sUrl, bool isDefault);

signals:
    void serverAdded(const ServerEntry& entry);
    void serverRemoved(const QString& sUrl);
    void defaultChanged();

private:
    void save() const;

    const QString m_sPath;
    ServerList m_servers;
};

} // namespace orbisk
