// An action waits for a window's first paint, runs after it and only once, and never
// runs for a window that went before it was painted.
#include "ui/AfterFirstPaint.h"

#include <QtTest>

namespace {
// Notes into a shared log when it paints.
class LoggingWidget : public QWidget
{
public:
    explicit LoggingWidget(QStringList* pLog)
        : m_pLog(pLog)
    { }

protected:
    void paintEvent(QPaintEvent*) override { m_pLog->append(QStringLiteral("paint")); }

private:
    QStringList* m_pLog;
};
} // namespace

class TestAfterFirstPaint : public QObject
{
    Q_OBJECT

private slots:
    void runsOnceAfterTheFirstPaint();
    void neverRunsForAWindowGoneBeforeItsPaint();
};

void TestAfterFirstPaint::runsOnceAfterTheFirstPaint()
{
    QStringList log;
    LoggingWidget widget(&log);
    AfterFirstPaint::run(&widget, [&log] { log.append(QStringLiteral("action")); });
    QCoreApplication::processEvents();
    QVERIFY(log.isEmpty());

    widget.show();
    QTRY_VERIFY(log.contains(QStringLiteral("action")));
    QCOMPARE(log.first(), QStringLiteral("paint"));
    widget.repaint();
    QCoreApplication::processEvents();
    QCOMPARE(log.count(QStringLiteral("action")), 1);
}

void TestAfterFirstPaint::neverRunsForAWindowGoneBeforeItsPaint()
{
    bool isRun = false;
    auto* widget = new QWidget;
    AfterFirstPaint::run(widget, [&isRun] { isRun = true; });
    widget->show();
    delete widget;
    // A second window's paint proves the event loop has run past where the first would
    // have painted.
    QStringList log;
    LoggingWidget other(&log);
    other.show();
    QTRY_VERIFY(log.contains(QStringLiteral("paint")));
    QCoreApplication::processEvents();
    QVERIFY(!isRun);
}

QTEST_MAIN(TestAfterFirstPaint)
#include "test_afterfirstpaint.moc"
