#pragma once

class QWidget;

namespace orbisk {

// The window the user is working in: the page window while it shows a server's page,
// otherwise the login window (null before there is one).
QWidget* currentWindow(bool isPageShown, QWidget* pageWindow, QWidget* loginWindow);

// Shows a window in front of the others: un-hidden (from the tray), un-minimised,
// raised and activated. Returns the window; null does nothing.
QWidget* bringToFront(QWidget* window);

} // namespace orbisk
