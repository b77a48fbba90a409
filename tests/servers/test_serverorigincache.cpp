// The allowed origins follow every save of the server list, without reading an unchanged list again.
#include "servers/ServerListCodec.h"
#include "servers/ServerOriginCache.h"
#include "storage/AtomicFile.h"

#include "TestEnvironment.h"

#include <QtTest>

#include <filesystem>

using orbisk::OriginSet;
using orbisk::ServerOriginCache;

class TestServerOriginCache : public QObject
{
    Q_OBJECT

    QString m_sPath;

private slots:
    void init() { m_sPath = orbisk::test::scratchDir(QStringLiteral("origins")) + QStringLiteral("/ServerConfig.xml"); }

    void followsEverySave()
    {
        ServerOriginCache cache(m_sPath);
        QCOMPARE(cache.origins(), OriginSet());

        // Saved the way the client saves (a new file renamed over the old one), at once after each other.
        QVERIFY(AtomicFile::write(m_sPath, ServerListCodec::serialize({{"a", "https://a.example", true}})));
        QCOMPARE(cache.origins(), OriginSet{"https://a.example"});
        QVERIFY(AtomicFile::write(m_sPath,
            ServerListCodec::serialize({{"a", "https://a.example", true}, {"b", "https://b.example", false}})));
        QCOMPARE(cache.origins(), (OriginSet{"https://a.example", "https://b.example"}));
        // Same size as the first list: only the modification time tells.
        QVERIFY(AtomicFile::write(m_sPath, ServerListCodec::serialize({{"a", "https://c.example", true}})));
        QCOMPARE(cache.origins(), OriginSet{"https://c.example"});

        QVERIFY(QFile::remove(m_sPath));
        QCOMPARE(cache.origins(), OriginSet());
    }

    void unchangedFileIsNotReadAgain()
    {
        QVERIFY(AtomicFile::write(m_sPath, ServerListCodec::serialize({{"a", "https://a.example", true}})));
        ServerOriginCache cache(m_sPath);
        QCOMPARE(cache.origins(), OriginSet{"https://a.example"});

        // The same size and modification time stand for the same content: a list
        // changed behind the cache's back keeps the origins read before.
        const std::filesystem::path path = QFile::encodeName(m_sPath).toStdString();
        const auto modified = std::filesystem::last_write_time(path);
        QFile file(m_sPath);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArray other = file.readAll().replace("https://a.example", "https://z.example");
        QVERIFY(file.seek(0));
        QCOMPARE(file.write(other), qint64(other.size()));
        file.close();
        std::filesystem::last_write_time(path, modified);
        QCOMPARE(cache.origins(), OriginSet{"https://a.example"});

        QVERIFY(file.open(QIODevice::Append));
        file.write("\n");
        file.close();
        QCOMPARE(cache.origins(), OriginSet{"https://z.example"});
    }
};

QTEST_GUILESS_MAIN(TestServerOriginCache)
#include "test_serverorigincache.moc"
