#include "mainwindow/ServerListCodec.h"

#include <QtTest>

namespace {

QByteArray document(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body;
}

} // namespace

class TestServerListCodec : public QObject
{
    Q_OBJECT

private slots:
    void writesTheExactFormat();
    void writesAnEmptyList();
    void roundTrip_data();
    void roundTrip();
    void walk_data();
    void walk();
};

void TestServerListCodec::writesTheExactFormat()
{
    const ServerList entries{{QStringLiteral("Main"), QStringLiteral("https://a.example"), true},
        {QString(), QStringLiteral("http://b.example:8080"), false}};
    const QByteArray expected = document("<ServerList>\n"
                                         "    <Server>\n"
                                         "        <Default>true</Default>\n"
                                         "        <Name>Main</Name>\n"
                                         "        <URL>https://a.example</URL>\n"
                                         "    </Server>\n"
                                         "    <Server>\n"
                                         "        <Default>false</Default>\n"
                                         "        <Name></Name>\n"
                                         "        <URL>http://b.example:8080</URL>\n"
                                         "    </Server>\n"
                                         "</ServerList>\n");
    QCOMPARE(ServerListCodec::serialize(entries), expected);
}

void TestServerListCodec::writesAnEmptyList()
{
    const QByteArray bytes = ServerListCodec::serialize({});
    QCOMPARE(bytes, document("<ServerList/>\n"));
    ServerListCodec::ParseResult result = ServerListCodec::ParseResult::NotWellFormed;
    QVERIFY(ServerListCodec::parse(bytes, &result).isEmpty());
    QCOMPARE(result, ServerListCodec::ParseResult::Ok);
}

void TestServerListCodec::roundTrip_data()
{
    QTest::addColumn<ServerList>("entries");
    QTest::newRow("one default") << ServerList{{QStringLiteral("Office"), QStringLiteral("https://x.example"), true}};
    QTest::newRow("empty name") << ServerList{{QString(), QStringLiteral("https://x.example"), false}};
    QTest::newRow("reserved characters") << ServerList{
        {QStringLiteral("R&D <main> \"quoted\" 'single'"), QStringLiteral("https://x.example/?a=1&b=<2>"), false}};
    QTest::newRow("non-ASCII and blanks")
        << ServerList{{QStringLiteral("  Zürich 服务器  "), QStringLiteral("https://例子.example"), true}};
    QTest::newRow("order and duplicates kept") << ServerList{{QStringLiteral("b"), QStringLiteral("https://b"), true},
        {QStringLiteral("a"), QStringLiteral("https://a"), true},
        {QStringLiteral("b2"), QStringLiteral("https://b"), false}};
}

void TestServerListCodec::roundTrip()
{
    QFETCH(ServerList, entries);
    QCOMPARE(ServerListCodec::parse(ServerListCodec::serialize(entries)), entries);
}

void TestServerListCodec::walk_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ServerList>("expected");
    QTest::addColumn<bool>("wellFormed");

    const auto entry = [](const char* name, const char* url, bool isDefault) {
        return ServerEntry{QString::fromUtf8(name), QString::fromUtf8(url), isDefault};
    };

    QTest::newRow("only exact true is true")
        << document("<ServerList>"
                    "<Server><Default>True</Default><Name>a</Name><URL>u1</URL></Server>"
                    "<Server><Default>TRUE</Default><Name>b</Name><URL>u2</URL></Server>"
                    "<Server><Default> true</Default><Name>c</Name><URL>u3</URL></Server>"
                    "<Server><Default>true</Default><Name>d</Name><URL>u4</URL></Server>"
                    "</ServerList>")
        << ServerList{entry("a", "u1", false), entry("b", "u2", false), entry("c", "u3", false), entry("d", "u4", true)}
        << true;
    QTest::newRow("default and name carry over")
        << document("<ServerList>"
                    "<Server><Default>true</Default><Name>a</Name><URL>u1</URL></Server>"
                    "<Server><URL>u2</URL></Server>"
                    "</ServerList>")
        << ServerList{entry("a", "u1", true), entry("a", "u2", true)} << true;
    QTest::newRow("no default anywhere is false")
        << document("<ServerList><Server><Name>a</Name><URL>u1</URL></Server></ServerList>")
        << ServerList{entry("a", "u1", false)} << true;
    QTest::newRow("name after URL applies to the next server")
        << document("<ServerList>"
                    "<Server><Default>true</Default><URL>u1</URL><Name>late</Name><Default>false</Default></Server>"
                    "<Server><URL>u2</URL></Server>"
                    "</ServerList>")
        << ServerList{entry("", "u1", true), entry("late", "u2", false)} << true;
    QTest::newRow("two URLs give two entries")
        << document("<ServerList><Server><Name>a</Name><URL>u1</URL><URL>u2</URL></Server></ServerList>")
        << ServerList{entry("a", "u1", false), entry("a", "u2", false)} << true;
    QTest::newRow("any root name") << document("<Whatever><Server><Name>a</Name><URL>u1</URL></Server></Whatever>")
                                   << ServerList{entry("a", "u1", false)} << true;
    QTest::newRow("root is never an entry") << document("<URL>root</URL>") << ServerList{} << true;
    QTest::newRow("element names are case-sensitive")
        << document("<ServerList><Server><name>a</name><url>u1</url></Server></ServerList>") << ServerList{} << true;
    QTest::newRow("truncated file gives nothing")
        << document("<ServerList><Server><Name>a</Name><URL>u1</URL></Server><Server><Na") << ServerList{} << false;
    QTest::newRow("not XML at all") << QByteArray("\x00\x01garbage", 9) << ServerList{} << false;
    QTest::newRow("empty file") << QByteArray() << ServerList{} << false;
}

void TestServerListCodec::walk()
{
    QFETCH(QByteArray, bytes);
    QFETCH(ServerList, expected);
    QFETCH(bool, wellFormed);

    ServerListCodec::ParseResult result = ServerListCodec::ParseResult::Ok;
    QCOMPARE(ServerListCodec::parse(bytes, &result), expected);
    QCOMPARE(result == ServerListCodec::ParseResult::Ok, wellFormed);
}

QTEST_APPLESS_MAIN(TestServerListCodec)
#include "test_serverlistcodec.moc"
