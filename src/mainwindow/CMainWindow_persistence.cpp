// CMainWindow: the settings file, the start-with-system entry and the server list file.
#include "mainwindow/CMainWindow.h"

#include "platform/autostart.h"
#include "servers/ServerBook.h"
#include "storage/AppPaths.h"

#include <QDebug>

void CMainWindow::readSettings()
{
    AppPaths::ensureDataDir();
    m_settings = ClientSettings::read(AppPaths::settingsFile());
}

void CMainWindow::writeSettings()
{
    AppPaths::ensureDataDir();
    if (!m_settings.write(AppPaths::settingsFile()))
        qDebug() << "writeSettings: could not write" << AppPaths::settingsFile();
}

void CMainWindow::updateAutoStart()
{
    orbisk::platform::applyStartWithSystem(isAutoStart());
}

void CMainWindow::readServerList()
{
    m_pServerBook->load();
}
