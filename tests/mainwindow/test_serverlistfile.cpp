#include "mainwindow/ServerListCodec.h"
#include "mainwindow/ServerListFile.h"

#include "TestEnvironment.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeRaw(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Lowers the largest file this process may write, so that a write of more bytes
// fails half-way as it would on a full disk. Restored on destruction.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }
    bool isActive() const { return m_active; }

private:
    rlimit m_saved{};
    bool m_active = false;
};

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
    void failedWriteLeavesTheOldFileWhole();
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
    QCOMPARE(contentOf(m_path), ServerListCodec::serialize(entries));
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

    writeRaw(m_path, bytes);
    QVERIFY(ServerListFile::read(m_path).isEmpty());
    const QString aside = m_path + QStringLiteral(".bad");
    QCOMPARE(QFile::exists(aside), keptAside);
    if (keptAside)
        QCOMPARE(contentOf(aside), bytes);
    // The original is left as it was until the list is saved again.
    QCOMPARE(contentOf(m_path), bytes);
}

void TestServerListFile::quarantineNeverOverwritesAnEarlierCopy()
{
    writeRaw(m_path, "<first");
    ServerListFile::read(m_path);
    writeRaw(m_path, "<second");
    ServerListFile::read(m_path);
    QCOMPARE(contentOf(m_path + QStringLiteral(".bad")), QByteArray("<first"));
    QCOMPARE(contentOf(m_path + QStringLiteral(".bad.2")), QByteArray("<second"));
}

void TestServerListFile::failedWriteLeavesTheOldFileWhole()
{
    const ServerList old{{QStringLiteral("keep"), QStringLiteral("https://keep"), true}};
    QVERIFY(ServerListFile::write(m_path, old));
    const QByteArray before = contentOf(m_path);

    ServerList large = old;
    for (int i = 0; i < 200; ++i)
        large.append({QStringLiteral("server %1").arg(i), QStringLiteral("https://s%1.example").arg(i), false});

    bool written = true;
    {
        FileSizeLimit limit(before.size() + 64);
        QVERIFY(limit.isActive());
        written = ServerListFile::write(m_path, large);
    }
    QVERIFY(!written);
    QCOMPARE(contentOf(m_path), before);
    QCOMPARE(ServerListFile::read(m_path), old);
    QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("ServerConfig.xml")});
}

void TestServerListFile::writeIntoMissingFolderFails()
{
    const QString path = m_dir + QStringLiteral("/missing/ServerConfig.xml");
    QVERIFY(!ServerListFile::write(path, {{QStringLiteral("a"), QStringLiteral("https://a"), false}}));
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestServerListFile)
#include "test_serverlistfile.moc"
