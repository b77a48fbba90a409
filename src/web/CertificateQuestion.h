#pragma once

#include "web/CertificateTrustStore.h"

#include <QDateTime>
#include <QList>
#include <QSslCertificate>
#include <QString>

class QUrl;

// What the user is asked about a server certificate that the system does not trust:
// the server, what is wrong, the certificate's names, dates and fingerprint, and
// whether a different certificate was trusted for the server before.
struct CertificateQuestion
{
    QString sServer; // "host:port"
    bool isChanged = false;
    QString sProblem;
    QString sIssuedTo;
    QString sIssuedBy;
    QDateTime validFrom;
    QDateTime validUntil;
    QString sFingerprint;

    // The question for a certificate error of the engine: its error code and
    // description, the server's certificate chain (server's own certificate first),
    // the address that was requested and the store's verdict on it.
    static CertificateQuestion make(const QUrl& url, int errorCode, const QString& sEngineDescription,
        const QList<QSslCertificate>& chain, CertificateTrustStore::Verdict verdict,
        const QDateTime& now = QDateTime::currentDateTimeUtc());

    QString title() const;
    // The plain warning above the details; a changed certificate says so, and what it can mean.
    QString message() const;
    // The validity dates as one line, in UTC.
    QString validity() const;
};
