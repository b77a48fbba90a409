#pragma once

// Registration of the client to start when the user logs in to the system.

#include <QCoreApplication>
#include <QDebug>
#include <QString>

namespace orbisk::platform {

// The arguments a start at log-in passes; the client recognises such a start by their count.
inline constexpr char kStartWithSystemArguments[] = "-min -autorun";

// Registers (enabled) or unregisters the executable at executablePath to start at
// log-in under appName, replacing an earlier registration of that name. Returns
// whether the system now matches the request. Failure changes nothing else: an
// unusable appName (empty or holding a path separator), an executable path that
// cannot be stored, or an unwritable store give false. Unregistering what is not
// registered succeeds.
bool setStartWithSystem(bool enabled, const QString& appName, const QString& executablePath);

// Registers or unregisters this application, under its name and executable; a
// failure is logged. Returns whether the system now matches the request.
inline bool applyStartWithSystem(bool enabled)
{
    const bool isDone
        = setStartWithSystem(enabled, QCoreApplication::applicationName(), QCoreApplication::applicationFilePath());
    if (!isDone)
        qDebug() << "the start-with-system entry could not be changed";
    return isDone;
}

// Whether a start-at-log-in registration named appName exists.
bool isStartWithSystemRegistered(const QString& appName);

// The command line stored for executablePath: the program quoted for the store's
// rules, then a blank and kStartWithSystemArguments.
QString startWithSystemCommand(const QString& executablePath);

} // namespace orbisk::platform
