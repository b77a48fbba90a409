// Start at log-in on Linux: an XDG autostart desktop entry in the user's configuration folder.

#include "platform/autostart_linux.h"

#include "platform/autostart.h"
#include "storage/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace orbisk::platform {

namespace {

bool isUsableFileName(const QString& appName)
{
    return !appName.isEmpty() && appName != QLatin1String(".") && appName != QLatin1String("..")
        && !appName.contains(QLatin1Char('/')) && !appName.contains(QChar(0));
}

// A string value may hold no control characters; those with string escapes are fine.
// The path must also survive the UTF-8 encoding of the file unchanged.
bool isStorableExecutablePath(const QString& path)
{
    const bool hasBareControl = std::any_of(path.begin(), path.end(), [](QChar c) {
        return (c.unicode() < 0x20 || c.unicode() == 0x7f) && c != QLatin1Char('\n') && c != QLatin1Char('\t')
            && c != QLatin1Char('\r');
    });
    return QDir::isAbsolutePath(path) && !hasBareControl && QString::fromUtf8(path.toUtf8()) == path;
}

QString autostartFolder()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config.isEmpty() ? QString() : config + QStringLiteral("/autostart");
}

QString autostartFilePath(const QString& appName)
{
    const QString folder = autostartFolder();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + appName + QStringLiteral(".desktop");
}

bool hasContent(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == content;
}

} // namespace

QString desktopStringEscape(const QString& value)
{
    QString escaped;
    escaped.reserve(value.size() + 8);
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            escaped += QLatin1String("\\\\");
            break;
        case '\n':
            escaped += QLatin1String("\\n");
            break;
        case '\t':
            escaped += QLatin1String("\\t");
            break;
        case '\r':
            escaped += QLatin1String("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString desktopExecQuote(const QString& argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    return desktopStringEscape(quoted).replace(QLatin1Char('%'), QLatin1String("%%"));
}

QString startWithSystemCommand(const QString& executablePath)
{
    return desktopExecQuote(executablePath) + QLatin1Char(' ') + QLatin1String(kStartWithSystemArguments);
}

QByteArray autostartDesktopEntry(const QString& executablePath)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Orbisk Client\n"
                                        "Comment=Start Orbisk Client in the notification area\n"
                                        "TryExec=")
        + desktopStringEscape(executablePath) + QStringLiteral("\nExec=") + startWithSystemCommand(executablePath)
        + QStringLiteral("\n"
                         "Icon=orbisk-client\n"
                         "Terminal=false\n"
                         "X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

// An entry that already reads as wanted is left alone: the client refreshes its
// registration at every start, and rewriting would only churn the file.
bool setStartWithSystem(bool enabled, const QString& appName, const QString& executablePath)
{
    if (!isUsableFileName(appName))
        return false;
    const QString path = autostartFilePath(appName);
    if (path.isEmpty())
        return false;
    if (!enabled)
        return QFile::remove(path) || !QFileInfo::exists(path);

    if (!isStorableExecutablePath(executablePath) || !QDir().mkpath(autostartFolder()))
        return false;
    const QByteArray entry = autostartDesktopEntry(executablePath);
    return hasContent(path, entry) || AtomicFile::write(path, entry);
}

bool isStartWithSystemRegistered(const QString& appName)
{
    if (!isUsableFileName(appName))
        return false;
    const QString path = autostartFilePath(appName);
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace orbisk::platform
