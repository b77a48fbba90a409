// The rule that decides whether the engine opens a remote-debugging port.
#include "web/RemoteDebugging.h"

#include <QtTest>

class TestRemoteDebuggingSetting : public QObject
{
    Q_OBJECT

private slots:
    void decide_data();
    void decide();
    void administratorRefusesBoth();
};

void TestRemoteDebuggingSetting::decide_data()
{
    QTest::addColumn<QByteArray>("portValue");
    QTest::addColumn<QByteArray>("engineValue");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<bool>("hasProblem");

    QTest::newRow("nothing asked") << QByteArray() << QByteArray() << QByteArray() << false;
    QTest::newRow("empty port") << QByteArray("") << QByteArray() << QByteArray() << false;
    QTest::newRow("port, loopback only") << QByteArray("9223") << QByteArray() << QByteArray("127.0.0.1:9223") << false;
    QTest::newRow("lowest port") << QByteArray("1") << QByteArray() << QByteArray("127.0.0.1:1") << false;
    QTest::newRow("highest port") << QByteArray("65535") << QByteArray() << QByteArray("127.0.0.1:65535") << false;
    QTest::newRow("leading zeros") << QByteArray("09223") << QByteArray() << QByteArray("127.0.0.1:9223") << false;
    QTest::newRow("engine's own setting is left as given")
        << QByteArray("9223") << QByteArray("0.0.0.0:9000") << QByteArray() << false;
    QTest::newRow("engine's own setting alone") << QByteArray() << QByteArray("9000") << QByteArray() << false;
    QTest::newRow("zero") << QByteArray("0") << QByteArray() << QByteArray() << true;
    QTest::newRow("too large") << QByteArray("65536") << QByteArray() << QByteArray() << true;
    QTest::newRow("too long") << QByteArray("000009223") << QByteArray() << QByteArray() << true;
    QTest::newRow("negative") << QByteArray("-1") << QByteArray() << QByteArray() << true;
    QTest::newRow("sign") << QByteArray("+9223") << QByteArray() << QByteArray() << true;
    QTest::newRow("blank") << QByteArray(" 9223") << QByteArray() << QByteArray() << true;
    QTest::newRow("address smuggled in") << QByteArray("0.0.0.0:9223") << QByteArray() << QByteArray() << true;
    QTest::newRow("word") << QByteArray("yes") << QByteArray() << QByteArray() << true;
}

void TestRemoteDebuggingSetting::decide()
{
    QFETCH(QByteArray, portValue);
    QFETCH(QByteArray, engineValue);
    QFETCH(QByteArray, expected);
    QFETCH(bool, hasProblem);
    const RemoteDebugging::Setting setting = RemoteDebugging::decide(portValue, engineValue);
    QCOMPARE(setting.engineValue, expected);
    QCOMPARE(!setting.sProblem.isEmpty(), hasProblem);
}

void TestRemoteDebuggingSetting::administratorRefusesBoth()
{
    const RemoteDebugging::Setting refused = RemoteDebugging::decide("9223", "9000", false);
    QVERIFY(refused.engineValue.isEmpty());
    QVERIFY(refused.isEngineCleared);
    QVERIFY(!refused.sProblem.isEmpty());
    const RemoteDebugging::Setting quiet = RemoteDebugging::decide({}, {}, false);
    QVERIFY(!quiet.isEngineCleared);
    QVERIFY(quiet.sProblem.isEmpty());
}

QTEST_GUILESS_MAIN(TestRemoteDebuggingSetting)
#include "test_remotedebuggingsetting.moc"
