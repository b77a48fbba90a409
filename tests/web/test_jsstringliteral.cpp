// The escaping of texts for single-quoted JavaScript string literals, checked by
// evaluating the escaped literal in a JavaScript engine and comparing with the input.
#include "web/JsStringLiteral.h"

#include "TestEnvironment.h"

#include <QJSEngine>
#include <QtTest>

class TestJsStringLiteral : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void evaluatesToTheInput_data();
    void evaluatesToTheInput();
    void ordinaryTextIsKept_data();
    void ordinaryTextIsKept();
    void literalNeverSpansLines();
};

void TestJsStringLiteral::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
}

void TestJsStringLiteral::evaluatesToTheInput_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    QTest::newRow("apostrophe") << QStringLiteral("/home/ann/it's.txt");
    QTest::newRow("double quote") << QStringLiteral("say \"hi\".txt");
    QTest::newRow("backslash") << QStringLiteral("C:\\Data\\In");
    QTest::newRow("trailing backslash") << QStringLiteral("dir\\");
    QTest::newRow("escape lookalikes") << QStringLiteral("\\n \\u2028 \\x41 \\' \\\\");
    QTest::newRow("quote breaking out") << QStringLiteral("a');alert(1);('");
    QTest::newRow("line feed") << QStringLiteral("two\nlines");
    QTest::newRow("carriage return") << QStringLiteral("a\rb\r\nc");
    QTest::newRow("line separator") << QStringLiteral("a") + QChar(0x2028) + QStringLiteral("b");
    QTest::newRow("paragraph separator") << QStringLiteral("a") + QChar(0x2029) + QStringLiteral("b");
    QTest::newRow("nul then digit") << QStringLiteral("a") + QChar(0) + QStringLiteral("1");
    QTest::newRow("tab, vertical tab, form feed, escape")
        << QStringLiteral("a\tb") + QChar(0x0b) + QChar(0x0c) + QChar(0x1b) + QChar(0x7f);
    QString allControls;
    for (char16_t code = 0; code < 0x20; ++code)
        allControls += QChar(code);
    QTest::newRow("every C0 control") << allControls;
    QTest::newRow("non-ASCII letters") << QStringLiteral("/srv/Übersicht/日本語/ñandú.pdf");
    QTest::newRow("surrogate pair") << QStringLiteral("emoji ") + QString::fromUcs4(U"\U0001F600");
    QTest::newRow("lone high surrogate") << QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b");
    QTest::newRow("lone low surrogate") << QStringLiteral("a") + QChar(0xDC00);
    QTest::newRow("low before high") << QString(QChar(0xDC00)) + QChar(0xD800);
    QTest::newRow("high surrogate at the end") << QStringLiteral("end") + QChar(0xDBFF);
    QTest::newRow("script end tag") << QStringLiteral("</script><b>x</b>");
    QTest::newRow("long path") << QStringLiteral("/very/long/'path\\with\nall").repeated(5000);
}

void TestJsStringLiteral::evaluatesToTheInput()
{
    QFETCH(QString, text);
    QJSEngine engine;
    const QJSValue value = engine.evaluate(QLatin1Char('\'') + escapeJsStringLiteral(text) + QLatin1Char('\''));
    QVERIFY2(!value.isError(), qPrintable(value.toString()));
    QVERIFY(value.isString());
    QCOMPARE(value.toString(), text);

    // Also inside the two-argument call the drop bridge builds.
    engine.evaluate(QStringLiteral("var got = null; function ValtroDrage(k, p) { got = [k, p]; }"));
    const QString sEscaped = escapeJsStringLiteral(text);
    const QJSValue called = engine.evaluate(QStringLiteral("ValtroDrage('%1','%2'); got").arg(sEscaped, sEscaped));
    QVERIFY2(!called.isError(), qPrintable(called.toString()));
    QCOMPARE(called.property(0).toString(), text);
    QCOMPARE(called.property(1).toString(), text);
}

void TestJsStringLiteral::ordinaryTextIsKept_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("unix path") << QStringLiteral("/home/ann/Documents/report 2024 (final).pdf");
    QTest::newRow("windows path with forward slashes") << QStringLiteral("C:/Data/In/a.txt");
    QTest::newRow("non-ASCII") << QStringLiteral("/tmp/Ærø/Größe/中文.txt");
    QTest::newRow("URL-like characters") << QStringLiteral("/tmp/a%20b#c?d&e=f;g,h@i+j~k");
}

void TestJsStringLiteral::ordinaryTextIsKept()
{
    QFETCH(QString, text);
    QCOMPARE(escapeJsStringLiteral(text), text);
}

void TestJsStringLiteral::literalNeverSpansLines()
{
    QString text;
    for (char16_t code = 0; code < 0x80; ++code)
        text += QChar(code);
    text += QChar(0x2028);
    text += QChar(0x2029);
    const QString sEscaped = escapeJsStringLiteral(text);
    for (const QChar ch : sEscaped) {
        QVERIFY2(ch.unicode() >= 0x20 && ch.unicode() != 0x7f && ch != QChar(0x2028) && ch != QChar(0x2029),
            qPrintable(QStringLiteral("raw U+%1 in the literal").arg(ch.unicode(), 4, 16, QLatin1Char('0'))));
    }
}

QTEST_MAIN(TestJsStringLiteral)
#include "test_jsstringliteral.moc"
