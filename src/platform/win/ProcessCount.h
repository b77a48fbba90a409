#pragma once

// Process counting for the single-instance guard, over a Toolhelp snapshot of
// every process of the system. Plain Win32, no Qt.

#include <windows.h>

#include <optional>
#include <string>

namespace orbisk::platform::win {

// How many running processes of the Remote Desktop session sessionId (the caller
// included, when it runs there) run an executable whose file name, without folder,
// equals exeFileName: whole string, case-sensitive, compared as UTF-16 so that names
// outside ASCII match too. A process whose session the system does not tell (one of
// another user, whom this one may not query) does not count. An empty name or a
// snapshot that cannot be read counts 0.
int countSessionProcessesByExecutableName(const std::wstring& exeFileName, DWORD sessionId);

// The session this process runs in; none if the system does not tell.
std::optional<DWORD> currentSessionId();

// The file name, without folder, of this process's executable, as the snapshot
// lists it; empty if the system does not tell.
std::wstring ownExecutableFileName();

} // namespace orbisk::platform::win
