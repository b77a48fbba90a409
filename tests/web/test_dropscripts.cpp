// The scripts of the drop bridge: one ValtroDrage call per URL, in order, with the
// kind taken from the file system and both arguments escaped.
#include "web/DropScripts.h"

#include "TestEnvironment.h"

#include <QJSEngine>
#include <QtTest>

class TestDropScripts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void oneScriptPerUrlInOrder();
    void pathsReachThePageAsOnDisk_data();
    void pathsReachThePageAsOnDisk();
    void noUrlsNoScripts();

private:
    QString m_sDir;
};

void TestDropScripts::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    m_sDir = orbisk::test::scratchDir(QStringLiteral("drops"));
    QVERIFY(QDir(m_sDir).mkdir(QStringLiteral("In")));
    QFile file(m_sDir + QStringLiteral("/a.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestDropScripts::oneScriptPerUrlInOrder()
{
    const QList<QUrl> urls{QUrl::fromLocalFile(m_sDir + QStringLiteral("/In")),
        QUrl::fromLocalFile(m_sDir + QStringLiteral("/a.txt")),
        QUrl::fromLocalFile(m_sDir + QStringLiteral("/missing")),
        QUrl(QStringLiteral("https://example.com/page.html"))};
    const QStringList expected{
        QStringLiteral("ValtroDrage('folder','%1/In')").arg(m_sDir),
        QStringLiteral("ValtroDrage('file','%1/a.txt')").arg(m_sDir),
        QStringLiteral("ValtroDrage('file','%1/missing')").arg(m_sDir),
        QStringLiteral("ValtroDrage('file','')"),
    };
    QCOMPARE(dropScripts(urls), expected);
}

void TestDropScripts::pathsReachThePageAsOnDisk_data()
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

void TestDropScripts::pathsReachThePageAsOnDisk()
{
    QFETCH(QString, name);
    const QString sPath = m_sDir + QLatin1Char('/') + name;
    const QStringList scripts = dropScripts({QUrl::fromLocalFile(sPath)});
    QCOMPARE(scripts.size(), 1);

    QJSEngine engine;
    engine.evaluate(QStringLiteral("var calls = []; function ValtroDrage(k, p) { calls.push([k, p]); }"));
    const QJSValue result = engine.evaluate(scripts.first());
    QVERIFY2(!result.isError(), qPrintable(result.toString()));
    const QJSValue calls = engine.globalObject().property(QStringLiteral("calls"));
    QCOMPARE(calls.property(QStringLiteral("length")).toInt(), 1);
    QCOMPARE(calls.property(0).property(0).toString(), QStringLiteral("file"));
    QCOMPARE(calls.property(0).property(1).toString(), sPath);
}

void TestDropScripts::noUrlsNoScripts()
{
    QVERIFY(dropScripts({}).isEmpty());
}

QTEST_MAIN(TestDropScripts)
#include "test_dropscripts.moc"
