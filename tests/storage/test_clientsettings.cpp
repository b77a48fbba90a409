#include "storage/ClientSettings.h"

#include "FullDisk.h"
#include "TestEnvironment.h"

#include <QtTest>

using orbisk::test::FullDisk;
using orbisk::test::FullDiskOutcome;

Q_DECLARE_METATYPE(FullDisk)

class TestClientSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void reading_data();
    void reading();
    void writeKeepsOtherKeysAndGroups();
    void writeToAnImpossiblePathReportsFailure();
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();

private:
    QString m_path;
};

void TestClientSettings::init()
{
    m_path = orbisk::test::scratchDir(QStringLiteral("settings")) + QStringLiteral("/orbisk-client.ini");
}

void TestClientSettings::reading_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("createFile");
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("autoStart");
    QTest::addColumn<bool>("miniTray");

    QTest::newRow("no file gives the defaults") << QByteArray() << false << 0 << true << true;
    QTest::newRow("empty file gives the defaults") << QByteArray() << true << 0 << true << true;
    QTest::newRow("stored values") << QByteArray("[General]\nLanguage=1\nAutoStart=false\nMiniTray=false\n") << true
                                   << 1 << false << false;
    QTest::newRow("non-numeric language reads as 0")
        << QByteArray("[General]\nLanguage=chinese\n") << true << 0 << true << true;
    QTest::newRow("flags: 0 and FALSE are false")
        << QByteArray("[General]\nAutoStart=0\nMiniTray=FALSE\n") << true << 0 << false << false;
    QTest::newRow("flags: empty is false, other text true")
        << QByteArray("[General]\nAutoStart=\nMiniTray=no\n") << true << 0 << false << true;
    QTest::newRow("keys in another group are not ours")
        << QByteArray("[Other]\nAutoStart=false\n") << true << 0 << true << true;
    QTest::newRow("garbage lines are skipped")
        << QByteArray("\x01\x02 not ini\n[General\nMiniTray=false\n") << true << 0 << true << false;
}

void TestClientSettings::reading()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, createFile);
    QFETCH(int, language);
    QFETCH(bool, autoStart);
    QFETCH(bool, miniTray);

    if (createFile)
        QVERIFY(orbisk::test::writeFileContent(m_path, content));
    const ClientSettings settings = ClientSettings::read(m_path);
    QCOMPARE(settings.language, language);
    QCOMPARE(settings.autoStart, autoStart);
    QCOMPARE(settings.miniTray, miniTray);
    if (!createFile)
        QVERIFY(!QFile::exists(m_path));
}

void TestClientSettings::writeKeepsOtherKeysAndGroups()
{
    QVERIFY(
        orbisk::test::writeFileContent(m_path, "[General]\nLanguage=3\nExtra=kept\n\n[Proxy]\nHost=proxy.example\n"));
    ClientSettings settings;
    settings.autoStart = false;
    QVERIFY(settings.write(m_path));

    QSettings ini(m_path, QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("Language")).toInt(), 0);
    QCOMPARE(ini.value(QStringLiteral("AutoStart")).toString(), QStringLiteral("false"));
    QCOMPARE(ini.value(QStringLiteral("MiniTray")).toString(), QStringLiteral("true"));
    QCOMPARE(ini.value(QStringLiteral("Extra")).toString(), QStringLiteral("kept"));
    QCOMPARE(ini.value(QStringLiteral("Proxy/Host")).toString(), QStringLiteral("proxy.example"));

    const ClientSettings reread = ClientSettings::read(m_path);
    QCOMPARE(reread.autoStart, false);
    QCOMPARE(reread.miniTray, true);
}

void TestClientSettings::writeToAnImpossiblePathReportsFailure()
{
    // A regular file where the folder should be: no folder can be made there.
    const QString blocker = QFileInfo(m_path).path() + QStringLiteral("/blocker");
    QVERIFY(orbisk::test::writeFileContent(blocker, "not a folder"));
    QVERIFY(!ClientSettings().write(blocker + QStringLiteral("/orbisk-client.ini")));
    QCOMPARE(QFileInfo(blocker).isFile(), true);
}

void TestClientSettings::fullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<FullDisk>("kind");
    QTest::newRow("file size limit") << FullDisk::FileSizeLimit;
    QTest::newRow("full tmpfs") << FullDisk::SmallTmpfs;
}

void TestClientSettings::fullDiskKeepsTheOldFile()
{
    QFETCH(FullDisk, kind);

    // The user switched start-with-system off; losing the file would switch it on again.
    const QByteArray old("[General]\nAutoStart=false\nLanguage=0\nMiniTray=true\n\n[Proxy]\nHost=proxy.example\n");
    const auto prepare = [&](const QString& dir) {
        QVERIFY(orbisk::test::writeFileContent(dir + QStringLiteral("/orbisk-client.ini"), old));
    };
    const auto check = [&](const QString& dir) {
        const QString path = dir + QStringLiteral("/orbisk-client.ini");
        ClientSettings settings;
        settings.miniTray = false;
        const bool held = !settings.write(path) && orbisk::test::fileContent(path) == old
            && !ClientSettings::read(path).autoStart
            && QDir(dir).entryList(QDir::Files | QDir::Hidden) == QStringList{QStringLiteral("orbisk-client.ini")};
        if (!held)
            qWarning() << "after the failed save:" << QDir(dir).entryList(QDir::Files | QDir::Hidden)
                       << orbisk::test::fileContent(path);
        return held;
    };

    const FullDiskOutcome outcome = orbisk::test::runOnFullDisk(kind, QFileInfo(m_path).path(), prepare, check);
    if (outcome == FullDiskOutcome::Unavailable)
        QSKIP("this machine does not let the test mount a small tmpfs (no mount namespace)");
    QCOMPARE(outcome, FullDiskOutcome::Held);
}

QTEST_GUILESS_MAIN(TestClientSettings)
#include "test_clientsettings.moc"
