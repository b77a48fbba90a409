#include "mainwindow/ClientSettings.h"

#include <QSettings>

namespace {
const QString kLanguage = QStringLiteral("Language");
const QString kAutoStart = QStringLiteral("AutoStart");
const QString kMiniTray = QStringLiteral("MiniTray");
} // namespace

ClientSettings ClientSettings::read(const QString& path)
{
    const ClientSettings defaults;
    const QSettings ini(path, QSettings::IniFormat);
    ClientSettings settings;
    settings.language = ini.value(kLanguage, defaults.language).toInt();
    settings.autoStart = ini.value(kAutoStart, defaults.autoStart).toBool();
    settings.miniTray = ini.value(kMiniTray, defaults.miniTray).toBool();
    return settings;
}

bool ClientSettings::write(const QString& path) const
{
    QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        return false;
    ini.setValue(kLanguage, language);
    ini.setValue(kAutoStart, autoStart);
    ini.setValue(kMiniTray, miniTray);
    ini.sync();
    return ini.status() == QSettings::NoError;
}
