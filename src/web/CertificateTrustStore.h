#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

class QSslCertificate;
class QUrl;

// The server certificates the user chose to trust although the system does not: for
// each server ("host:port"), the SHA-256 fingerprints of its trusted certificates.
// The file is a JSON object of "host:port" to an array of fingerprints written as
// upper-case hex pairs joined by colons, the form the certificate dialog shows.
class CertificateTrustStore
{
public:
    enum class Verdict {
        Trusted, // this certificate was trusted for this server
        Unknown, // nothing was trusted for this server
        Changed // another certificate was trusted for this server
    };

    // A store kept in the file at sPath; an empty path keeps it in memory only.
    explicit CertificateTrustStore(const QString& sPath = QString());

    // Reads the file. A missing file reads as empty; a malformed one is moved aside
    // (".bad") and reads as empty too, so no half-read file ever grants trust.
    void load();
    // Writes the file atomically; false when it could not be written.
    bool save() const;

    Verdict verdict(const QString& sServer, const QString& sFingerprint) const;
    // Makes the certificate the one trusted for the server. A certificate trusted
    // before for that server is forgotten: a replaced key is not trusted any longer.
    void trust(const QString& sServer, const QString& sFingerprint);
    QStringList fingerprints(const QString& sServer) const { return m_trusted.value(sServer); }

    // "host:port" of a web address: host in lower case, an IPv6 address in brackets,
    // the scheme's default port when none is written. Empty for an address without a host.
    static QString serverOf(const QUrl& url);
    // The SHA-256 fingerprint of a certificate's DER form, e.g. "0F:A1:...".
    static QString fingerprintOf(const QSslCertificate& certificate);

    // The file's content to entries and back. parse returns false for anything that
    // is not exactly the expected shape.
    static bool parse(const QByteArray& bytes, QMap<QString, QStringList>* pEntries);
    static QByteArray serialize(const QMap<QString, QStringList>& entries);

private:
    QString m_sPath;
    QMap<QString, QStringList> m_trusted;
};
