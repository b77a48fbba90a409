// Start at log-in on Windows: converts to the Qt-free Run key code in win/.

#include "platform/autostart.h"
#include "platform/win/RunKey.h"

namespace orbisk::platform {

namespace {

std::wstring startArguments()
{
    return QString::fromLatin1(kStartWithSystemArguments).toStdWString();
}

} // namespace

QString startWithSystemCommand(const QString& executablePath)
{
    return QString::fromStdWString(win::runCommand(executablePath.toStdWString(), startArguments()));
}

bool setStartWithSystem(bool enabled, const QString& appName, const QString& executablePath)
{
    return win::setStartWithSystem(enabled, appName.toStdWString(), executablePath.toStdWString(), startArguments());
}

bool isStartWithSystemRegistered(const QString& appName)
{
    return win::readRunValue(appName.toStdWString()).has_value();
}

} // namespace orbisk::platform
