#pragma once

// What an administrator has set for every user of this machine, and the rules that
// turn the system's raw values (see platform/managedsource.h) into it. A key whose
// value breaks a rule stays unmanaged as a whole, with one log line that names it and
// says why; nothing is half-applied.

#include <QList>
#include <QSslCertificate>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>
#include <QVector>

#include <optional>

namespace orbisk {

struct ManagedServer
{
    QString name;
    QString url;
};

struct ManagedConfig
{
    // Managed servers, first in the picker and the server menu; they cannot be deleted.
    QVector<ManagedServer> servers;
    // The URL of the managed server joined at start, unless the user has a default of
    // their own and the default is not locked; empty: none.
    QString defaultServerUrl;
    bool defaultServerLocked = false;
    // false: no new servers, and the user's own saved servers are hidden.
    bool allowUserServers = true;
    // false: no update request at all.
    bool updateCheck = true;
    // Where the update manifest is read; empty: the built-in address.
    QUrl updateManifestUrl;
    // Set and locked where present.
    std::optional<bool> startWithSystem;
    std::optional<bool> minimizeToTray;
    // false: no developer tools, no remote-debugging port.
    bool remoteDebugging = true;
    // SHA-256 fingerprints ("0F:A1:..."), loaded without the certificate question.
    QStringList trustedCertificates;
    // Certificates issued by these are loaded without the question.
    QList<QSslCertificate> trustedCas;
    // false: the certificate question offers only Cancel; remembered exceptions are unused.
    bool allowCertificateExceptions = true;
    // The hosts the page may sign in to with the user's system logon.
    std::optional<QStringList> authServerAllowlist;
    // An explicit proxy ("host", port) for the page and the update check.
    QString proxyHost;
    quint16 proxyPort = 0;
    // A proxy auto-configuration script for the page.
    QUrl proxyPacUrl;
    // Where page downloads go; empty: the user's download folder.
    QString downloadFolder;

    // The keys that took effect, in the order of keys().
    QStringList managedKeys;

    bool isManaged(const QString& sKey) const { return managedKeys.contains(sKey); }

    // Every key the client knows, in the order administrators find them documented.
    static const QStringList& keys();

    // Applies the rules to the raw values of a source. Every key taken adds one line to
    // log (its value, never a secret), every key refused one line naming it and why.
    // sHome expands "~" and "%USERPROFILE%" in DownloadFolder.
    static ManagedConfig fromValues(const QVariantMap& values, const QString& sHome, QStringList& log);

    // Reads the system's source and applies the rules, logging each line.
    static ManagedConfig load();
};

} // namespace orbisk
