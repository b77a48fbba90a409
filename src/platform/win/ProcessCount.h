#pragma once

// Process counting for the single-instance guard, over a Toolhelp snapshot of
// every process of the system. Plain Win32, no Qt.

#include <string>

namespace orbisk::platform::win {

// How many running processes of the whole system (all users, the caller included)
// run an executable whose file name, without folder, equals exeFileName: whole
// string, case-sensitive, compared as UTF-16 so that names outside ASCII match too.
// An empty name or a snapshot that cannot be read counts 0.
int countProcessesByExecutableName(const std::wstring& exeFileName);

// The file name, without folder, of this process's executable, as the snapshot
// lists it; empty if the system does not tell.
std::wstring ownExecutableFileName();

} // namespace orbisk::platform::win
