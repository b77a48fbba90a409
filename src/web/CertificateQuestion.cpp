#include "web/CertificateQuestion.h"

#include "ui/LanguageTexts.h"

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

CertificateQuestion::Problem problemOf(int errorCode, const QSslCertificate& certificate, const QDateTime& now)
{
    using Problem = CertificateQuestion::Problem;
    switch (errorCode) {
    case QWebEngineCertificateError::CertificateAuthorityInvalid:
        return certificate.isSelfSigned() ? Problem::SelfSigned : Problem::UnknownAuthority;
    case QWebEngineCertificateError::CertificateCommonNameInvalid:
        return Problem::OtherName;
    case QWebEngineCertificateError::CertificateDateInvalid:
        return !certificate.isNull() && now < certificate.effectiveDate() ? Problem::NotYetValid : Problem::Expired;
    default:
        return Problem::Other;
    }
}

} // namespace

CertificateQuestion CertificateQuestion::make(const QUrl& url, int errorCode, const QString& sEngineDescription,
    const QList<QSslCertificate>& chain, CertificateTrustStore::Verdict verdict, const QDateTime& now)
{
    const QSslCertificate certificate = chain.value(0);
    CertificateQuestion question;
    question.sServer = CertificateTrustStore::serverOf(url);
    question.sHost = url.host();
    question.isChanged = verdict == CertificateTrustStore::Verdict::Changed;
    question.problem = problemOf(errorCode, certificate, now);
    question.sEngineProblem = sEngineDescription.trimmed();
    question.sIssuedTo = nameOf(certificate, false);
    question.sIssuedBy = nameOf(certificate, true);
    question.validFrom = certificate.effectiveDate();
    question.validUntil = certificate.expiryDate();
    question.sFingerprint = CertificateTrustStore::fingerprintOf(certificate);
    return question;
}

QString CertificateQuestion::title(const LanguageTexts& texts) const
{
    return isChanged ? texts.CertificateChanged : texts.CertificateUntrusted;
}

QString CertificateQuestion::message(const LanguageTexts& texts) const
{
    return (isChanged ? texts.CertificateChangedWarning : texts.CertificateUntrustedWarning).arg(sServer);
}

QString CertificateQuestion::problemText(const LanguageTexts& texts) const
{
    switch (problem) {
    case Problem::SelfSigned:
        return texts.CertificateSelfSigned;
    case Problem::UnknownAuthority:
        return texts.CertificateUnknownAuthority;
    case Problem::OtherName:
        return texts.CertificateOtherName.arg(sHost);
    case Problem::Expired:
        return texts.CertificateExpired;
    case Problem::NotYetValid:
        return texts.CertificateNotYetValid;
    case Problem::Other:
        break;
    }
    // The engine names problems the client has no words of its own for; without
    // its words the user still learns that the certificate is not valid.
    return sEngineProblem.isEmpty() ? texts.CertificateInvalid : sEngineProblem;
}

QString CertificateQuestion::validity(const LanguageTexts& texts) const
{
    return texts.CertificateValidRange.arg(dateText(validFrom), dateText(validUntil));
}
