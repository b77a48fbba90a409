#pragma once

// Start at log-in on Windows: a string value under the per-user Run key,
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run. Plain Win32, no Qt.

#include <optional>
#include <string>

namespace orbisk::platform::win {

// The Run key's path below HKEY_CURRENT_USER.
inline constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The command stored for executablePath: the path with every '/' turned into '\',
// enclosed in double quotes (so blanks stay inside the program's name), then a
// blank and arguments.
std::wstring runCommand(const std::wstring& executablePath, const std::wstring& arguments);

// Whether runCommand can store executablePath so that Windows starts exactly that
// file: an absolute path with a drive letter or a UNC path, without a double quote
// (which would end the quoting) or a control character.
bool isStorableExecutablePath(const std::wstring& executablePath);

// The string stored under valueName, or nothing when the value is absent, is not
// a string, or cannot be read.
std::optional<std::wstring> readRunValue(const std::wstring& valueName);

// Stores command as a string named valueName and reads it back; true only if it
// reads back exactly. An empty valueName (the key's default value) is refused.
bool writeRunValue(const std::wstring& valueName, const std::wstring& command);

// Removes the value named valueName; true also when there was none.
bool deleteRunValue(const std::wstring& valueName);

// Registers (enabled) or unregisters executablePath to start at log-in with arguments,
// under valueName. Returns whether the registry now matches the request; an
// executable path that cannot be stored changes nothing and gives false.
bool setStartWithSystem(
    bool enabled, const std::wstring& valueName, const std::wstring& executablePath, const std::wstring& arguments);

} // namespace orbisk::platform::win
