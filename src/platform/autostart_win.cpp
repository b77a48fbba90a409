// Start at log-in on Windows: a value under the per-user Run key of the registry.

#include "platform/autostart.h"

#include <QDir>
#include <QSettings>

namespace orbisk::platform {

namespace {

const QString kRunKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");

// QSettings reads both slashes as key separators, so such a name would address a subkey.
bool isUsableValueName(const QString& appName)
{
    return !appName.isEmpty() && !appName.contains(QLatin1Char('/')) && !appName.contains(QLatin1Char('\\'));
}

// The value quotes the path as a whole, so the path itself can hold no double quote.
bool isStorableExecutablePath(const QString& path)
{
    return QDir::isAbsolutePath(path) && !path.contains(QLatin1Char('"'));
}

} // namespace

QString startWithSystemCommand(const QString& executablePath)
{
    QString path = executablePath;
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return QLatin1Char('"') + path + QStringLiteral("\" ") + QLatin1String(kStartWithSystemArguments);
}

bool setStartWithSystem(bool enabled, const QString& appName, const QString& executablePath)
{
    if (!isUsableValueName(appName) || (enabled && !isStorableExecutablePath(executablePath)))
        return false;
    QSettings runKey(kRunKey, QSettings::NativeFormat);
    const QString command = startWithSystemCommand(executablePath);
    if (enabled)
        runKey.setValue(appName, command);
    else
        runKey.remove(appName);
    runKey.sync();
    if (runKey.status() != QSettings::NoError)
        return false;
    return enabled ? runKey.value(appName).toString() == command : !runKey.contains(appName);
}

bool isStartWithSystemRegistered(const QString& appName)
{
    return isUsableValueName(appName) && QSettings(kRunKey, QSettings::NativeFormat).contains(appName);
}

} // namespace orbisk::platform
