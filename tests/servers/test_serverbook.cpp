// The server book with servers an administrator manages: their place, their default,
// and that nothing the user does changes them or writes them into the user's file.
#include "servers/ServerBook.h"
#include "servers/ServerListFile.h"

#include "TestEnvironment.h"

#include <QSignalSpy>
#include <QtTest>

using orbisk::ServerBook;

namespace {
const ServerEntry kCompany{QStringLiteral("Company"), QStringLiteral("https://files.company.example"), false};
const ServerEntry kBranch{QStringLiteral("Branch"), QStringLiteral("https://branch.company.example"), false};
const ServerEntry kMine{QStringLiteral("Mine"), QStringLiteral("https://mine.example"), false};

ServerEntry asDefault(ServerEntry entry)
{
    entry.isDefault = true;
    return entry;
}
} // namespace

class TestServerBook : public QObject
{
    Q_OBJECT

    QString m_sPath;

private slots:
    void initTestCase()
    {
        orbisk::test::prepareTestEnvironment();
        m_sPath = QDir::temp().filePath(QStringLiteral("ServerConfig.xml"));
    }
    void init() { QFile::remove(m_sPath); }
    void defaultInEffect_data();
    void defaultInEffect();
    void managedServersStayTheAdministrators();
    void noServersOfTheUsersOwn();
};

void TestServerBook::defaultInEffect_data()
{
    QTest::addColumn<ServerList>("user");
    QTest::addColumn<bool>("isLocked");
    QTest::addColumn<QString>("expected");

    QTest::newRow("managed default alone") << ServerList{kMine} << false << kBranch.url;
    QTest::newRow("the user's own default wins") << ServerList{asDefault(kMine)} << false << kMine.url;
    QTest::newRow("locked: the managed default") << ServerList{asDefault(kMine)} << true << kBranch.url;
    QTest::newRow("the user's default is a managed server")
        << ServerList{asDefault(kCompany), kMine} << false << kBranch.url;
}

void TestServerBook::defaultInEffect()
{
    QFETCH(ServerList, user);
    QFETCH(bool, isLocked);
    QFETCH(QString, expected);

    QVERIFY(ServerListFile::write(m_sPath, user));
    ServerBook book(m_sPath);
    book.load();
    book.setManaged({kCompany, kBranch}, kBranch.url, isLocked, true);
    QCOMPARE(book.defaultServer()->url, expected);
    // A locked default does not move, whatever the user ticks.
    book.setDefault(kCompany.url, true);
    book.setDefault(kMine.url, true);
    QCOMPARE(book.defaultServer()->url, isLocked ? kBranch.url : kMine.url);
}

void TestServerBook::managedServersStayTheAdministrators()
{
    QVERIFY(ServerListFile::write(m_sPath, {kMine, kCompany}));
    ServerBook book(m_sPath);
    book.load();
    book.setManaged({kCompany}, QString(), false, true);
    // First, once, and the user's own after them.
    QCOMPARE(book.servers(), (ServerList{kCompany, kMine}));
    QVERIFY(book.isManaged(kCompany.url));

    QSignalSpy removed(&book, &ServerBook::serverRemoved);
    QVERIFY(!book.remove(kCompany.url));
    QVERIFY(!book.add(kCompany));
    QVERIFY(book.add(kBranch));
    QCOMPARE(removed.count(), 0);
    // The user's file holds the user's servers only, as they were plus the one added.
    QCOMPARE(ServerListFile::read(m_sPath), (ServerList{kMine, kCompany, kBranch}));
}

void TestServerBook::noServersOfTheUsersOwn()
{
    QVERIFY(ServerListFile::write(m_sPath, {asDefault(kMine)}));
    ServerBook book(m_sPath);
    book.load();
    book.setManaged({kCompany}, kCompany.url, false, false);
    QCOMPARE(book.servers(), ServerList{asDefault(kCompany)});
    QVERIFY(!book.add(kBranch));
    QVERIFY(!book.remove(kMine.url));
    // Hidden, not lost.
    QCOMPARE(ServerListFile::read(m_sPath), ServerList{asDefault(kMine)});
}

QTEST_GUILESS_MAIN(TestServerBook)
#include "test_serverbook.moc"
