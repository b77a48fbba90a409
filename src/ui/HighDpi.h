#pragma once

#include <QString>

class QPixmap;

namespace orbisk {

// Lays every window out in device-independent pixels scaled to the screen (200 % on a
// 192 DPI screen) and lets images carry more pixels than their layout size. Must run
// before the application object exists.
void enableHighDpiScaling();

// An image resource as a pixmap for the screens' scale, at its own size in layout
// pixels: on a screen that needs more pixels its "@2x" rendering beside it is used.
QPixmap imagePixmap(const QString& path);

} // namespace orbisk
