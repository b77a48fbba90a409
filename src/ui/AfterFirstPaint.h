#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Runs an action once a widget has painted for the first time: from the event loop after
// that paint, never inside it. Work that holds the GUI thread for long waits this way
// until a window the user is waiting for is on the screen. Nothing runs should the widget
// go before it paints.
class AfterFirstPaint : public QObject
{
    Q_OBJECT

public:
    static void run(QWidget* widget, std::function<void()> action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AfterFirstPaint(QWidget* widget, std::function<void()> action);

    std::function<void()> m_action;
};
