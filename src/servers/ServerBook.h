#pragma once

#include "servers/ServerEntry.h"

#include <QObject>
#include <QString>

namespace orbisk {

// The one owner of the server list: every change goes through it, is saved at once to
// the server-list file, and is announced, so that the login window's picker and the
// main window's server menu follow the same list in the same order. Servers an
// administrator manages come first; they are never saved into the user's file and
// cannot be deleted. The user's own servers follow, unless the administrator allows
// none: then they are hidden (and kept in the file).
class ServerBook : public QObject
{
    Q_OBJECT

public:
    // sPath is the server-list file the book reads and saves.
    explicit ServerBook(QString sPath, QObject* parent = nullptr);

    // Appends the file's entries to the user's servers (read once, at start; announces
    // nothing).
    void load();
    // The managed servers, the URL of the managed default (may be empty), whether the
    // user may not choose another default, and whether the user's own servers count.
    // Set once, at start, before the picker and the menu are filled.
    void setManaged(
        const ServerList& managed, const QString& sDefaultUrl, bool isDefaultLocked, bool allowsUserServers);

    // What the picker and the menu show, in order: the managed servers, then the user's.
    const ServerList& servers() const { return m_servers; }
    bool isManaged(const QString& sUrl) const;
    bool allowsUserServers() const { return m_allowsUserServers; }
    bool isDefaultLocked() const { return m_isDefaultLocked; }
    bool isEmpty() const { return m_servers.isEmpty(); }
    // The first default entry, or null.
    const ServerEntry* defaultServer() const;
    // The index of the server a shown text stands for, or -1 (see indexOfShownServer).
    int indexOfShown(const QString& sShownText) const;

    // Appends a server of the user's unless its URL is known already or the user may
    // add none; a default one becomes the only default. Returns whether it was added.
    bool add(const ServerEntry& entry);
    // Removes the user's first entry with the URL (a managed one stays). Returns whether
    // one was removed.
    bool remove(const QString& sUrl);
    // Makes the user's entries with the URL the defaults (and no other), or with
    // isDefault false leaves the user no default, so a managed default applies. Nothing
    // changes while the default is locked.
    void setDefault(const QString& sUrl, bool isDefault);

signals:
    void serverAdded(const ServerEntry& entry);
    void serverRemoved(const QString& sUrl);
    void defaultChanged();

private:
    void save() const;
    // Builds what is shown from the managed and the user's servers.
    void rebuild();

    const QString m_sPath;
    ServerList m_managed;
    QString m_sManagedDefaultUrl;
    bool m_isDefaultLocked = false;
    bool m_allowsUserServers = true;
    // The user's servers as the file holds them.
    ServerList m_user;
    ServerList m_servers;
};

} // namespace orbisk
