// The engine switches an administrator's network choices give.
#include "web/ManagedNetwork.h"

#include <QtTest>

class TestManagedNetwork : public QObject
{
    Q_OBJECT

private slots:
    void engineFlags_data();
    void engineFlags();
};

void TestManagedNetwork::engineFlags_data()
{
    QTest::addColumn<QByteArray>("current");
    QTest::addColumn<QUrl>("pac");
    QTest::addColumn<QStringList>("hosts");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("nothing managed") << QByteArray("--no-sandbox") << QUrl() << QStringList()
                                     << QByteArray("--no-sandbox");
    QTest::newRow("PAC after what was there")
        << QByteArray(" --disable-gpu ") << QUrl("http://wpad.corp.example/proxy.pac") << QStringList()
        << QByteArray("--disable-gpu --proxy-pac-url=http://wpad.corp.example/proxy.pac");
    QTest::newRow("sign-on hosts") << QByteArray() << QUrl() << QStringList{"*.corp.example", "files.example"}
                                   << QByteArray("--auth-server-whitelist=*.corp.example,files.example");
}

void TestManagedNetwork::engineFlags()
{
    QFETCH(QByteArray, current);
    QFETCH(QUrl, pac);
    QFETCH(QStringList, hosts);
    QFETCH(QByteArray, expected);

    orbisk::ManagedConfig managed;
    managed.proxyPacUrl = pac;
    if (!hosts.isEmpty())
        managed.authServerAllowlist = hosts;
    QCOMPARE(orbisk::managedEngineFlags(current, managed), expected);
}

QTEST_GUILESS_MAIN(TestManagedNetwork)
#include "test_managednetwork.moc"
