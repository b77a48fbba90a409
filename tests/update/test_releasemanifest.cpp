// Reading the release manifest, where it is fetched from, and which download
// addresses may be handed to the web browser.
#include "update/ReleaseManifest.h"

#include "TestEnvironment.h"

#include <QtTest>

class TestReleaseManifest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsTheRelease_data();
    void readsTheRelease();
    void takesThisSystemsRelease_data();
    void takesThisSystemsRelease();
    void refusesBodiesThatAreNotObjects_data();
    void refusesBodiesThatAreNotObjects();
    void locationHonoursAnOverride_data();
    void locationHonoursAnOverride();
    void locationReadsTheEnvironment();
    void acceptsOnlyWebDownloadAddresses_data();
    void acceptsOnlyWebDownloadAddresses();
};

void TestReleaseManifest::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
}

void TestReleaseManifest::readsTheRelease_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("downloadUrl");

    const QString url = QStringLiteral("https://downloads.example/orbisk-3.0.1.exe");
    QTest::newRow("complete") << QByteArray(
        R"({"win32":{"version":"3.0.1 Build 30","downloadUrl":"https://downloads.example/orbisk-3.0.1.exe"}})")
                              << QStringLiteral("3.0.1 Build 30") << url;
    QTest::newRow("other keys ignored") << QByteArray(R"({"mac":{"version":"9.9.9"},"notes":[1,2],)"
                                                      R"("win32":{"size":12,"version":"3.0.1","downloadUrl":")"
                                                      R"(https://downloads.example/orbisk-3.0.1.exe"}})")
                                        << QStringLiteral("3.0.1") << url;
    QTest::newRow("win32 missing") << QByteArray(R"({"version":"3.0.1","downloadUrl":"x"})") << QString() << QString();
    QTest::newRow("win32 is a string") << QByteArray(R"({"win32":"3.0.1"})") << QString() << QString();
    QTest::newRow("win32 is an array") << QByteArray(R"({"win32":["3.0.1"]})") << QString() << QString();
    QTest::newRow("win32 nested deeper") << QByteArray(R"({"release":{"win32":{"version":"3.0.1"}}})") << QString()
                                         << QString();
    QTest::newRow("version missing") << QByteArray(R"({"win32":{"downloadUrl":"https://downloads.example/a.exe"}})")
                                     << QString() << QStringLiteral("https://downloads.example/a.exe");
    QTest::newRow("version is a number") << QByteArray(R"({"win32":{"version":3.01,"downloadUrl":7}})") << QString()
                                         << QString();
    QTest::newRow("values are null and object")
        << QByteArray(R"({"win32":{"version":null,"downloadUrl":{"href":"x"}}})") << QString() << QString();
    QTest::newRow("key case matters") << QByteArray(R"({"Win32":{"Version":"3.0.1"}})") << QString() << QString();
    QTest::newRow("empty object") << QByteArray("{}") << QString() << QString();
    QTest::newRow("read up to the first zero byte")
        << QByteArray(R"({"win32":{"version":"3.0.1"}})") + QByteArray(1, '\0') + QByteArray("trailing {garbage")
        << QStringLiteral("3.0.1") << QString();
    QTest::newRow("non-ASCII text") << QByteArray(R"({"win32":{"version":"3.0.1 \u7248\u672c"}})")
                                    << QStringLiteral("3.0.1 ") + QChar(0x7248) + QChar(0x672c) << QString();
}

void TestReleaseManifest::readsTheRelease()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, version);
    QFETCH(QString, downloadUrl);

    // The reading rule is the same under every system's key.
    const std::optional<ReleaseManifest> manifest = ReleaseManifest::fromJson(body, QStringLiteral("win32"));
    QVERIFY(manifest);
    QCOMPARE(manifest->sVersion, version);
    QCOMPARE(manifest->sDownloadUrl, downloadUrl);
}

void TestReleaseManifest::takesThisSystemsRelease_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("windowsVersion");
    QTest::addColumn<QString>("linuxVersion");

    QTest::newRow("both systems") << QByteArray(R"({"win32":{"version":"3.0.1"},"linux":{"version":"3.0.2"}})")
                                  << QStringLiteral("3.0.1") << QStringLiteral("3.0.2");
    QTest::newRow("only Windows") << QByteArray(R"({"win32":{"version":"3.0.1"}})") << QStringLiteral("3.0.1")
                                  << QString();
    QTest::newRow("only Linux") << QByteArray(R"({"linux":{"version":"3.0.2"}})") << QString()
                                << QStringLiteral("3.0.2");
    QTest::newRow("key case matters") << QByteArray(R"({"Linux":{"version":"3.0.2"},"WIN32":{"version":"3.0.1"}})")
                                      << QString() << QString();
}

// A client reads only its own system's release: a Linux client is never offered the
// Windows download, nor the other way round.
void TestReleaseManifest::takesThisSystemsRelease()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, windowsVersion);
    QFETCH(QString, linuxVersion);

#ifdef Q_OS_WIN
    QCOMPARE(QString::fromLatin1(ReleaseManifest::kReleaseKey), QStringLiteral("win32"));
    const QString expected = windowsVersion;
#else
    QCOMPARE(QString::fromLatin1(ReleaseManifest::kReleaseKey), QStringLiteral("linux"));
    const QString expected = linuxVersion;
#endif
    const std::optional<ReleaseManifest> manifest = ReleaseManifest::fromJson(body);
    QVERIFY(manifest);
    QCOMPARE(manifest->sVersion, expected);
    QCOMPARE(manifest->release.isEmpty(), expected.isEmpty());
}

void TestReleaseManifest::refusesBodiesThatAreNotObjects_data()
{
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("HTML error page") << QByteArray("<html><body>Not Found</body></html>");
    QTest::newRow("top-level array") << QByteArray(R"([{"win32":{"version":"3.0.1"}}])");
    QTest::newRow("top-level string") << QByteArray(R"("3.0.1")");
    QTest::newRow("truncated") << QByteArray(R"({"win32":{"version":"3.0.1")");
    QTest::newRow("zero byte first") << QByteArray(1, '\0') + QByteArray(R"({"win32":{"version":"3.0.1"}})");
    QTest::newRow("trailing garbage") << QByteArray(R"({"win32":{}} x)");
}

void TestReleaseManifest::refusesBodiesThatAreNotObjects()
{
    QFETCH(QByteArray, body);

    QVERIFY(!ReleaseManifest::fromJson(body));
}

void TestReleaseManifest::locationHonoursAnOverride_data()
{
    QTest::addColumn<QString>("override");
    QTest::addColumn<QString>("location");

    const QString makers = QStringLiteral("https://updates.orbisk.com/enterprise/release/3.0/version.json");
    QTest::newRow("none") << QString() << makers;
    QTest::newRow("blank") << QStringLiteral("  ") << makers;
    QTest::newRow("local http") << QStringLiteral("http://127.0.0.1:8080/version.json")
                                << QStringLiteral("http://127.0.0.1:8080/version.json");
    QTest::newRow("mirror") << QStringLiteral(" https://mirror.example/orbisk/version.json ")
                            << QStringLiteral("https://mirror.example/orbisk/version.json");
    QTest::newRow("upper-case scheme and host")
        << QStringLiteral("HTTPS://Mirror.Example/v.json") << QStringLiteral("https://mirror.example/v.json");
    QTest::newRow("ftp") << QStringLiteral("ftp://mirror.example/version.json") << QString();
    QTest::newRow("local file") << QStringLiteral("file:///etc/passwd") << QString();
    QTest::newRow("plain path") << QStringLiteral("/srv/version.json") << QString();
    QTest::newRow("no scheme") << QStringLiteral("mirror.example/version.json") << QString();
    QTest::newRow("no host") << QStringLiteral("https:///version.json") << QString();
}

void TestReleaseManifest::locationHonoursAnOverride()
{
    QFETCH(QString, override);
    QFETCH(QString, location);

    if (location.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^ORBISK_UPDATE_MANIFEST_URL .*")));
    const QUrl url = ReleaseManifest::location(override);
    QCOMPARE(url.toString(), location);
    QCOMPARE(url.isValid(), !location.isEmpty());
}

void TestReleaseManifest::locationReadsTheEnvironment()
{
    const QString mirror = QStringLiteral("https://mirror.example/version.json");
    QVERIFY(qputenv(ReleaseManifest::kOverrideVariable, mirror.toUtf8()));
    QCOMPARE(ReleaseManifest::location(), QUrl(mirror));
    QVERIFY(qunsetenv(ReleaseManifest::kOverrideVariable));
    QCOMPARE(ReleaseManifest::location().host(), QStringLiteral("updates.orbisk.com"));
}

void TestReleaseManifest::acceptsOnlyWebDownloadAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("https") << QStringLiteral("https://downloads.example/orbisk-3.0.1.exe") << true;
    QTest::newRow("http") << QStringLiteral("http://downloads.example/orbisk-3.0.1.exe") << true;
    QTest::newRow("upper-case scheme") << QStringLiteral("HTTPS://downloads.example/a.exe") << true;
    QTest::newRow("with port and query") << QStringLiteral("https://downloads.example:8443/get?v=3.0.1") << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("local file") << QStringLiteral("file:///C:/Windows/System32/cmd.exe") << false;
    QTest::newRow("UNC share") << QStringLiteral("\\\\server\\share\\setup.exe") << false;
    QTest::newRow("javascript") << QStringLiteral("javascript:alert(1)") << false;
    QTest::newRow("data") << QStringLiteral("data:text/html,<b>x</b>") << false;
    QTest::newRow("ftp") << QStringLiteral("ftp://downloads.example/a.exe") << false;
    QTest::newRow("mail") << QStringLiteral("mailto:someone@example.com") << false;
    QTest::newRow("custom handler") << QStringLiteral("ms-settings:windowsupdate") << false;
    QTest::newRow("scheme-relative") << QStringLiteral("//downloads.example/a.exe") << false;
    QTest::newRow("no scheme") << QStringLiteral("downloads.example/a.exe") << false;
    QTest::newRow("no host") << QStringLiteral("https:///a.exe") << false;
}

void TestReleaseManifest::acceptsOnlyWebDownloadAddresses()
{
    QFETCH(QString, address);
    QFETCH(bool, accepted);

    QCOMPARE(ReleaseManifest::isDownloadAddress(address), accepted);
}

QTEST_GUILESS_MAIN(TestReleaseManifest)
#include "test_releasemanifest.moc"
