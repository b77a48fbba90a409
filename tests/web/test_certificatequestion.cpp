// What the certificate question says, in English and in Chinese: what is wrong, the
// certificate's names, dates and fingerprint, and the plain warning of a changed certificate.
#include "web/CertificateQuestion.h"

#include "ui/LanguageTexts.h"

#include "TestCertificates.h"
#include "TestEnvironment.h"

#include <QTranslator>
#include <QUrl>
#include <QWebEngineCertificateError>
#include <QtTest>

using Verdict = CertificateTrustStore::Verdict;

class TestCertificateQuestion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void problem_data();
    void problem();
    void detailsOfTheCertificate();
    void changedCertificateWarnsOfInterception_data();
    void changedCertificateWarnsOfInterception();

private:
    LanguageTexts m_english;
    LanguageTexts m_chinese;
};

namespace {

// The texts of one of the client's catalogues.
LanguageTexts catalogueTexts(const QString& sFile)
{
    QTranslator translator;
    if (!translator.load(QStringLiteral(":/resource/translator/") + sFile))
        qFatal("cannot load %s", qPrintable(sFile));
    QCoreApplication::installTranslator(&translator);
    return LanguageTexts::fromInstalledTranslators();
}

} // namespace

void TestCertificateQuestion::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    m_english = catalogueTexts(QStringLiteral("ValtroEnterpriseEN.qm"));
    m_chinese = catalogueTexts(QStringLiteral("ValtroEnterpriseCN.qm"));
}

void TestCertificateQuestion::problem_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QByteArray>("pem");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("chinese");

    const QDateTime during(QDate(2030, 1, 1), QTime(0, 0), Qt::UTC);
    const QByteArray self = orbisk::test::kSelfSignedPem;
    const QByteArray issued = orbisk::test::kIssuedPem;
    const QString engine = QStringLiteral("engine says: weak key");
    QTest::newRow("self-signed") << int(QWebEngineCertificateError::CertificateAuthorityInvalid) << self << during
                                 << engine
                                 << "The certificate is self-signed: no authority that this computer trusts vouches "
                                    "for it."
                                 << "该证书为自签名证书：没有任何受此计算机信任的颁发机构为它担保。";
    QTest::newRow("unknown authority") << int(QWebEngineCertificateError::CertificateAuthorityInvalid) << issued
                                       << during << engine
                                       << "The certificate is issued by an authority that this computer does not trust."
                                       << "该证书由此计算机不信任的颁发机构签发。";
    QTest::newRow("wrong name") << int(QWebEngineCertificateError::CertificateCommonNameInvalid) << issued << during
                                << engine << "The certificate is issued for another name than files.example.com."
                                << "该证书是为 files.example.com 以外的名称签发的。";
    QTest::newRow("expired") << int(QWebEngineCertificateError::CertificateDateInvalid) << issued
                             << QDateTime(QDate(2037, 1, 1), QTime(0, 0), Qt::UTC) << engine
                             << "The certificate has expired."
                             << "该证书已过期。";
    QTest::newRow("not valid yet") << int(QWebEngineCertificateError::CertificateDateInvalid) << issued
                                   << QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC) << engine
                                   << "The certificate is not valid yet."
                                   << "该证书尚未生效。";
    // The engine's description has no translation: it stands as the engine gave it.
    QTest::newRow("other: the engine's words")
        << int(QWebEngineCertificateError::CertificateWeakKey) << issued << during << engine << engine << engine;
    QTest::newRow("other, engine without words")
        << int(QWebEngineCertificateError::CertificateWeakKey) << issued << during << " \n "
        << "The certificate is not valid."
        << "该证书无效。";
}

void TestCertificateQuestion::problem()
{
    QFETCH(int, error);
    QFETCH(QByteArray, pem);
    QFETCH(QDateTime, now);
    QFETCH(QString, engine);
    QFETCH(QString, english);
    QFETCH(QString, chinese);
    const CertificateQuestion question
        = CertificateQuestion::make(QUrl(QStringLiteral("https://files.example.com:8443/app/login?uuid=1")), error,
            engine, {QSslCertificate(pem)}, Verdict::Unknown, now);
    QCOMPARE(question.problemText(m_english), english);
    QCOMPARE(question.problemText(m_chinese), chinese);
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
    QCOMPARE(question.validity(m_english), QStringLiteral("2026-12-07 13:09 UTC to 2036-12-04 13:09 UTC"));
    QCOMPARE(question.validity(m_chinese), QStringLiteral("2026-12-07 13:09 UTC 至 2036-12-04 13:09 UTC"));
    QCOMPARE(question.title(m_english), QStringLiteral("Untrusted server certificate"));
    QCOMPARE(question.title(m_chinese), QStringLiteral("不受信任的服务器证书"));
    QVERIFY(question.message(m_english).contains(QStringLiteral("files.example.com:443")));
    QVERIFY(question.message(m_chinese).startsWith(QStringLiteral("此计算机不信任 files.example.com:443 的证书。")));
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
    QCOMPARE(question.title(m_english).contains(QStringLiteral("changed")), changed);
    QCOMPARE(question.message(m_english).contains(QStringLiteral("someone is intercepting the connection")), changed);
    QVERIFY(question.message(m_english).contains(QStringLiteral("h.example:9443")));
    QCOMPARE(question.title(m_chinese),
        changed ? QStringLiteral("服务器的证书已更改") : QStringLiteral("不受信任的服务器证书"));
    QCOMPARE(question.message(m_chinese).contains(QStringLiteral("有人正在拦截该连接")), changed);
    QVERIFY(question.message(m_chinese).contains(QStringLiteral("h.example:9443")));
}

QTEST_GUILESS_MAIN(TestCertificateQuestion)
#include "test_certificatequestion.moc"
