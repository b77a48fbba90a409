#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a dialog goes: its centre on the reference window's centre, 30 pixels
// higher, with every halving truncated toward zero and no clamping to the screen.
inline QPoint dialogPosition(const QRect& reference, const QSize& dialog)
{
    const int kAboveCentre = 30;
    return QPoint(reference.x() + reference.width() / 2 - dialog.width() / 2,
        reference.y() + reference.height() / 2 - dialog.height() / 2 - kAboveCentre);
}
