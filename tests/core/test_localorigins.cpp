// The origins the local service trusts: normalisation of server URLs and Origin
// headers, and the server-list file read afresh without side effects.
#include "servers/ServerListCodec.h"
#include "servers/ServerOrigins.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestLocalOrigins : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { orbisk::test::prepareTestEnvironment(); }

    void originOfServerUrl_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("origin");
        QTest::newRow("plain") << "https://files.example.com"
                               << "https://files.example.com";
        QTest::newRow("port") << "https://files.example.com:8443"
                              << "https://files.example.com:8443";
        QTest::newRow("default https port") << "https://files.example.com:443"
                                            << "https://files.example.com";
        QTest::newRow("default http port") << "http://files.example.com:80"
                                           << "http://files.example.com";
        QTest::newRow("http on 443 keeps it") << "http://files.example.com:443"
                                              << "http://files.example.com:443";
        QTest::newRow("case") << "HTTPS://Files.Example.COM:8443"
                              << "https://files.example.com:8443";
        QTest::newRow("path, query, fragment") << "https://h.example/app/login?uuid=1#x"
                                               << "https://h.example";
        QTest::newRow("trailing slash") << "https://h.example/"
                                        << "https://h.example";
        QTest::newRow("user info") << "https://ann:pw@h.example:9000"
                                   << "https://h.example:9000";
        QTest::newRow("ipv4") << "https://127.0.0.1:5000"
                              << "https://127.0.0.1:5000";
        QTest::newRow("ipv6") << "https://[::1]:8443/app"
                              << "https://[::1]:8443";
        QTest::newRow("idn") << QString::fromUtf8("https://bücher.example") << "https://xn--bcher-kva.example";
        QTest::newRow("spaces around") << "  https://h.example  "
                                       << "https://h.example";
        QTest::newRow("no scheme") << "files.example.com" << QString();
        QTest::newRow("other scheme") << "ftp://files.example.com" << QString();
        QTest::newRow("file") << "file:///home/ann" << QString();
        QTest::newRow("no host") << "https://" << QString();
        QTest::newRow("bad port") << "https://h.example:99999" << QString();
        QTest::newRow("space in host") << "https://h example" << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void originOfServerUrl()
    {
        QFETCH(QString, url);
        QFETCH(QString, origin);
        QCOMPARE(orbisk::webOriginOf(url), origin);
    }

    void originHeader_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("origin");
        QTest::newRow("browser form") << "https://files.example.com:8443"
                                      << "https://files.example.com:8443";
        QTest::newRow("default port") << "https://files.example.com:443"
                                      << "https://files.example.com";
        QTest::newRow("case") << "HTTPS://FILES.example.com"
                              << "https://files.example.com";
        QTest::newRow("null") << "null" << QString();
        QTest::newRow("path") << "https://files.example.com/" << QString();
        QTest::newRow("query") << "https://files.example.com?x" << QString();
        QTest::newRow("fragment") << "https://files.example.com#x" << QString();
        QTest::newRow("user info") << "https://files.example.com@evil.example" << QString();
        QTest::newRow("list") << "https://a.example https://b.example" << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void originHeader()
    {
        QFETCH(QString, value);
        QFETCH(QString, origin);
        QCOMPARE(orbisk::originOfHeader(value), origin);
    }

    void serverListFileReadFreshWithoutSideEffects()
    {
        const QString sDir = orbisk::test::scratchDir("origins");
        const QString sPath = sDir + "/ServerConfig.xml";
        QVERIFY(orbisk::serverListFileOrigins(sPath).isEmpty());

        const ServerList servers{{"one", "https://one.example:8443", true},
            {"same", "https://one.example:8443/x", false}, {"bad", "one.example", false},
            {QString(), "http://two.example", false}};
        QVERIFY(orbisk::test::writeFileContent(sPath, ServerListCodec::serialize(servers)));
        QCOMPARE(orbisk::serverListFileOrigins(sPath),
            orbisk::OriginSet({"https://one.example:8443", "http://two.example"}));

        // A server saved a moment later counts at once.
        QVERIFY(orbisk::test::writeFileContent(
            sPath, ServerListCodec::serialize({{"three", "https://three.example", false}})));
        QCOMPARE(orbisk::serverListFileOrigins(sPath), orbisk::OriginSet({"https://three.example"}));

        // A malformed file trusts no one and is left exactly as it was, with nothing beside it.
        const QByteArray malformed = "<ServerList><Server><URL>https://one.example</URL>";
        QVERIFY(orbisk::test::writeFileContent(sPath, malformed));
        QVERIFY(orbisk::serverListFileOrigins(sPath).isEmpty());
        QFile file(sPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), malformed);
        QCOMPARE(QDir(sDir).entryList(QDir::Files), QStringList("ServerConfig.xml"));
    }
};

QTEST_GUILESS_MAIN(TestLocalOrigins)
#include "test_localorigins.moc"
