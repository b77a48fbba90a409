// The administrator's certificate trust without the engine: which chains a listed
// fingerprint or certificate authority lets through, look-alike authorities and forged
// chains included, and the user's remembered certificates while exceptions are off.
#include "web/ManagedTrust.h"

#include "TestCertificates.h"

#include <QtTest>

using Rule = ManagedTrust::Rule;
using Verdict = CertificateTrustStore::Verdict;
Q_DECLARE_METATYPE(Rule)
Q_DECLARE_METATYPE(Verdict)

namespace {

const QDateTime kNow(QDate(2030, 1, 1), QTime(0, 0), Qt::UTC);

// The fixed test certificates by short name.
QList<QSslCertificate> certificates(const QStringList& names)
{
    static const QMap<QString, QByteArray> pems{{QStringLiteral("authority"), orbisk::test::kManagedAuthorityPem},
        {QStringLiteral("impostor"), orbisk::test::kImpostorAuthorityPem},
        {QStringLiteral("issuing"), orbisk::test::kIssuingAuthorityPem},
        {QStringLiteral("leaf"), orbisk::test::kManagedLeafPem},
        {QStringLiteral("issued"), orbisk::test::kIssuedLeafPem},
        {QStringLiteral("forged"), orbisk::test::kForgedLeafPem}};
    QList<QSslCertificate> list;
    for (const QString& sName : names)
        list.append(QSslCertificate(pems.value(sName)));
    return list;
}

QString fingerprintOf(const QString& sName)
{
    return CertificateTrustStore::fingerprintOf(certificates({sName}).first());
}

} // namespace

class TestManagedTrust : public QObject
{
    Q_OBJECT

private slots:
    void rule_data();
    void rule();
    void userVerdict_data();
    void userVerdict();
};

void TestManagedTrust::rule_data()
{
    QTest::addColumn<QStringList>("chain");
    QTest::addColumn<QStringList>("fingerprints");
    QTest::addColumn<QStringList>("cas");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<Rule>("expected");

    const QString sHost = QStringLiteral("files.example");
    const QString sOther = QStringLiteral("other.example");
    const QStringList leaf{QStringLiteral("leaf")};
    const QStringList authority{QStringLiteral("authority")};
    const QStringList none;
    QTest::newRow("fingerprint listed") << leaf << QStringList{fingerprintOf("leaf")} << none << sHost << kNow
                                        << Rule::Fingerprint;
    QTest::newRow("fingerprint not listed")
        << leaf << QStringList{fingerprintOf("issued")} << none << sHost << kNow << Rule::None;
    QTest::newRow("fingerprint listed, another host")
        << leaf << QStringList{fingerprintOf("leaf")} << none << sOther << kNow << Rule::None;
    QTest::newRow("issued by the authority") << leaf << none << authority << sHost << kNow << Rule::Authority;
    QTest::newRow("through an intermediate the server sends")
        << QStringList{"issued", "issuing"} << none << authority << sHost << kNow << Rule::Authority;
    QTest::newRow("intermediate not sent") << QStringList{"issued"} << none << authority << sHost << kNow << Rule::None;
    QTest::newRow("the intermediate listed")
        << QStringList{"issued"} << none << QStringList{"issuing"} << sHost << kNow << Rule::Authority;
    QTest::newRow("authority of the same name, another key")
        << leaf << none << QStringList{"impostor"} << sHost << kNow << Rule::None;
    QTest::newRow("forged, the genuine authority sent along")
        << QStringList{"forged", "authority", "impostor"} << none << authority << sHost << kNow << Rule::None;
    QTest::newRow("issued by the authority, another host") << leaf << none << authority << sOther << kNow << Rule::None;
    QTest::newRow("issued by the authority, expired")
        << leaf << none << authority << sHost << QDateTime(QDate(2037, 1, 1), QTime(0, 0), Qt::UTC) << Rule::None;
    QTest::newRow("no authority") << leaf << none << none << sHost << kNow << Rule::None;
}

void TestManagedTrust::rule()
{
    QFETCH(QStringList, chain);
    QFETCH(QStringList, fingerprints);
    QFETCH(QStringList, cas);
    QFETCH(QString, host);
    QFETCH(QDateTime, now);
    QFETCH(Rule, expected);

    const ManagedTrust trust{fingerprints, certificates(cas)};
    QCOMPARE(trust.ruleFor(certificates(chain), host, now), expected);
}

void TestManagedTrust::userVerdict_data()
{
    QTest::addColumn<bool>("allowExceptions");
    QTest::addColumn<QString>("certificate");
    QTest::addColumn<Verdict>("expected");

    QTest::newRow("allowed, remembered") << true << "leaf" << Verdict::Trusted;
    QTest::newRow("allowed, another remembered") << true << "issued" << Verdict::Changed;
    QTest::newRow("not allowed, remembered") << false << "leaf" << Verdict::Unknown;
    QTest::newRow("not allowed, another remembered") << false << "issued" << Verdict::Unknown;
}

void TestManagedTrust::userVerdict()
{
    QFETCH(bool, allowExceptions);
    QFETCH(QString, certificate);
    QFETCH(Verdict, expected);

    const QString sServer = QStringLiteral("files.example:443");
    CertificateTrustStore store;
    store.trust(sServer, fingerprintOf(QStringLiteral("leaf")));
    const ManagedTrust trust{{}, {}, allowExceptions};
    QCOMPARE(trust.userVerdict(store, sServer, fingerprintOf(certificate)), expected);
}

QTEST_GUILESS_MAIN(TestManagedTrust)
#include "test_managedtrust.moc"
