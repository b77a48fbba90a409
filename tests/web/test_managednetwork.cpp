// The engine switches an administrator's network choices give.
#include "web/ManagedNetwork.h"

#include <QFile>
#include <QLibraryInfo>
#include <QtTest>

class TestManagedNetwork : public QObject
{
    Q_OBJECT

private slots:
    void engineFlags_data();
    void engineFlags();
    void installedEngineKnowsTheSignOnSwitch();
};

void TestManagedNetwork::engineFlags_data()
{
    QTest::addColumn<QByteArray>("current");
    QTest::addColumn<QUrl>("pac");
    QTest::addColumn<QStringList>("hosts");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QStringList>("servers");

    QTest::newRow("nothing managed") << QByteArray("--no-sandbox") << QUrl() << QStringList()
                                     << QByteArray("--no-sandbox") << QStringList();
    QTest::newRow("PAC after what was there")
        << QByteArray(" --disable-gpu ") << QUrl("http://wpad.corp.example/proxy.pac") << QStringList()
        << QByteArray("--disable-gpu --proxy-pac-url=http://wpad.corp.example/proxy.pac") << QStringList();
    QTest::newRow("sign-on hosts") << QByteArray() << QUrl() << QStringList{"*.corp.example", "files.example"}
                                   << QByteArray("--auth-server-whitelist=*.corp.example,files.example")
                                   << QStringList();
    // Without an administrator's list, the hosts of the servers at start, each once.
    QTest::newRow("servers' hosts") << QByteArray("--x") << QUrl() << QStringList()
                                    << QByteArray("--x --auth-server-whitelist=a.example,b.example")
                                    << QStringList{"a.example", "b.example", "a.example", ""};
    QTest::newRow("the administrator's list wins")
        << QByteArray() << QUrl() << QStringList{"*.corp.example"}
        << QByteArray("--auth-server-whitelist=*.corp.example") << QStringList{"a.example"};
}

void TestManagedNetwork::engineFlags()
{
    QFETCH(QByteArray, current);
    QFETCH(QUrl, pac);
    QFETCH(QStringList, hosts);
    QFETCH(QByteArray, expected);
    QFETCH(QStringList, servers);

    orbisk::ManagedConfig managed;
    managed.proxyPacUrl = pac;
    if (!hosts.isEmpty())
        managed.authServerAllowlist = hosts;
    QCOMPARE(orbisk::engineFlags(current, managed, servers), expected);
}

// The engine installed here knows the sign-on switch the client sets; an engine that
// renamed it would quietly ignore the list.
void TestManagedNetwork::installedEngineKnowsTheSignOnSwitch()
{
    QFile engine(QLibraryInfo::location(QLibraryInfo::LibrariesPath) + QStringLiteral("/libQt5WebEngineCore.so.5"));
    QVERIFY2(engine.open(QIODevice::ReadOnly), qPrintable(engine.fileName()));
    QVERIFY(engine.readAll().contains(QByteArray("auth-server-whitelist") + '\0'));
}

QTEST_GUILESS_MAIN(TestManagedNetwork)
#include "test_managednetwork.moc"
