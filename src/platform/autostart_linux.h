#pragma once

// Internal to autostart_linux.cpp; declared here so tests can check the entry's text.

#include <QByteArray>
#include <QString>

namespace orbisk::platform {

// A desktop entry's string value: '\' doubled, line feed, tab and carriage return
// written as \n, \t, \r.
QString desktopStringEscape(const QString& value);

// One argument of a desktop entry's Exec key: enclosed in double quotes with
// '"', '`', '$' and '\' escaped by a backslash, then, since Exec is a string
// value, escaped again for strings ('\' doubled, line feed, tab and carriage
// return as \n, \t, \r) and '%' doubled so that it starts no field code.
QString desktopExecQuote(const QString& argument);

// The whole XDG autostart entry that runs executablePath with the start-at-log-in
// arguments. Its TryExec names the executable too, so that once the program has been
// removed (a package uninstalled) the desktop skips the entry instead of failing to start it.
QByteArray autostartDesktopEntry(const QString& executablePath);

} // namespace orbisk::platform
