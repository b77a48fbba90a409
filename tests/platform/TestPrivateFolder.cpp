// Which folders count as the current user's alone: the running copy's channel is made
// and looked for only in such a folder.
#include "platform/privatefolder.h"

#include "TestEnvironment.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestPrivateFolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void judgesOwnerKindAndMode_data();
    void judgesOwnerKindAndMode();
    void folderOfAnotherUserIsNotPrivate();
};

void TestPrivateFolder::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
}

void TestPrivateFolder::judgesOwnerKindAndMode_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("isPrivate");

    QTest::newRow("own folder, 0700") << "folder" << 0700 << true;
    QTest::newRow("own folder, 0500") << "folder" << 0500 << true;
    QTest::newRow("group may enter") << "folder" << 0710 << false;
    QTest::newRow("group may read") << "folder" << 0740 << false;
    QTest::newRow("others may enter") << "folder" << 0701 << false;
    QTest::newRow("open to all") << "folder" << 0777 << false;
    QTest::newRow("a link to a private folder") << "link" << 0700 << false;
    QTest::newRow("a file") << "file" << 0600 << false;
    QTest::newRow("nothing there") << "missing" << 0700 << false;
    QTest::newRow("no path at all") << "empty" << 0700 << false;
}

void TestPrivateFolder::judgesOwnerKindAndMode()
{
    QFETCH(QString, kind);
    QFETCH(int, mode);
    QFETCH(bool, isPrivate);

    const QString base = orbisk::test::scratchDir(QStringLiteral("private"));
    const QString target = base + QStringLiteral("/target");
    QString path = target;
    if (kind == QLatin1String("file")) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind != QLatin1String("missing") && kind != QLatin1String("empty")) {
        QVERIFY(QDir().mkpath(target));
    }
    if (QFileInfo::exists(target))
        QCOMPARE(::chmod(QFile::encodeName(target).constData(), mode_t(mode)), 0);
    if (kind == QLatin1String("link")) {
        path = base + QStringLiteral("/link");
        QVERIFY(QFile::link(target, path));
    }
    if (kind == QLatin1String("empty"))
        path.clear();

    QCOMPARE(orbisk::platform::isPrivateFolder(path), isPrivate);
    if (QFileInfo::exists(target))
        ::chmod(QFile::encodeName(target).constData(), 0700);
}

void TestPrivateFolder::folderOfAnotherUserIsNotPrivate()
{
    if (::geteuid() != 0)
        QSKIP("giving a folder to another user needs root");
    const QString path = orbisk::test::scratchDir(QStringLiteral("foreign"));
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0700), 0);
    QVERIFY(orbisk::platform::isPrivateFolder(path));
    const uid_t nobody = 65534;
    QCOMPARE(::chown(QFile::encodeName(path).constData(), nobody, nobody), 0);
    QVERIFY(!orbisk::platform::isPrivateFolder(path));
}

QTEST_GUILESS_MAIN(TestPrivateFolder)
#include "TestPrivateFolder.moc"
