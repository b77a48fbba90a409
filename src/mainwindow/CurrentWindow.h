#pragma once

class CMainWindow;
class QWidget;

// The window the user is working in: the main window while it shows a server's page,
// otherwise the login window. Null before the login window is handed over.
QWidget* currentWindow(CMainWindow& window);

// Shows the current window in front of the others: un-hidden (from the tray),
// un-minimised, raised and activated. Returns that window.
QWidget* bringCurrentWindowToFront(CMainWindow& window);
