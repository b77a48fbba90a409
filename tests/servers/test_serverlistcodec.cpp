#include "servers/ServerListCodec.h"

#include <QtTest>

Q_DECLARE_METATYPE(ServerListCodec::ParseResult)

namespace {

QByteArray document(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body;
}

QByteArray nested(int depth, const QByteArray& inner = QByteArray())
{
    QByteArray bytes;
    bytes.reserve(depth * 7 + inner.size());
    for (int i = 0; i < depth; ++i)
        bytes += "<x>";
    bytes += inner;
    for (int i = 0; i < depth; ++i)
        bytes += "</x>";
    return document(bytes);
}

QString fromUtf16(std::initializer_list<char16_t> units)
{
    return QString::fromUtf16(units.begin(), int(units.size()));
}

} // namespace

class TestServerListCodec : public QObject
{
    Q_OBJECT

private slots:
    void writesTheExactFormat_data();
    void writesTheExactFormat();
    void roundTrip_data();
    void roundTrip();
    void parse_data();
    void parse();
    void savesOnlyWhatXmlCanHold_data();
    void savesOnlyWhatXmlCanHold();
    void neverWritesPastTheSizeCap();
};

void TestServerListCodec::writesTheExactFormat_data()
{
    QTest::addColumn<ServerList>("entries");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("two servers") << ServerList{{QStringLiteral("Main"), QStringLiteral("https://a.example"), true},
        {QString(), QStringLiteral("http://b.example:8080"), false}}
                                 << document("<ServerList>\n"
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
    QTest::newRow("empty list") << ServerList{} << document("<ServerList/>\n");
}

void TestServerListCodec::writesTheExactFormat()
{
    QFETCH(ServerList, entries);
    QFETCH(QByteArray, expected);
    QCOMPARE(ServerListCodec::serialize(entries), expected);
}

void TestServerListCodec::roundTrip_data()
{
    QTest::addColumn<ServerList>("entries");
    QTest::newRow("empty list") << ServerList{};
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
    ServerListCodec::ParseResult result = ServerListCodec::ParseResult::NotWellFormed;
    QCOMPARE(ServerListCodec::parse(ServerListCodec::serialize(entries), &result), entries);
    QCOMPARE(result, ServerListCodec::ParseResult::Ok);
}

void TestServerListCodec::parse_data()
{
    using ServerListCodec::ParseResult;
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ServerList>("expected");
    QTest::addColumn<ParseResult>("result");

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
        << ParseResult::Ok;
    QTest::newRow("default and name carry over")
        << document("<ServerList>"
                    "<Server><Default>true</Default><Name>a</Name><URL>u1</URL></Server>"
                    "<Server><URL>u2</URL></Server>"
                    "</ServerList>")
        << ServerList{entry("a", "u1", true), entry("a", "u2", true)} << ParseResult::Ok;
    QTest::newRow("no default anywhere is false")
        << document("<ServerList><Server><Name>a</Name><URL>u1</URL></Server></ServerList>")
        << ServerList{entry("a", "u1", false)} << ParseResult::Ok;
    QTest::newRow("name after URL applies to the next server")
        << document("<ServerList>"
                    "<Server><Default>true</Default><URL>u1</URL><Name>late</Name><Default>false</Default></Server>"
                    "<Server><URL>u2</URL></Server>"
                    "</ServerList>")
        << ServerList{entry("", "u1", true), entry("late", "u2", false)} << ParseResult::Ok;
    QTest::newRow("two URLs give two entries")
        << document("<ServerList><Server><Name>a</Name><URL>u1</URL><URL>u2</URL></Server></ServerList>")
        << ServerList{entry("a", "u1", false), entry("a", "u2", false)} << ParseResult::Ok;
    QTest::newRow("any root name") << document("<Whatever><Server><Name>a</Name><URL>u1</URL></Server></Whatever>")
                                   << ServerList{entry("a", "u1", false)} << ParseResult::Ok;
    QTest::newRow("root is never an entry") << document("<URL>root</URL>") << ServerList{} << ParseResult::Ok;
    QTest::newRow("element names are case-sensitive")
        << document("<ServerList><Server><name>a</name><url>u1</url></Server></ServerList>") << ServerList{}
        << ParseResult::Ok;
    QTest::newRow("the walk climbs one level to the next element")
        << document("<ServerList><Server><Wrap><Name>a</Name></Wrap><URL>u1</URL></Server></ServerList>")
        << ServerList{entry("a", "u1", false)} << ParseResult::Ok;
    QTest::newRow("the walk stops where the next element lies two levels up") << document(
        "<ServerList>"
        "<Server><Wrap><Name>a</Name></Wrap></Server>"
        "<Server><URL>u1</URL></Server>"
        "</ServerList>") << ServerList{} << ParseResult::Ok;
    QTest::newRow("text of nested content counts, white-space-only pieces do not")
        << document("<ServerList><Server><Name> <!-- c --> a<b>b</b> <?pi x?>c <![CDATA[d]]> </Name>"
                    "<URL>\n  u1\t</URL></Server></ServerList>")
        << ServerList{entry(" abc d", "\n  u1\t", false)} << ParseResult::Ok;
    QTest::newRow("a name of Unicode blanks reads as empty")
        << document("<ServerList><Server><Name>\xc2\xa0&#x2028;\xe3\x80\x80</Name><URL>u1</URL></Server></ServerList>")
        << ServerList{entry("", "u1", false)} << ParseResult::Ok;
    QTest::newRow("references and internal entities")
        << document("<!DOCTYPE ServerList [<!ENTITY host \"h.example\">]>"
                    "<ServerList><Server><Default>tr&#x75;e</Default><Name>R&amp;D</Name>"
                    "<URL>https://&host;/?a=1&amp;b=2&#13;</URL></Server></ServerList>")
        << ServerList{entry("R&D", "https://h.example/?a=1&b=2\r", true)} << ParseResult::Ok;
    QTest::newRow("prefixed names are not ours")
        << document("<ServerList xmlns:p=\"urn:p\"><Server><p:Name>a</p:Name><URL>u1</URL></Server></ServerList>")
        << ServerList{entry("", "u1", false)} << ParseResult::Ok;
    QTest::newRow("a lone surrogate reference is not XML")
        << document("<ServerList><Server><Name>&#xD800;</Name><URL>u1</URL></Server></ServerList>") << ServerList{}
        << ParseResult::NotWellFormed;
    QTest::newRow("truncated file gives nothing")
        << document("<ServerList><Server><Name>a</Name><URL>u1</URL></Server><Server><Na") << ServerList{}
        << ParseResult::NotWellFormed;
    QTest::newRow("not XML at all") << QByteArray("\x00\x01garbage", 9) << ServerList{} << ParseResult::NotWellFormed;
    QTest::newRow("empty file") << QByteArray() << ServerList{} << ParseResult::NotWellFormed;

    // Hostile documents: too deep, too large, expanding without end.
    const QByteArray server = "<Server><Name>a</Name><URL>u1</URL></Server>";
    QTest::newRow("30,000 nested elements") << nested(30000) << ServerList{} << ParseResult::TooDeep;
    QTest::newRow("30,000 unclosed elements")
        << document(QByteArray("<x>").repeated(30000)) << ServerList{} << ParseResult::TooDeep;
    // The server adds two levels (Server, Name) below the wrapping elements.
    QTest::newRow("nested up to the limit")
        << nested(ServerListCodec::kMaxDepth - 2, server) << ServerList{entry("a", "u1", false)} << ParseResult::Ok;
    QTest::newRow("nested one past the limit")
        << nested(ServerListCodec::kMaxDepth - 1, server) << ServerList{} << ParseResult::TooDeep;

    const QByteArray head = document("<ServerList>" + server + "<!--");
    const QByteArray tail = "--></ServerList>";
    const int fill = int(ServerListCodec::kMaxDocumentBytes) - head.size() - tail.size();
    QTest::newRow("exactly the size cap")
        << head + QByteArray(fill, 'x') + tail << ServerList{entry("a", "u1", false)} << ParseResult::Ok;
    QTest::newRow("one byte over the size cap")
        << head + QByteArray(fill + 1, 'x') + tail << ServerList{} << ParseResult::TooLarge;

    const QByteArray longName = "<Name>" + QByteArray(1024 * 1024, 'n') + "</Name>";
    QTest::newRow("a long name carried over past the cap")
        << document("<ServerList>" + longName + QByteArray("<URL>u1</URL>").repeated(4) + "</ServerList>")
        << ServerList{} << ParseResult::TooLarge;
    QTest::newRow("text nested in many fields past the cap") << document("<ServerList>"
        + QByteArray("<Name>").repeated(8) + QByteArray(1024 * 1024, 'n') + QByteArray("</Name>").repeated(8)
        + "</ServerList>") << ServerList{} << ParseResult::TooLarge;

    QByteArray laughs = "<!DOCTYPE l [<!ENTITY l0 \"ha\">";
    for (int i = 1; i < 10; ++i)
        laughs += QStringLiteral("<!ENTITY l%1 \"%2\">")
                      .arg(i)
                      .arg(QStringLiteral("&l%1;").arg(i - 1).repeated(10))
                      .toLatin1();
    QTest::newRow("exponential entity expansion")
        << document(laughs + "]><ServerList><Server><Name>&l9;</Name><URL>u1</URL></Server></ServerList>")
        << ServerList{} << ParseResult::NotWellFormed;
}

void TestServerListCodec::parse()
{
    using ServerListCodec::ParseResult;
    QFETCH(QByteArray, bytes);
    QFETCH(ServerList, expected);
    QFETCH(ParseResult, result);

    ParseResult parsed = result == ParseResult::Ok ? ParseResult::NotWellFormed : ParseResult::Ok;
    QCOMPARE(ServerListCodec::parse(bytes, &parsed), expected);
    QCOMPARE(parsed, result);
}

void TestServerListCodec::savesOnlyWhatXmlCanHold_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("saved");

    QTest::newRow("lone high surrogate") << fromUtf16({u'a', 0xD800, u'b'}) << QStringLiteral("ab");
    QTest::newRow("lone low surrogate at the end") << fromUtf16({u'a', 0xDC00}) << QStringLiteral("a");
    QTest::newRow("swapped pair") << fromUtf16({0xDC00, 0xD800, u'x'}) << QStringLiteral("x");
    QTest::newRow("pair outside the BMP kept") << fromUtf16({0xD83D, 0xDE00}) << fromUtf16({0xD83D, 0xDE00});
    QTest::newRow("controls dropped, tab and line feed kept")
        << fromUtf16({0x0, u'a', 0x1, u'\t', 0x1B, u'\n', 0x1F, u'b'}) << QStringLiteral("a\t\nb");
    QTest::newRow("carriage returns kept") << QStringLiteral("a\r\nb\r") << QStringLiteral("a\r\nb\r");
    QTest::newRow("leading carriage return kept") << QStringLiteral("\rx") << QStringLiteral("\rx");
    QTest::newRow("non-characters FFFE and FFFF") << fromUtf16({u'a', 0xFFFE, 0xFFFF}) << QStringLiteral("a");
    QTest::newRow("white space only reads as empty") << QStringLiteral(" \t\r\n\u00a0") << QString();
    QTest::newRow("nothing left") << fromUtf16({0xD800, 0x1}) << QString();
}

void TestServerListCodec::savesOnlyWhatXmlCanHold()
{
    QFETCH(QString, text);
    QFETCH(QString, saved);

    const ServerList entries{{QStringLiteral("before"), QStringLiteral("https://before"), true}, {text, text, false},
        {QStringLiteral("after"), QStringLiteral("https://after"), false}};
    ServerList expected = entries;
    expected[1] = ServerEntry{saved, saved, false};
    QCOMPARE(ServerListCodec::sanitized(entries), expected);

    ServerListCodec::ParseResult result = ServerListCodec::ParseResult::NotWellFormed;
    QCOMPARE(ServerListCodec::parse(ServerListCodec::serialize(entries), &result), expected);
    QCOMPARE(result, ServerListCodec::ParseResult::Ok);
}

void TestServerListCodec::neverWritesPastTheSizeCap()
{
    const QString longName(1024 * 1024, QLatin1Char('n'));
    const ServerList entries(5, ServerEntry{longName, QStringLiteral("https://u"), false});
    QVERIFY(ServerListCodec::serialize(entries).isEmpty());
    QVERIFY(!ServerListCodec::serialize(entries.mid(0, 3)).isEmpty());
}

QTEST_APPLESS_MAIN(TestServerListCodec)
#include "test_serverlistcodec.moc"
