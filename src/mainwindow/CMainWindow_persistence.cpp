// CMainWindow: the settings file, the start-with-system entry and the server list file.
#include "mainwindow/CMainWindow.h"

#include "mainwindow/AppPaths.h"
#include "mainwindow/ClientSettings.h"
#include "mainwindow/ServerListFile.h"
#include "platform/autostart.h"

#include <QCoreApplication>
#include <QDebug>

void CMainWindow::readSettings()
{
    AppPaths::ensureDataDir();
    const ClientSettings settings = ClientSettings::read(AppPaths::settingsFile());
    m_iLanguage = settings.language;
    m_isAutoStart = settings.autoStart;
    m_isMiniTray = settings.miniTray;
}

void CMainWindow::writeSettings()
{
    AppPaths::ensureDataDir();
    ClientSettings settings;
    settings.language = m_iLanguage;
    settings.autoStart = m_isAutoStart;
    settings.miniTray = m_isMiniTray;
    if (!settings.write(AppPaths::settingsFile()))
        qDebug() << "writeSettings: could not write" << AppPaths::settingsFile();
}

void CMainWindow::updateAutoStart()
{
    if (!orbisk::platform::setStartWithSystem(
            m_isAutoStart, QCoreApplication::applicationName(), QCoreApplication::applicationFilePath()))
        qDebug() << "updateAutoStart: the start-with-system entry could not be changed";
}

void CMainWindow::readServerList()
{
    m_vecServer += ServerListFile::read(AppPaths::serverListFile());
}

void CMainWindow::writeServerList()
{
    AppPaths::ensureDataDir();
    if (!ServerListFile::write(AppPaths::serverListFile(), m_vecServer))
        qDebug() << "writeServerList: could not write" << AppPaths::serverListFile();
}
