// A file of the client's own: read whole up to its limit, moved aside when it cannot be
// taken, saved into a folder that may not exist yet.
#include "storage/OwnFile.h"

#include "TestEnvironment.h"

#include <QFile>
#include <QtTest>

class TestOwnFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void read_data();
    void read();
    void saveMakesTheFolder();

private:
    QString m_sPath;
};

void TestOwnFile::init()
{
    const QString sDir = orbisk::test::scratchDir(QString::fromLatin1(QTest::currentTestFunction()));
    QDir(sDir).removeRecursively();
    m_sPath = sDir + QStringLiteral("/Store.json");
}

void TestOwnFile::read_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("isAccepted");
    QTest::addColumn<bool>("result");
    QTest::addColumn<bool>("isParsed");

    const QByteArray full(OwnFile::kMaxBytes, 'x');
    QTest::newRow("missing: nothing to read") << false << QByteArray() << true << true << false;
    QTest::newRow("taken") << true << QByteArray("{}") << true << true << true;
    QTest::newRow("refused: moved aside") << true << QByteArray("{") << false << false << true;
    QTest::newRow("at the limit: read") << true << full << true << true << true;
    QTest::newRow("over the limit: moved aside unread") << true << full + 'x' << true << false << false;
}

void TestOwnFile::read()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(bool, isAccepted);
    QFETCH(bool, result);
    QFETCH(bool, isParsed);
    if (exists)
        QVERIFY(orbisk::test::writeFileContent(m_sPath, content));

    QByteArray parsed;
    bool isCalled = false;
    QCOMPARE(OwnFile::read(m_sPath,
                 [&](const QByteArray& bytes) {
                     isCalled = true;
                     parsed = bytes;
                     return isAccepted;
                 }),
        result);
    QCOMPARE(isCalled, isParsed);
    if (isParsed)
        QCOMPARE(parsed, content);
    // What could not be taken stays for a person to recover, out of the next save's way.
    QCOMPARE(QFile::exists(m_sPath), exists && result);
    QCOMPARE(orbisk::test::fileContent(m_sPath + QStringLiteral(".bad")), result ? QByteArray() : content);
}

void TestOwnFile::saveMakesTheFolder()
{
    const QString sPath = m_sPath.section(QLatin1Char('/'), 0, -2) + QStringLiteral("/fresh/account/Store.json");
    QVERIFY(OwnFile::save(sPath, "{}"));
    QCOMPARE(orbisk::test::fileContent(sPath), QByteArray("{}"));
    QVERIFY(!OwnFile::save(QString(), "{}"));
}

QTEST_GUILESS_MAIN(TestOwnFile)
#include "test_ownfile.moc"
