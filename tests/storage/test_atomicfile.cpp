#include "storage/AtomicFile.h"

#include "FullDisk.h"
#include "TestEnvironment.h"

#include <QtTest>

using orbisk::test::FullDisk;
using orbisk::test::FullDiskOutcome;

Q_DECLARE_METATYPE(FullDisk)

namespace {

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

class TestAtomicFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void replacesTheFile();
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
    void refusedContentIsNotWritten();

private:
    QString m_dir;
};

void TestAtomicFile::init()
{
    m_dir = orbisk::test::scratchDir(QStringLiteral("atomicfile"));
}

void TestAtomicFile::replacesTheFile()
{
    const QString path = m_dir + QStringLiteral("/file");
    QVERIFY(AtomicFile::write(path, "first, and longer than the second"));
    QVERIFY(AtomicFile::write(path, "second"));
    QCOMPARE(orbisk::test::fileContent(path), QByteArray("second"));
    QCOMPARE(filesIn(m_dir), QStringList{QStringLiteral("file")});
}

void TestAtomicFile::fullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<FullDisk>("kind");
    QTest::addColumn<QByteArray>("old");
    QTest::addColumn<QByteArray>("replacement");

    // Small files on purpose: the whole content fits in one buffer, so the shortfall
    // shows only in the last write or the final flush.
    const QByteArray small("<list>\n  <item>a</item>\n  <item>b</item>\n</list>\n");
    const QByteArray larger = small + "<list>\n  <item>c</item>\n</list>\n";
    for (const auto& [kind, name] :
        {std::pair{FullDisk::FileSizeLimit, "file size limit"}, std::pair{FullDisk::SmallTmpfs, "full tmpfs"}}) {
        QTest::addRow("%s: a few entries replaced by more", name) << kind << small << larger;
        QTest::addRow("%s: replaced by the same size", name) << kind << small << QByteArray(small).replace('a', 'z');
        QTest::addRow("%s: no old file", name) << kind << QByteArray() << small;
    }
}

void TestAtomicFile::fullDiskKeepsTheOldFile()
{
    QFETCH(FullDisk, kind);
    QFETCH(QByteArray, old);
    QFETCH(QByteArray, replacement);

    const auto prepare = [&](const QString& dir) {
        if (!old.isEmpty())
            AtomicFile::write(dir + QStringLiteral("/file"), old);
    };
    const auto check = [&](const QString& dir) {
        const QString path = dir + QStringLiteral("/file");
        if (AtomicFile::write(path, replacement)) {
            qWarning("the write reported success on a full disk");
            return false;
        }
        if (QFile::exists(path) != !old.isEmpty() || orbisk::test::fileContent(path) != old) {
            qWarning() << "the old file changed:" << orbisk::test::fileContent(path);
            return false;
        }
        const QStringList expected = old.isEmpty() ? QStringList() : QStringList{QStringLiteral("file")};
        if (filesIn(dir) != expected) {
            qWarning() << "files left behind:" << filesIn(dir);
            return false;
        }
        return true;
    };

    const FullDiskOutcome outcome = orbisk::test::runOnFullDisk(kind, m_dir, prepare, check);
    if (outcome == FullDiskOutcome::Unavailable)
        QSKIP("this machine does not let the test mount a small tmpfs (no mount namespace)");
    QCOMPARE(outcome, FullDiskOutcome::Held);
}

void TestAtomicFile::refusedContentIsNotWritten()
{
    const QString path = m_dir + QStringLiteral("/file");
    QVERIFY(AtomicFile::write(path, "old"));
    QByteArray seen;
    const bool written = AtomicFile::write(path, "new", [&seen](const QByteArray& bytes) {
        seen = bytes;
        return false;
    });
    QVERIFY(!written);
    QCOMPARE(seen, QByteArray("new"));
    QCOMPARE(orbisk::test::fileContent(path), QByteArray("old"));
    QCOMPARE(filesIn(m_dir), QStringList{QStringLiteral("file")});
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "test_atomicfile.moc"
