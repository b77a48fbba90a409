// The trust store of server certificates: its file, its verdicts and how it names
// servers and certificates.
#include "web/CertificateTrustStore.h"

#include "storage/OwnFile.h"

#include "TestCertificates.h"
#include "TestEnvironment.h"

#include <QSslCertificate>
#include <QUrl>
#include <QtTest>

namespace {
const QString kA = QStringLiteral("AA:BB:CC:DD:EE:FF:00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF:00:11:22:33:44:"
                                  "55:66:77:88:99");
const QString kB = QStringLiteral("01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:"
                                  "67:89:AB:CD:EF");
} // namespace

class TestCertificateTrustStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void parse_data();
    void parse();
    void savedStoreReadsBackTheSame();
    void verdicts();
    void malformedFileIsMovedAsideAndReadsEmpty();
    void missingFolderIsMadeOnSave();
    void serverOf_data();
    void serverOf();
    void fingerprintIsSha256OfTheCertificate();

private:
    QString m_sDir;
    QString m_sPath;
};

void TestCertificateTrustStore::init()
{
    m_sDir = orbisk::test::scratchDir(QStringLiteral("trust"));
    m_sPath = m_sDir + QStringLiteral("/TrustedCertificates.json");
}

void TestCertificateTrustStore::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("servers");

    const QByteArray a = kA.toLatin1();
    QTest::newRow("empty object") << QByteArray("{}") << true << 0;
    QTest::newRow("one server") << "{\"h.example:443\": [\"" + a + "\"]}" << true << 1;
    QTest::newRow("lower-case fingerprint") << "{\"h.example:443\": [\"" + a.toLower() + "\"]}" << true << 1;
    QTest::newRow("IPv6 server") << "{\"[::1]:9443\": [\"" + a + "\"]}" << true << 1;
    QTest::newRow("two fingerprints") << "{\"h:1\": [\"" + a + "\", \"" + kB.toLatin1() + "\"]}" << true << 1;
    QTest::newRow("empty file") << QByteArray() << false << 0;
    QTest::newRow("cut short") << "{\"h.example:443\": [\"" + a << false << 0;
    QTest::newRow("array at the top") << "[\"" + a + "\"]" << false << 0;
    QTest::newRow("no port") << "{\"h.example\": [\"" + a + "\"]}" << false << 0;
    QTest::newRow("port zero") << "{\"h:0\": [\"" + a + "\"]}" << false << 0;
    QTest::newRow("port too large") << "{\"h:65536\": [\"" + a + "\"]}" << false << 0;
    QTest::newRow("upper-case host") << "{\"H.example:443\": [\"" + a + "\"]}" << false << 0;
    QTest::newRow("scheme in the key") << "{\"https://h:443\": [\"" + a + "\"]}" << false << 0;
    QTest::newRow("fingerprint not a list") << "{\"h:443\": \"" + a + "\"}" << false << 0;
    QTest::newRow("empty list") << QByteArray("{\"h:443\": []}") << false << 0;
    QTest::newRow("short fingerprint") << "{\"h:443\": [\"" + a.left(a.size() - 3) + "\"]}" << false << 0;
    QTest::newRow("fingerprint without colons")
        << "{\"h:443\": [\"" + QByteArray(a).replace(":", "") + "\"]}" << false << 0;
    QTest::newRow("number in the list") << QByteArray("{\"h:443\": [1]}") << false << 0;
    QTest::newRow("one good, one bad server") << "{\"a:1\": [\"" + kA.toLatin1() + "\"], \"b\": [\"x\"]}" << false << 0;
}

void TestCertificateTrustStore::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QFETCH(int, servers);
    QMap<QString, QStringList> entries{{QStringLiteral("before:1"), {kB}}};
    QCOMPARE(CertificateTrustStore::parse(bytes, &entries), valid);
    if (valid) {
        QCOMPARE(entries.size(), servers);
        for (const QStringList& fingerprints : qAsConst(entries)) {
            for (const QString& fingerprint : fingerprints)
                QCOMPARE(fingerprint, fingerprint.toUpper());
        }
    } else {
        // A rejected file changes nothing.
        QCOMPARE(entries.keys(), QStringList{QStringLiteral("before:1")});
    }
}

void TestCertificateTrustStore::savedStoreReadsBackTheSame()
{
    CertificateTrustStore store(m_sPath);
    store.trust(QStringLiteral("h.example:443"), kA.toLower());
    store.trust(QStringLiteral("[::1]:9443"), kB);
    QVERIFY(store.save());

    CertificateTrustStore later(m_sPath);
    later.load();
    QCOMPARE(later.fingerprints(QStringLiteral("h.example:443")), QStringList{kA});
    QCOMPARE(later.fingerprints(QStringLiteral("[::1]:9443")), QStringList{kB});
    QVERIFY(!QFile::exists(m_sPath + QStringLiteral(".bad")));
}

void TestCertificateTrustStore::verdicts()
{
    CertificateTrustStore store;
    const QString server = QStringLiteral("h.example:443");
    QCOMPARE(store.verdict(server, kA), CertificateTrustStore::Verdict::Unknown);
    store.trust(server, kA);
    QCOMPARE(store.verdict(server, kA), CertificateTrustStore::Verdict::Trusted);
    QCOMPARE(store.verdict(server, kA.toLower()), CertificateTrustStore::Verdict::Trusted);
    QCOMPARE(store.verdict(server, kB), CertificateTrustStore::Verdict::Changed);
    // Trust is per port and per host.
    QCOMPARE(store.verdict(QStringLiteral("h.example:8443"), kA), CertificateTrustStore::Verdict::Unknown);
    QCOMPARE(store.verdict(QStringLiteral("g.example:443"), kA), CertificateTrustStore::Verdict::Unknown);
    // Trusting the new certificate forgets the old one.
    store.trust(server, kB);
    QCOMPARE(store.verdict(server, kB), CertificateTrustStore::Verdict::Trusted);
    QCOMPARE(store.verdict(server, kA), CertificateTrustStore::Verdict::Changed);
    // An in-memory store has no file to write.
    QVERIFY(!store.save());
}

void TestCertificateTrustStore::malformedFileIsMovedAsideAndReadsEmpty()
{
    const QByteArray first = "{\"h.example:443\": [\"" + kA.toLatin1();
    QVERIFY(orbisk::test::writeFileContent(m_sPath, first));
    CertificateTrustStore store(m_sPath);
    store.trust(QStringLiteral("stale:1"), kB);
    store.load();
    QVERIFY(store.fingerprints(QStringLiteral("h.example:443")).isEmpty());
    QVERIFY(store.fingerprints(QStringLiteral("stale:1")).isEmpty());
    QCOMPARE(orbisk::test::fileContent(m_sPath + QStringLiteral(".bad")), first);
    QVERIFY(!QFile::exists(m_sPath));

    // A later start finds no file, so nothing piles up; another broken file gets the next name.
    store.load();
    QVERIFY(!QFile::exists(m_sPath + QStringLiteral(".bad.2")));
    QVERIFY(orbisk::test::writeFileContent(m_sPath, "not json"));
    store.load();
    QCOMPARE(orbisk::test::fileContent(m_sPath + QStringLiteral(".bad")), first);
    QCOMPARE(orbisk::test::fileContent(m_sPath + QStringLiteral(".bad.2")), QByteArray("not json"));

    // A well-formed file far bigger than any store of ours is not read, only moved aside.
    const QByteArray huge = "{\"h.example:443\": [\"" + kA.toLatin1() + "\"]}" + QByteArray(OwnFile::kMaxBytes, ' ');
    QVERIFY(orbisk::test::writeFileContent(m_sPath, huge));
    store.load();
    QVERIFY(store.fingerprints(QStringLiteral("h.example:443")).isEmpty());
    QCOMPARE(orbisk::test::fileContent(m_sPath + QStringLiteral(".bad.3")).size(), huge.size());
}

void TestCertificateTrustStore::missingFolderIsMadeOnSave()
{
    const QString sPath = m_sDir + QStringLiteral("/fresh/account/TrustedCertificates.json");
    CertificateTrustStore store(sPath);
    store.trust(QStringLiteral("h:1"), kA);
    QVERIFY(store.save());
    CertificateTrustStore later(sPath);
    later.load();
    QCOMPARE(later.fingerprints(QStringLiteral("h:1")), QStringList{kA});
}

void TestCertificateTrustStore::serverOf_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("server");
    QTest::newRow("https default port") << "https://files.example.com/app/login?uuid=1"
                                        << "files.example.com:443";
    QTest::newRow("explicit port") << "https://files.example.com:8443/x"
                                   << "files.example.com:8443";
    QTest::newRow("upper-case host and scheme") << "HTTPS://Files.Example.COM"
                                                << "files.example.com:443";
    QTest::newRow("http default port") << "http://h.example"
                                       << "h.example:80";
    QTest::newRow("IPv4") << "https://127.0.0.1:9443/"
                          << "127.0.0.1:9443";
    QTest::newRow("IPv6 in brackets") << "https://[::1]:9443/"
                                      << "[::1]:9443";
    QTest::newRow("international name as sent")
        << QString::fromUtf8("https://bücher.example") << "xn--bcher-kva.example:443";
    QTest::newRow("no host") << "file:///tmp/x"
                             << "";
}

void TestCertificateTrustStore::serverOf()
{
    QFETCH(QString, url);
    QFETCH(QString, server);
    QCOMPARE(CertificateTrustStore::serverOf(QUrl(url)), server);
}

void TestCertificateTrustStore::fingerprintIsSha256OfTheCertificate()
{
    const QSslCertificate selfSigned(orbisk::test::kSelfSignedPem);
    const QSslCertificate issued(orbisk::test::kIssuedPem);
    QCOMPARE(CertificateTrustStore::fingerprintOf(selfSigned), orbisk::test::kSelfSignedFingerprint);
    QCOMPARE(CertificateTrustStore::fingerprintOf(issued), orbisk::test::kIssuedFingerprint);
}

QTEST_GUILESS_MAIN(TestCertificateTrustStore)
#include "test_certificatetruststore.moc"
