#include "mainwindow/StartPresentation.h"

#include <QtTest>

class TestStartPresentation : public QObject
{
    Q_OBJECT

private slots:
    void argumentCount_data();
    void argumentCount();
};

void TestStartPresentation::argumentCount_data()
{
    QTest::addColumn<int>("argumentCount");
    QTest::addColumn<bool>("miniTray");
    QTest::addColumn<bool>("browserMode");
    QTest::addColumn<bool>("showLogin");
    QTest::addColumn<bool>("delayedLogin");

    QTest::newRow("plain start") << 1 << true << false << true << true;
    QTest::newRow("one argument: browser mode, nothing else") << 2 << true << true << false << false;
    QTest::newRow("one argument, tray off") << 2 << false << true << false << false;
    QTest::newRow("start with the system, tray on: stays in the tray, still connects")
        << 3 << true << false << false << true;
    QTest::newRow("two arguments, tray off: shows the login window") << 3 << false << false << true << true;
    QTest::newRow("three arguments") << 4 << true << false << true << true;
    QTest::newRow("no program path at all") << 0 << true << false << true << true;
}

void TestStartPresentation::argumentCount()
{
    QFETCH(int, argumentCount);
    QFETCH(bool, miniTray);
    QFETCH(bool, browserMode);
    QFETCH(bool, showLogin);
    QFETCH(bool, delayedLogin);

    const StartPresentation presentation = StartPresentation::forArguments(argumentCount, miniTray);
    QCOMPARE(presentation.browserMode, browserMode);
    QCOMPARE(presentation.showLoginWindow, showLogin);
    QCOMPARE(presentation.startDelayedLogin, delayedLogin);
}

QTEST_APPLESS_MAIN(TestStartPresentation)
#include "test_startpresentation.moc"
