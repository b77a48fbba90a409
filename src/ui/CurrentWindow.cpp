#include "ui/CurrentWindow.h"

#include <QWidget>

namespace orbisk {

QWidget* currentWindow(bool isPageShown, QWidget* pageWindow, QWidget* loginWindow)
{
    return isPageShown ? pageWindow : loginWindow;
}

QWidget* bringToFront(QWidget* window)
{
    if (!window)
        return nullptr;
    // Shown first: a hidden window can be neither raised nor activated.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace orbisk
