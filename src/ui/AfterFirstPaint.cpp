#include "ui/AfterFirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

AfterFirstPaint::AfterFirstPaint(QWidget* widget, std::function<void()> action)
    : QObject(widget)
    , m_action(std::move(action))
{
    widget->installEventFilter(this);
}

void AfterFirstPaint::run(QWidget* widget, std::function<void()> action)
{
    new AfterFirstPaint(widget, std::move(action));
}

bool AfterFirstPaint::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // Queued behind the paint and the flush of the window's picture to the screen.
        QTimer::singleShot(0, parent(), m_action);
        deleteLater();
    }
    return QObject::eventFilter(watched, event);
}
