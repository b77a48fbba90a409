#include "core/DeviceIdentity.h"

#include "TestEnvironment.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <thread>
#include <vector>

using orbisk::DeviceIdentity;

class TestDeviceIdentity : public QObject
{
    Q_OBJECT

private:
    static QString fallbackFile(const QString& sDir) { return sDir + "/" + DeviceIdentity::kFallbackFileName; }

private slots:
    void initTestCase() { orbisk::test::prepareTestEnvironment(); }

    void stableAndWellFormed_data()
    {
        QTest::addColumn<QByteArray>("machineId");
        QTest::newRow("machine id") << QByteArray("0123456789abcdef");
        QTest::newRow("no machine id, fallback file") << QByteArray();
    }
    void stableAndWellFormed()
    {
        QFETCH(QByteArray, machineId);
        const DeviceIdentity::Sources sources{machineId, "/home/ann", orbisk::test::scratchDir("stable")};
        const DeviceIdentity first("KEY", sources);
        const QString sUuid = first.uuid();
        static const QRegularExpression kV5("^[0-9a-f]{8}-[0-9a-f]{4}-5[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$");
        QVERIFY2(kV5.match(sUuid).hasMatch(), qPrintable(sUuid));
        QCOMPARE(first.uuid(), sUuid);
        QCOMPARE(DeviceIdentity("KEY", sources).uuid(), sUuid);
        QCOMPARE(QFile::exists(fallbackFile(sources.storageDir)), machineId.isEmpty());
    }

    void everyInputSeparatesIdentities()
    {
        const DeviceIdentity::Sources base{"machine", "/home/ann", orbisk::test::scratchDir("inputs")};
        const QString sBase = DeviceIdentity("KEY", base).uuid();
        QVERIFY(DeviceIdentity("KEY2", base).uuid() != sBase);
        QVERIFY(DeviceIdentity("KEY", {"machine", "/home/bob", base.storageDir}).uuid() != sBase);
        QVERIFY(DeviceIdentity("KEY", {"machine2", "/home/ann", base.storageDir}).uuid() != sBase);
        // Parts are framed, so moving bytes from one part to the next makes a new identity.
        QVERIFY(DeviceIdentity("KEY", {"machin", "e/home/ann", base.storageDir}).uuid() != sBase);
    }

    void fallbackFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("isKept");
        QTest::newRow("uuid") << QByteArray("cbcfcbe3-5a42-4238-adf4-b4e436161f6f\n") << true;
        QTest::newRow("uuid, braces, CRLF") << QByteArray("{CBCFCBE3-5A42-4238-ADF4-B4E436161F6F}\r\n") << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("text") << QByteArray("not a uuid\n") << false;
        QTest::newRow("truncated") << QByteArray("cbcfcbe3-5a42-4238-adf4-b4e436161f6") << false;
        QTest::newRow("null uuid") << QByteArray("00000000-0000-0000-0000-000000000000") << false;
        QTest::newRow("trailing junk") << QByteArray("cbcfcbe3-5a42-4238-adf4-b4e436161f6f\nmore") << false;
        QTest::newRow("binary") << QByteArray(4096, '\xff') << false;
    }
    void fallbackFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, isKept);
        const QString sDir = orbisk::test::scratchDir("fallback");
        QFile file(fallbackFile(sDir));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        const DeviceIdentity::Sources sources{QByteArray(), "/home/ann", sDir};

        const QString sUuid = DeviceIdentity("KEY", sources).uuid();
        const QByteArray stored = orbisk::test::fileContent(file.fileName());
        QCOMPARE(stored == content, isKept);
        QVERIFY(!QUuid::fromString(QLatin1String(stored.trimmed())).isNull());
        QCOMPARE(DeviceIdentity("KEY", sources).uuid(), sUuid);
    }

    void unwritableFolderStillGivesOneIdentity()
    {
        const QString sBlocker = orbisk::test::scratchDir("unwritable") + "/file";
        QFile file(sBlocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        for (const QString& sDir : {sBlocker + "/sub", QString()}) {
            const DeviceIdentity identity("KEY", {QByteArray(), "/home/ann", sDir});
            QVERIFY(!identity.uuid().isEmpty());
            QCOMPARE(identity.uuid(), identity.uuid());
        }
    }

    void concurrentFirstUseAgrees()
    {
        const DeviceIdentity::Sources sources{QByteArray(), "/home/ann", orbisk::test::scratchDir("concurrent")};
        const DeviceIdentity identity("KEY", sources);
        std::vector<QString> results(8);
        std::vector<std::thread> threads;
        for (QString& sResult : results)
            threads.emplace_back([&identity, &sResult] { sResult = identity.uuid(); });
        for (std::thread& thread : threads)
            thread.join();
        for (const QString& sResult : results)
            QCOMPARE(sResult, results.front());
        QCOMPARE(DeviceIdentity("KEY", sources).uuid(), results.front());
    }
};

QTEST_GUILESS_MAIN(TestDeviceIdentity)
#include "test_deviceidentity.moc"
