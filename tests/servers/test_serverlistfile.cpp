#include "servers/ServerListCodec.h"
#include "servers/ServerListFile.h"

#include "FullDisk.h"
#include "TestEnvironment.h"

#include <QtTest>

using orbisk::test::FullDisk;
using orbisk::test::FullDiskOutcome;

Q_DECLARE_METATYPE(FullDisk)

namespace {

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestServerListFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void missingFileReadsEmptyAndCreatesNothing();
    void writeThenRead();
    void malformedFileIsKeptAside_data();
    void malformedFileIsKeptAside();
    void quarantineNeverOverwritesAnEarlierCopy();
    void quarantineKeepsOneCopyPerContent();
    void hostileFileIsKeptAsideAndReadsEmpty_data();
    void hostileFileIsKeptAsideAndReadsEmpty();
    void failedWriteLeavesTheOldFileWhole_data();
    void failedWriteLeavesTheOldFileWhole();
    void unwritableCharactersNeverLoseTheList();
    void writeIntoMissingFolderFails();

private:
    QString m_dir;
    QString m_path;
};

void TestServerListFile::init()
{
    m_dir = orbisk::test::scratchDir(QStringLiteral("serverlistfile"));
    m_path = m_dir + QStringLiteral("/ServerConfig.xml");
}

void TestServerListFile::missingFileReadsEmptyAndCreatesNothing()
{
    QVERIFY(ServerListFile::read(m_path).isEmpty());
    QVERIFY(QDir(m_dir).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestServerListFile::writeThenRead()
{
    const ServerList entries{
        {QStringLiteral("a & b"), QStringLiteral("https://a"), true}, {QString(), QStringLiteral("https://b"), false}};
    QVERIFY(ServerListFile::write(m_path, entries));
    QCOMPARE(ServerListFile::read(m_path), entries);
    QCOMPARE(orbisk::test::fileContent(m_path), ServerListCodec::serialize(entries));
    // No temporary file is left beside the list.
    QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("ServerConfig.xml")});
}

void TestServerListFile::malformedFileIsKeptAside_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("keptAside");
    QTest::newRow("cut off after a complete server")
        << QByteArray("<?xml version=\"1.0\"?><ServerList><Server><Name>a</Name><URL>https://a</URL></Server><Ser")
        << true;
    QTest::newRow("binary garbage") << QByteArray("\x89PNG\r\n\x1a\n\x00\x00", 10) << true;
    QTest::newRow("empty file has nothing to keep") << QByteArray() << false;
    QTest::newRow("blank file has nothing to keep") << QByteArray("\n  \n") << false;
}

void TestServerListFile::malformedFileIsKeptAside()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, keptAside);

    QVERIFY(orbisk::test::writeFileContent(m_path, bytes));
    QVERIFY(ServerListFile::read(m_path).isEmpty());
    const QString aside = m_path + QStringLiteral(".bad");
    QCOMPARE(QFile::exists(aside), keptAside);
    if (keptAside)
        QCOMPARE(orbisk::test::fileContent(aside), bytes);
    // The original is left as it was until the list is saved again.
    QCOMPARE(orbisk::test::fileContent(m_path), bytes);
}

void TestServerListFile::quarantineNeverOverwritesAnEarlierCopy()
{
    QVERIFY(orbisk::test::writeFileContent(m_path, "<first"));
    ServerListFile::read(m_path);
    QVERIFY(orbisk::test::writeFileContent(m_path, "<second"));
    ServerListFile::read(m_path);
    QCOMPARE(orbisk::test::fileContent(m_path + QStringLiteral(".bad")), QByteArray("<first"));
    QCOMPARE(orbisk::test::fileContent(m_path + QStringLiteral(".bad.2")), QByteArray("<second"));
}

void TestServerListFile::quarantineKeepsOneCopyPerContent()
{
    // Every start reads the file again; the same broken content is kept once.
    QVERIFY(orbisk::test::writeFileContent(m_path, "<first"));
    for (int start = 0; start < 3; ++start)
        QVERIFY(ServerListFile::read(m_path).isEmpty());
    QVERIFY(orbisk::test::writeFileContent(m_path, "<second"));
    for (int start = 0; start < 3; ++start)
        ServerListFile::read(m_path);
    // A copy that was removed by hand is made again, beside the later ones.
    QVERIFY(QFile::remove(m_path + QStringLiteral(".bad")));
    QVERIFY(orbisk::test::writeFileContent(m_path, "<first"));
    ServerListFile::read(m_path);
    QVERIFY(orbisk::test::writeFileContent(m_path, "<second"));
    ServerListFile::read(m_path);

    QCOMPARE(filesIn(m_dir),
        (QStringList{QStringLiteral("ServerConfig.xml"), QStringLiteral("ServerConfig.xml.bad"),
            QStringLiteral("ServerConfig.xml.bad.2")}));
    QCOMPARE(orbisk::test::fileContent(m_path + QStringLiteral(".bad")), QByteArray("<first"));
    QCOMPARE(orbisk::test::fileContent(m_path + QStringLiteral(".bad.2")), QByteArray("<second"));
}

void TestServerListFile::hostileFileIsKeptAsideAndReadsEmpty_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray server = "<Server><Name>a</Name><URL>https://a</URL></Server>";
    QTest::newRow("30,000 nested elements") << "<ServerList>" + server + QByteArray("<x>").repeated(30000)
            + QByteArray("</x>").repeated(30000) + "</ServerList>";
    QTest::newRow("one long name carried over to thousands of servers") << "<ServerList><Name>"
            + QByteArray(3 * 1024 * 1024, 'n') + "</Name>" + QByteArray("<URL>https://u</URL>").repeated(20000)
            + "</ServerList>";
    QTest::newRow("over the size cap") << "<ServerList>" + server + "<!--"
            + QByteArray(int(ServerListCodec::kMaxDocumentBytes), '-').replace("--", "-x") + "--></ServerList>";
}

void TestServerListFile::hostileFileIsKeptAsideAndReadsEmpty()
{
    QFETCH(QByteArray, bytes);

    QVERIFY(orbisk::test::writeFileContent(m_path, bytes));
    for (int start = 0; start < 2; ++start)
        QVERIFY(ServerListFile::read(m_path).isEmpty());
    QCOMPARE(orbisk::test::fileContent(m_path + QStringLiteral(".bad")), bytes);
    QCOMPARE(orbisk::test::fileContent(m_path), bytes);
    QCOMPARE(filesIn(m_dir).size(), 2);

    // The next save replaces the file with a list that reads again.
    const ServerList fresh{{QStringLiteral("b"), QStringLiteral("https://b"), true}};
    QVERIFY(ServerListFile::write(m_path, fresh));
    QCOMPARE(ServerListFile::read(m_path), fresh);
}

void TestServerListFile::failedWriteLeavesTheOldFileWhole_data()
{
    QTest::addColumn<FullDisk>("kind");
    QTest::newRow("file size limit") << FullDisk::FileSizeLimit;
    QTest::newRow("full tmpfs") << FullDisk::SmallTmpfs;
}

void TestServerListFile::failedWriteLeavesTheOldFileWhole()
{
    QFETCH(FullDisk, kind);

    // A few entries: the new content is smaller than any write buffer.
    const ServerList old{{QStringLiteral("keep"), QStringLiteral("https://keep"), true}};
    const ServerList changed = old + ServerList{{QStringLiteral("new"), QStringLiteral("https://new"), false}};
    const auto prepare
        = [&](const QString& dir) { ServerListFile::write(dir + QStringLiteral("/ServerConfig.xml"), old); };
    const auto check = [&](const QString& dir) {
        const QString path = dir + QStringLiteral("/ServerConfig.xml");
        const QByteArray before = ServerListCodec::serialize(old);
        const bool held = !ServerListFile::write(path, changed) && orbisk::test::fileContent(path) == before
            && ServerListFile::read(path) == old && filesIn(dir) == QStringList{QStringLiteral("ServerConfig.xml")};
        if (!held)
            qWarning() << "after the failed save:" << filesIn(dir) << orbisk::test::fileContent(path);
        return held;
    };

    const FullDiskOutcome outcome = orbisk::test::runOnFullDisk(kind, m_dir, prepare, check);
    if (outcome == FullDiskOutcome::Unavailable)
        QSKIP("this machine does not let the test mount a small tmpfs (no mount namespace)");
    QCOMPARE(outcome, FullDiskOutcome::Held);
}

void TestServerListFile::unwritableCharactersNeverLoseTheList()
{
    const QChar lone(0xD800);
    const ServerList entries{{QStringLiteral("keep"), QStringLiteral("https://keep"), true},
        {QStringLiteral("pasted") + lone, QStringLiteral("https://pasted") + lone + QChar(0x1), false}};
    QVERIFY(ServerListFile::write(m_path, entries));

    const ServerList expected{{QStringLiteral("keep"), QStringLiteral("https://keep"), true},
        {QStringLiteral("pasted"), QStringLiteral("https://pasted"), false}};
    QCOMPARE(ServerListFile::read(m_path), expected);
    QCOMPARE(filesIn(m_dir), QStringList{QStringLiteral("ServerConfig.xml")});
}

void TestServerListFile::writeIntoMissingFolderFails()
{
    const QString path = m_dir + QStringLiteral("/missing/ServerConfig.xml");
    QVERIFY(!ServerListFile::write(path, {{QStringLiteral("a"), QStringLiteral("https://a"), false}}));
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestServerListFile)
#include "test_serverlistfile.moc"
