// What the certificate question says: what is wrong, the certificate's names, dates
// and fingerprint, and the plain warning of a changed certificate.
#include "web/CertificateQuestion.h"

#include "TestCertificates.h"

#include <QUrl>
#include <QWebEngineCertificateError>
#include <QtTest>

using Verdict = CertificateTrustStore::Verdict;

class TestCertificateQuestion : public QObject
{
    Q_OBJECT

private slots:
    void problem_data();
    void problem();
    void detailsOfTheCertificate();
    void changedCertificateWarnsOfInterception_data();
    void changedCertificateWarnsOfInterception();
};

void TestCertificateQuestion::problem_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QByteArray>("pem");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("problem");

    const QDateTime during(QDate(2030, 1, 1), QTime(0, 0), Qt::UTC);
    const QByteArray self = orbisk::test::kSelfSignedPem;
    const QByteArray issued = orbisk::test::kIssuedPem;
    QTest::newRow("self-signed") << int(QWebEngineCertificateError::CertificateAuthorityInvalid) << self << during
                                 << "The certificate is self-signed: no authority that this computer trusts vouches "
                                    "for it.";
    QTest::newRow("unknown authority")
        << int(QWebEngineCertificateError::CertificateAuthorityInvalid) << issued << during
        << "The certificate is issued by an authority that this computer does not trust.";
    QTest::newRow("wrong name") << int(QWebEngineCertificateError::CertificateCommonNameInvalid) << issued << during
                                << "The certificate is issued for another name than files.example.com.";
    QTest::newRow("expired") << int(QWebEngineCertificateError::CertificateDateInvalid) << issued
                             << QDateTime(QDate(2037, 1, 1), QTime(0, 0), Qt::UTC) << "The certificate has expired.";
    QTest::newRow("not valid yet") << int(QWebEngineCertificateError::CertificateDateInvalid) << issued
                                   << QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC)
                                   << "The certificate is not valid yet.";
    QTest::newRow("other: the engine's words")
        << int(QWebEngineCertificateError::CertificateWeakKey) << issued << during << "engine says: weak key";
}

void TestCertificateQuestion::problem()
{
    QFETCH(int, error);
    QFETCH(QByteArray, pem);
    QFETCH(QDateTime, now);
    QFETCH(QString, problem);
    const CertificateQuestion question
        = CertificateQuestion::make(QUrl(QStringLiteral("https://files.example.com:8443/app/login?uuid=1")), error,
            QStringLiteral("engine says: weak key"), {QSslCertificate(pem)}, Verdict::Unknown, now);
    QCOMPARE(question.sProblem, problem);
}

void TestCertificateQuestion::detailsOfTheCertificate()
{
    const QSslCertificate issued(orbisk::test::kIssuedPem);
    const QSslCertificate authority(orbisk::test::kSelfSignedPem);
    // The server's own certificate is the first of the chain.
    const CertificateQuestion question = CertificateQuestion::make(QUrl(QStringLiteral("https://Files.Example.com/x")),
        QWebEngineCertificateError::CertificateAuthorityInvalid, QString(), {issued, authority}, Verdict::Unknown);
    QCOMPARE(question.sServer, QStringLiteral("files.example.com:443"));
    QCOMPARE(question.sIssuedTo, QStringLiteral("leaf.example"));
    QCOMPARE(question.sIssuedBy, QStringLiteral("Test Authority (Orbisk tests)"));
    QCOMPARE(question.sFingerprint, orbisk::test::kIssuedFingerprint);
    QCOMPARE(question.validity(), QStringLiteral("2026-12-07 13:09 UTC to 2036-12-04 13:09 UTC"));
    QCOMPARE(question.title(), QStringLiteral("Untrusted server certificate"));
    QVERIFY(question.message().contains(QStringLiteral("files.example.com:443")));
}

void TestCertificateQuestion::changedCertificateWarnsOfInterception_data()
{
    QTest::addColumn<int>("verdict");
    QTest::addColumn<bool>("changed");
    QTest::newRow("first time") << int(Verdict::Unknown) << false;
    QTest::newRow("another certificate was trusted") << int(Verdict::Changed) << true;
}

void TestCertificateQuestion::changedCertificateWarnsOfInterception()
{
    QFETCH(int, verdict);
    QFETCH(bool, changed);
    const CertificateQuestion question = CertificateQuestion::make(QUrl(QStringLiteral("https://h.example:9443")),
        QWebEngineCertificateError::CertificateAuthorityInvalid, QString(),
        {QSslCertificate(orbisk::test::kSelfSignedPem)}, Verdict(verdict));
    QCOMPARE(question.isChanged, changed);
    QCOMPARE(question.title().contains(QStringLiteral("changed")), changed);
    QCOMPARE(question.message().contains(QStringLiteral("someone is intercepting the connection")), changed);
    QVERIFY(question.message().contains(QStringLiteral("h.example:9443")));
}

QTEST_GUILESS_MAIN(TestCertificateQuestion)
#include "test_certificatequestion.moc"
