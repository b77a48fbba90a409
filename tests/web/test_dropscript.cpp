// The script of the drop bridge for one dropped URL: a ValtroDrage call with the kind
// taken from the file system and both arguments escaped.
#include "web/DropScript.h"

#include "TestEnvironment.h"

#include <QJSEngine>
#include <QtTest>

class TestDropScript : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void kindAndPathOfEachUrl_data();
    void kindAndPathOfEachUrl();
    void pathsReachThePageAsOnDisk_data();
    void pathsReachThePageAsOnDisk();

private:
    QString m_sDir;
};

void TestDropScript::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    m_sDir = orbisk::test::scratchDir(QStringLiteral("drops"));
    QVERIFY(QDir(m_sDir).mkdir(QStringLiteral("In")));
    QFile file(m_sDir + QStringLiteral("/a.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestDropScript::kindAndPathOfEachUrl_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("script");
    // {DIR} stands for the scratch folder, known only once initTestCase ran.
    QTest::newRow("folder") << "{DIR}/In"
                            << "ValtroDrage('folder','{DIR}/In')";
    QTest::newRow("file") << "{DIR}/a.txt"
                          << "ValtroDrage('file','{DIR}/a.txt')";
    QTest::newRow("missing path") << "{DIR}/missing"
                                  << "ValtroDrage('file','{DIR}/missing')";
    QTest::newRow("web link") << "https://example.com/page.html"
                              << "ValtroDrage('file','')";
}

void TestDropScript::kindAndPathOfEachUrl()
{
    QFETCH(QString, url);
    QFETCH(QString, script);
    url.replace(QStringLiteral("{DIR}"), m_sDir);
    const QUrl dropped = url.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(url) : QUrl(url);
    QCOMPARE(dropScript(dropped), script.replace(QStringLiteral("{DIR}"), m_sDir));
}

void TestDropScript::pathsReachThePageAsOnDisk_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("apostrophe") << QStringLiteral("it's.txt");
    QTest::newRow("backslash") << QStringLiteral("back\\slash.txt");
    QTest::newRow("code in the name") << QStringLiteral("x');document.title='owned';('");
    QTest::newRow("percent markers") << QStringLiteral("%1 and %2.txt");
    QTest::newRow("line separator") << QStringLiteral("a") + QChar(0x2028) + QStringLiteral("b.txt");
    QTest::newRow("new line") << QStringLiteral("two\nlines.txt");
    QTest::newRow("non-ASCII") << QStringLiteral("Übersicht 日本.txt");
}

void TestDropScript::pathsReachThePageAsOnDisk()
{
    QFETCH(QString, name);
    const QString sPath = m_sDir + QLatin1Char('/') + name;
    QJSEngine engine;
    engine.evaluate(QStringLiteral("var calls = []; function ValtroDrage(k, p) { calls.push([k, p]); }"));
    const QJSValue result = engine.evaluate(dropScript(QUrl::fromLocalFile(sPath)));
    QVERIFY2(!result.isError(), qPrintable(result.toString()));
    const QJSValue calls = engine.globalObject().property(QStringLiteral("calls"));
    QCOMPARE(calls.property(QStringLiteral("length")).toInt(), 1);
    QCOMPARE(calls.property(0).property(0).toString(), QStringLiteral("file"));
    QCOMPARE(calls.property(0).property(1).toString(), sPath);
}

QTEST_MAIN(TestDropScript)
#include "test_dropscript.moc"
