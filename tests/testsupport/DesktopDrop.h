#pragma once

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace orbisk::test {

// Enter, move and drop on the widget's centre, as a drag from the desktop arrives.
// Without the move a page never sees a dragover it could cancel, and the engine opens
// the dropped file instead.
inline void sendDesktopDrop(QWidget* target, QMimeData* mimeData)
{
    const QPoint centre = target->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, mimeData, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(centre, Qt::CopyAction, mimeData, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(centre, Qt::CopyAction, mimeData, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

} // namespace orbisk::test
