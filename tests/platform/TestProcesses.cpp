#include "OtherUser.h"
#include "TestEnvironment.h"
#include "platform/processes.h"
#include "platform/processes_linux.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <unistd.h>

using namespace orbisk::platform;

namespace {

constexpr int kStartTimeoutMs = 30000;

QByteArray statusOf(uid_t realUser, uid_t effectiveUser)
{
    const QByteArray real = QByteArray::number(realUser);
    const QByteArray effective = QByteArray::number(effectiveUser);
    return "Name:\tx\nUid:\t" + real + '\t' + effective + '\t' + effective + '\t' + effective + "\nGid:\t0\n";
}

// The processes this test counts are its user's.
int countOwn(const QString& fileName, const QString& root)
{
    return countOwnProcessesWithExecutableName(fileName, root, ::getuid());
}

// A fake /proc/PID folder of this user; an empty exe target leaves the link out, as for an
// unreadable one, and an empty status leaves the status file out.
void addProcess(const QString& root, const QString& pid, const QByteArray& exe, const QByteArray& cmdline = {},
    const QByteArray& comm = {}, const QByteArray& stat = {},
    const QByteArray& status = statusOf(::getuid(), ::getuid()))
{
    const QString dir = root + QLatin1Char('/') + pid;
    QVERIFY(QDir().mkpath(dir));
    if (!exe.isEmpty())
        QCOMPARE(::symlink(exe.constData(), QFile::encodeName(dir + QStringLiteral("/exe")).constData()), 0);
    QVERIFY(orbisk::test::writeFileContent(dir + QStringLiteral("/cmdline"), cmdline));
    QVERIFY(orbisk::test::writeFileContent(dir + QStringLiteral("/comm"), comm));
    QVERIFY(orbisk::test::writeFileContent(dir + QStringLiteral("/stat"), stat));
    if (!status.isEmpty())
        QVERIFY(orbisk::test::writeFileContent(dir + QStringLiteral("/status"), status));
}

} // namespace

class TestProcesses : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { orbisk::test::prepareTestEnvironment(); }

    // Each row is one fake process folder; exe empty means no readable link, stat defaults to running.
    void nameSources_data()
    {
        for (const char* column : {"exe", "cmdline", "comm", "stat"})
            QTest::addColumn<QByteArray>(column);
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expected");
        const auto row = [](const char* tag, const QByteArray& exe, const QByteArray& cmdline, const QByteArray& comm,
                             const char* name, int expected, const QByteArray& stat = "9 (x) S 1") {
            QTest::newRow(tag) << exe << cmdline << comm << stat << QString::fromUtf8(name) << expected;
        };
        const char* client = "orbisk-client";
        const QByteArray clientArgs = QByteArrayLiteral("/opt/orbisk/orbisk-client\0-min\0-autorun\0");
        row("exe matches, others differ", "/opt/orbisk/orbisk-client", "x", "x\n", client, 1);
        row("exe case differs", "/opt/Orbisk-Client", clientArgs, "", client, 0);
        row("exe is a renamed copy", "/opt/orbisk-client-copy", clientArgs, "orbisk-client\n", client, 0);
        row("exe is a prefix", "/opt/orbisk", "", "", client, 0);
        row("exe deleted", "/gone/orbisk-client (deleted)", "", "", client, 1);
        row("exe non-ASCII", "/opt/客户端", "", "", "客户端", 1);
        row("argv0 path", "", clientArgs, "x\n", client, 1);
        row("argv0 bare, no NUL", "", "orbisk-client", "", client, 1);
        row("argv0 differs, comm ignored", "", QByteArrayLiteral("/opt/orbisk-client2\0"), "orbisk-client\n", client,
            0);
        row("comm, cmdline empty", "", "", "orbisk-client\n", client, 1);
        row("comm, argv0 empty", "", QByteArrayLiteral("\0-x\0"), "orbisk-client\n", client, 1);
        row("comm case differs", "", "", "Orbisk-client\n", client, 0);
        row("comm of a zombie", "", "", "orbisk-client\n", client, 0, "9 (orbisk-client) Z 1");
        row("comm with ) and Z in it", "", "", "x) Z\n", "x) Z", 1, "9 (x) Z) S 1");
        row("comm of 14 bytes", "", "", "abcdefghijklmn\n", "abcdefghijklmn", 1);
        row("comm of 15 bytes may be cut", "", "", "abcdefghijklmno\n", "abcdefghijklmno", 0);
        row("comm cut from a longer name", "", "", "orbisk-client-n\n", "orbisk-client-nightly", 0);
        row("empty name", "", "", "", "", 0);
    }

    void nameSources()
    {
        QFETCH(QByteArray, exe);
        QFETCH(QByteArray, cmdline);
        QFETCH(QByteArray, comm);
        QFETCH(QByteArray, stat);
        QFETCH(QString, name);
        const QString root = orbisk::test::scratchDir(QStringLiteral("proc"));
        addProcess(root, QStringLiteral("9"), exe, cmdline, comm, stat);
        QTEST(countOwn(name, root), "expected");
    }

    // Only numeric folders are processes; a folder emptied by a vanished process counts for
    // nothing, nor do processes whose real user is another or cannot be read.
    void walkCountsProcessFoldersOnly()
    {
        const QString root = orbisk::test::scratchDir(QStringLiteral("proc"));
        addProcess(root, QStringLiteral("100"), "/usr/bin/tool");
        addProcess(root, QStringLiteral("200"), {}, QByteArrayLiteral("tool\0"));
        addProcess(root, QStringLiteral("300"), "/usr/bin/other");
        addProcess(root, QStringLiteral("net"), "/usr/bin/tool");
        addProcess(root, QStringLiteral("12a"), "/usr/bin/tool");
        QVERIFY(QDir().mkpath(root + QStringLiteral("/500")));
        const uid_t other = ::getuid() == orbisk::test::kNobody ? 0 : orbisk::test::kNobody;
        addProcess(root, QStringLiteral("600"), "/usr/bin/tool", {}, {}, {}, statusOf(other, other));
        addProcess(root, QStringLiteral("601"), "/usr/bin/tool", {}, {}, {}, statusOf(other, ::getuid()));
        addProcess(root, QStringLiteral("602"), "/usr/bin/tool", {}, {}, {}, "Name:\ttool\n");
        QVERIFY(QFile::link(root + QStringLiteral("/100"), root + QStringLiteral("/self")));
        QVERIFY(orbisk::test::writeFileContent(root + QStringLiteral("/400"), "tool"));
        QCOMPARE(countOwn(QStringLiteral("tool"), root), 2);
        QCOMPARE(countOwn(QStringLiteral("tool"), root + QStringLiteral("/none")), 0);
    }

    // A binary really named "... (deleted)" keeps its name while it exists.
    void deletedSuffixOfExistingFileKept()
    {
        const QString root = orbisk::test::scratchDir(QStringLiteral("proc"));
        const QString binary = orbisk::test::scratchDir(QStringLiteral("bin")) + QStringLiteral("/tool (deleted)");
        QVERIFY(orbisk::test::writeFileContent(binary, ""));
        addProcess(root, QStringLiteral("1"), QFile::encodeName(binary));
        QCOMPARE(countOwn(QStringLiteral("tool (deleted)"), root), 1);
        QCOMPARE(countOwn(QStringLiteral("tool"), root), 0);
    }

    void liveCountFollowsProcesses()
    {
        QCOMPARE(executableFileName(), QFileInfo(QCoreApplication::applicationFilePath()).fileName());
        QVERIFY(countOwnProcessesWithExecutableName(executableFileName()) >= 1);

        const QString sleep = QStandardPaths::findExecutable(QStringLiteral("sleep"));
        QVERIFY(!sleep.isEmpty());
        const QString name = QStringLiteral("orbisk-sleep-%1").arg(QCoreApplication::applicationPid());
        const QString copy = orbisk::test::scratchDir(QStringLiteral("live")) + QLatin1Char('/') + name;
        QVERIFY(QFile::copy(sleep, copy));
        QCOMPARE(countOwnProcessesWithExecutableName(name), 0);

        QProcess first;
        QProcess second;
        for (QProcess* process : {&first, &second}) {
            process->start(copy, {QStringLiteral("600")});
            QVERIFY(process->waitForStarted(kStartTimeoutMs));
        }
        QCOMPARE(countOwnProcessesWithExecutableName(name), 2);
        // Removing the binary of running processes does not hide them.
        QVERIFY(QFile::remove(copy));
        QCOMPARE(countOwnProcessesWithExecutableName(name), 2);
        first.kill();
        QVERIFY(first.waitForFinished(kStartTimeoutMs));
        QCOMPARE(countOwnProcessesWithExecutableName(name), 1);
        second.kill();
        QVERIFY(second.waitForFinished(kStartTimeoutMs));
        QCOMPARE(countOwnProcessesWithExecutableName(name), 0);
    }
};

QTEST_GUILESS_MAIN(TestProcesses)
#include "TestProcesses.moc"
