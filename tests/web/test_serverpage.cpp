// The rules by which the main window builds a server's page URLs and recognises
// the service by the loaded page's title.
#include "web/ServerPage.h"

#include "TestEnvironment.h"

#include <QtTest>

class TestServerPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void schemeTest_data();
    void schemeTest();
    void pageUrlsAreJoinedAsText_data();
    void pageUrlsAreJoinedAsText();
    void titleTest_data();
    void titleTest();
    void pageLimits_data();
    void pageLimits();
};

void TestServerPage::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
}

void TestServerPage::schemeTest_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("https") << QStringLiteral("https://files.example.com") << true;
    QTest::newRow("http") << QStringLiteral("http://10.0.0.5:8080") << true;
    QTest::newRow("upper case") << QStringLiteral("HTTPS://FILES.EXAMPLE.COM") << true;
    QTest::newRow("mixed case") << QStringLiteral("HtTp://host") << true;
    QTest::newRow("ftp") << QStringLiteral("ftp://files.example.com") << false;
    QTest::newRow("no scheme") << QStringLiteral("files.example.com") << false;
    QTest::newRow("scheme without slashes") << QStringLiteral("https:files.example.com") << false;
    QTest::newRow("leading space") << QStringLiteral(" https://host") << false;
    QTest::newRow("httpx") << QStringLiteral("httpx://host") << false;
}

void TestServerPage::schemeTest()
{
    QFETCH(QString, url);
    QFETCH(bool, accepted);
    QCOMPARE(ServerPage::hasWebScheme(url), accepted);
}

void TestServerPage::pageUrlsAreJoinedAsText_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("uuid");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("test");

    QTest::newRow("plain") << QStringLiteral("https://h") << QStringLiteral("ab-12")
                           << QStringLiteral("https://h/app/login?uuid=ab-12") << QStringLiteral("https://h/qz4n-test");
    QTest::newRow("trailing slash gives two")
        << QStringLiteral("https://h/") << QStringLiteral("u") << QStringLiteral("https://h//app/login?uuid=u")
        << QStringLiteral("https://h//qz4n-test");
    QTest::newRow("path prefix kept") << QStringLiteral("https://h:8443/base") << QStringLiteral("u")
                                      << QStringLiteral("https://h:8443/base/app/login?uuid=u")
                                      << QStringLiteral("https://h:8443/base/qz4n-test");
    QTest::newRow("nothing encoded") << QStringLiteral("https://h/a b") << QStringLiteral("x y&z")
                                     << QStringLiteral("https://h/a b/app/login?uuid=x y&z")
                                     << QStringLiteral("https://h/a b/qz4n-test");
}

void TestServerPage::pageUrlsAreJoinedAsText()
{
    QFETCH(QString, server);
    QFETCH(QString, uuid);
    QFETCH(QString, login);
    QFETCH(QString, test);
    QCOMPARE(ServerPage::loginPageUrl(server, uuid), login);
    QCOMPARE(ServerPage::testPageUrl(server), test);
}

void TestServerPage::titleTest_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("valtro") << QStringLiteral("valtro-enterprise") << true;
    QTest::newRow("valtro inside") << QStringLiteral("Sign in - valtro-enterprise demo") << true;
    QTest::newRow("Orbisk") << QStringLiteral("Orbisk Transfer") << true;
    QTest::newRow("Orbisk at the end") << QStringLiteral("Files - Orbisk") << true;
    QTest::newRow("valtro upper case") << QStringLiteral("VALTRO-ENTERPRISE") << false;
    QTest::newRow("orbisk lower case") << QStringLiteral("orbisk transfer") << false;
    QTest::newRow("valtro without hyphen") << QStringLiteral("valtro enterprise") << false;
    QTest::newRow("other") << QStringLiteral("Acme File Share") << false;
    QTest::newRow("empty") << QString() << false;
}

void TestServerPage::titleTest()
{
    QFETCH(QString, title);
    QFETCH(bool, accepted);
    QCOMPARE(ServerPage::isServiceTitle(title), accepted);
}

void TestServerPage::pageLimits_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("opensInBrowser");
    QTest::addColumn<bool>("mayNavigate");

    QTest::newRow("https") << QStringLiteral("https://example.com/a?b#c") << true << true;
    QTest::newRow("http with port") << QStringLiteral("http://10.0.0.5:8080/") << true << true;
    QTest::newRow("scheme in capitals") << QStringLiteral("HTTPS://EXAMPLE.COM") << true << true;
    QTest::newRow("http without host") << QStringLiteral("http:///path") << false << true;
    QTest::newRow("file") << QStringLiteral("file:///etc/passwd") << false << false;
    QTest::newRow("file in capitals") << QStringLiteral("FILE:///etc/passwd") << false << false;
    QTest::newRow("file on a host") << QStringLiteral("file://server/share/a.txt") << false << false;
    QTest::newRow("ftp") << QStringLiteral("ftp://example.com/") << false << true;
    QTest::newRow("javascript") << QStringLiteral("javascript:alert(1)") << false << true;
    QTest::newRow("data") << QStringLiteral("data:text/html,x") << false << true;
    QTest::newRow("blank") << QStringLiteral("about:blank") << false << true;
    QTest::newRow("empty") << QString() << false << true;
}

void TestServerPage::pageLimits()
{
    QFETCH(QString, url);
    QFETCH(bool, opensInBrowser);
    QFETCH(bool, mayNavigate);
    QCOMPARE(ServerPage::opensInSystemBrowser(QUrl(url)), opensInBrowser);
    QCOMPARE(ServerPage::mayNavigateTo(QUrl(url)), mayNavigate);
}

QTEST_MAIN(TestServerPage)
#include "test_serverpage.moc"
