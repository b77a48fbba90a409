// Process counting on Windows: a Toolhelp snapshot of every process of the system.

#include "platform/processes.h"

#include <QCoreApplication>

#include <windows.h>

#include <tlhelp32.h>

namespace orbisk::platform {

namespace {

// A snapshot entry's file name in the ANSI code page; empty if it cannot be converted.
QByteArray toAnsiCodePage(const wchar_t* name)
{
    const int size = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    QByteArray converted(size, '\0');
    if (WideCharToMultiByte(CP_ACP, 0, name, -1, converted.data(), size, nullptr, nullptr) != size)
        return {};
    converted.chop(1); // the terminating NUL written by the conversion
    return converted;
}

} // namespace

// Only names that read the same in the ANSI code page and in UTF-8 (plain
// ASCII names) are matched reliably; that is the comparison the guard relies on.
int countProcessesWithExecutableName(const QString& fileName)
{
    const QByteArray wanted = fileName.toUtf8();
    if (wanted.isEmpty())
        return 0;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = static_cast<DWORD>(sizeof entry);
    int count = 0;
    // A first entry that cannot be read leaves the count at 0.
    if (Process32FirstW(snapshot, &entry)) {
        do {
            if (toAnsiCodePage(entry.szExeFile) == wanted)
                ++count;
        } while (Process32NextW(snapshot, &entry));
    }
    CloseHandle(snapshot);
    return count;
}

// The application name is the executable's base name; the snapshot lists it with its extension.
QString executableFileName()
{
    return QCoreApplication::applicationName() + QStringLiteral(".exe");
}

} // namespace orbisk::platform
