#pragma once

#include "web/CertificateTrustStore.h"

#include <QDateTime>
#include <QList>
#include <QSslCertificate>
#include <QString>

struct LanguageTexts;
class QUrl;

// What the user is asked about a server certificate that the system does not trust:
// the server, what is wrong, the certificate's names, dates and fingerprint, and
// whether a different certificate was trusted for the server before. It keeps what
// is wrong as a kind rather than as words, so the question can be worded again in
// whatever language the client shows.
struct CertificateQuestion
{
    // What is wrong with the certificate.
    enum class Problem {
        SelfSigned,
        UnknownAuthority,
        OtherName, // issued for another name than sHost
        Expired,
        NotYetValid,
        Other, // described by the engine, in sEngineProblem
    };

    QString sServer; // "host:port"
    QString sHost; // the name the client asked for
    bool isChanged = false;
    // false: the administrator allows no exceptions, so only refusing is offered.
    bool isTrustOffered = true;
    Problem problem = Problem::Other;
    QString sEngineProblem;
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

    QString title(const LanguageTexts& texts) const;
    // The plain warning above the details; a changed certificate says so, and what it can mean.
    QString message(const LanguageTexts& texts) const;
    // What is wrong, in one sentence.
    QString problemText(const LanguageTexts& texts) const;
    // The validity dates as one line, in UTC.
    QString validity(const LanguageTexts& texts) const;
};
