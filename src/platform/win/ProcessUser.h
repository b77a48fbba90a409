#pragma once

// The users of processes, compared with the user of this process. Plain Win32, no Qt.

#include <windows.h>

#include <string>

namespace orbisk::platform::win {

enum class ProcessUser {
    CurrentUser,
    OtherUser,
    // The process or its user cannot be read.
    Unknown,
};

// Whose process processId is, compared with the user of this process. Another user's
// process normally refuses to be opened or to show its token: what cannot be read is
// Unknown, never taken for this user's.
ProcessUser userOfProcess(DWORD processId);

// The user of this process as a SID string ("S-1-5-21-..."); empty if the system does not tell.
std::wstring currentUserSid();

} // namespace orbisk::platform::win
