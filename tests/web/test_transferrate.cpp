#include "web/TransferRate.h"

#include <QtTest>

using Samples = QVector<QPair<qint64, qint64>>;
Q_DECLARE_METATYPE(Samples)

class TestTransferRate : public QObject
{
    Q_OBJECT

private slots:
    void bytesPerSecond_data();
    void bytesPerSecond();
};

void TestTransferRate::bytesPerSecond_data()
{
    QTest::addColumn<Samples>("samples");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("no sample") << Samples{} << qint64(0);
    QTest::newRow("one sample") << Samples{{0, 500}} << qint64(0);
    QTest::newRow("no time between") << Samples{{100, 0}, {100, 5000}} << qint64(0);
    QTest::newRow("steady") << Samples{{0, 0}, {500, 1000}, {1000, 2000}} << qint64(2000);
    QTest::newRow("below a second") << Samples{{0, 0}, {250, 1000}} << qint64(4000);
    QTest::newRow("large numbers") << Samples{{0, 0}, {1000, qint64(5) << 32}} << (qint64(5) << 32);
    // Only the last three seconds count: the fast start is forgotten.
    QTest::newRow("window forgets the start") << Samples{{0, 0}, {1000, 10000000}, {2000, 10001000}, {3000, 10002000},
        {4000, 10003000}, {5000, 10004000}} << qint64(1000);
    QTest::newRow("stalled") << Samples{{0, 0}, {1000, 4000}, {5000, 4000}, {9000, 4000}} << qint64(0);
    // Sparse samples: the window still spans two of them.
    QTest::newRow("samples further apart than the window") << Samples{{0, 0}, {10000, 20000}} << qint64(2000);
}

void TestTransferRate::bytesPerSecond()
{
    QFETCH(Samples, samples);
    QFETCH(qint64, expected);

    TransferRate rate;
    for (const auto& sample : samples)
        rate.addSample(sample.first, sample.second);
    QCOMPARE(rate.bytesPerSecond(), expected);
}

QTEST_GUILESS_MAIN(TestTransferRate)
#include "test_transferrate.moc"
