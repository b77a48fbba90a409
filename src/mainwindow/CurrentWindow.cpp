#include "mainwindow/CurrentWindow.h"

#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"

QWidget* currentWindow(CMainWindow& window)
{
    if (window.m_isPageShown)
        return &window;
    return window.m_pLoginUI;
}

QWidget* bringCurrentWindowToFront(CMainWindow& window)
{
    QWidget* target = currentWindow(window);
    if (!target)
        return nullptr;
    // Shown first: a hidden window can be neither raised nor activated.
    target->setWindowState(target->windowState() & ~Qt::WindowMinimized);
    target->show();
    target->raise();
    target->activateWindow();
    return target;
}
