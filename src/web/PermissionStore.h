#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

class QUrl;

// The user's answers to "<server> wants to show notifications", per server origin.
// The file is a JSON object of origin ("https://host:port") to an object with one
// member, "notifications", true for allowed and false for not allowed.
class PermissionStore
{
public:
    enum class Answer { None, Allowed, Denied };

    // A store kept in the file at sPath; an empty path keeps it in memory only.
    explicit PermissionStore(const QString& sPath = QString());

    // Reads the file. A missing file reads as empty; a malformed one is moved aside
    // (".bad") and reads as empty, so every question is asked again and nothing is
    // granted from a half-read file.
    void load();
    // Writes the file atomically; false when it could not be written.
    bool save() const;

    Answer notifications(const QUrl& origin) const;
    void setNotifications(const QUrl& origin, bool isAllowed);

    // "scheme://host:port" of a web address, scheme and host in lower case and the
    // scheme's default port written out; empty for anything but an http(s) address
    // with a host.
    static QString originOf(const QUrl& url);

    // The file's content to entries (origin to allowed) and back. parse returns false
    // for anything that is not exactly the expected shape.
    static bool parse(const QByteArray& bytes, QMap<QString, bool>* pEntries);
    static QByteArray serialize(const QMap<QString, bool>& entries);

private:
    QString m_sPath;
    QMap<QString, bool> m_notifications;
};
