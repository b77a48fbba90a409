#pragma once

#include "web/CertificateTrustStore.h"

#include <QDateTime>
#include <QList>
#include <QSslCertificate>
#include <QString>
#include <QStringList>

// The certificate trust an administrator set for every user of the machine (the
// managed keys TrustedCertificates, TrustedCaFile and AllowCertificateExceptions), and
// the rules that let a server's certificate load with it. Either rule asks that the
// server's own certificate is made out for the host the client asked for, as the
// engine matches names (its subject alternative names; the common name does not count).
struct ManagedTrust
{
    // Which rule trusted a certificate.
    enum class Rule {
        None,
        Fingerprint, // the server's own certificate is one of fingerprints
        Authority, // one of cas issued the chain
    };

    // SHA-256 fingerprints as CertificateTrustStore::fingerprintOf writes them.
    QStringList fingerprints;
    // Trust anchors: one of them, or a certificate authority they certify, must have
    // signed the server's certificate. Self-signed roots and intermediates both work.
    QList<QSslCertificate> cas;
    // false: the question offers only Cancel and the user's remembered certificates
    // are not used.
    bool allowExceptions = true;

    // The rule that trusts the chain (the server's own certificate first, then what
    // the server sent along) for sHost (a name in its ASCII form or an IP address),
    // checked at now.
    Rule ruleFor(const QList<QSslCertificate>& chain, const QString& sHost,
        const QDateTime& now = QDateTime::currentDateTimeUtc()) const;
    // What the user remembered for the certificate (see CertificateTrustStore::verdict);
    // Unknown, as if nothing was, while exceptions are not allowed.
    CertificateTrustStore::Verdict userVerdict(
        const CertificateTrustStore& store, const QString& sServer, const QString& sFingerprint) const;
};
