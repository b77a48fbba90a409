#include "web/CertificateQuestion.h"

#include <QUrl>
#include <QWebEngineCertificateError>

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm 'UTC'");

QString dateText(const QDateTime& dateTime)
{
    return dateTime.toUTC().toString(kDateFormat);
}

// A certificate's name as a person reads it: the common name, else the organisation.
QString nameOf(const QSslCertificate& certificate, bool isIssuer)
{
    const auto info = [&](QSslCertificate::SubjectInfo field) {
        return (isIssuer ? certificate.issuerInfo(field) : certificate.subjectInfo(field)).join(QStringLiteral(", "));
    };
    const QString sCommonName = info(QSslCertificate::CommonName);
    const QString sOrganization = info(QSslCertificate::Organization);
    if (sCommonName.isEmpty())
        return sOrganization;
    if (sOrganization.isEmpty())
        return sCommonName;
    return sCommonName + QStringLiteral(" (") + sOrganization + QLatin1Char(')');
}

QString problemOf(int errorCode, const QString& sEngineDescription, const QString& sHost,
    const QSslCertificate& certificate, const QDateTime& now)
{
    switch (errorCode) {
    case QWebEngineCertificateError::CertificateAuthorityInvalid:
        if (certificate.isSelfSigned())
            return QStringLiteral("The certificate is self-signed: no authority that this computer trusts vouches "
                                  "for it.");
        return QStringLiteral("The certificate is issued by an authority that this computer does not trust.");
    case QWebEngineCertificateError::CertificateCommonNameInvalid:
        return QStringLiteral("The certificate is issued for another name than %1.").arg(sHost);
    case QWebEngineCertificateError::CertificateDateInvalid:
        if (!certificate.isNull() && now < certificate.effectiveDate())
            return QStringLiteral("The certificate is not valid yet.");
        return QStringLiteral("The certificate has expired.");
    default:
        return sEngineDescription;
    }
}

} // namespace

CertificateQuestion CertificateQuestion::make(const QUrl& url, int errorCode, const QString& sEngineDescription,
    const QList<QSslCertificate>& chain, CertificateTrustStore::Verdict verdict, const QDateTime& now)
{
    const QSslCertificate certificate = chain.value(0);
    CertificateQuestion question;
    question.sServer = CertificateTrustStore::serverOf(url);
    question.isChanged = verdict == CertificateTrustStore::Verdict::Changed;
    question.sProblem = problemOf(errorCode, sEngineDescription, url.host(), certificate, now);
    question.sIssuedTo = nameOf(certificate, false);
    question.sIssuedBy = nameOf(certificate, true);
    question.validFrom = certificate.effectiveDate();
    question.validUntil = certificate.expiryDate();
    question.sFingerprint = CertificateTrustStore::fingerprintOf(certificate);
    return question;
}

QString CertificateQuestion::title() const
{
    return isChanged ? QStringLiteral("The server's certificate has changed")
                     : QStringLiteral("Untrusted server certificate");
}

QString CertificateQuestion::message() const
{
    if (isChanged)
        return QStringLiteral("The certificate of %1 is not the one you trusted before. This can mean that someone "
                              "is intercepting the connection. Trust the new certificate only if the server's "
                              "administrator has told you that it changed.")
            .arg(sServer);
    return QStringLiteral("This computer does not trust the certificate of %1. Trust it only if you know that it is "
                          "the server's own certificate, for example by comparing its fingerprint with the one the "
                          "server's administrator gave you.")
        .arg(sServer);
}

QString CertificateQuestion::validity() const
{
    return QStringLiteral("%1 to %2").arg(dateText(validFrom), dateText(validUntil));
}
