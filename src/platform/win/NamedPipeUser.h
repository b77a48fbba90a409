#pragma once

// Named pipes and the users they belong to. Pipe names are one namespace for the
// whole machine, across users and login sessions, and anybody may create a pipe
// under any free name, so a client checks whose process serves a pipe before it
// writes to it. Plain Win32, no Qt.

#include <windows.h>

#include <string>

namespace orbisk::platform::win {

enum class PipeServerUser {
    CurrentUser,
    OtherUser,
    // The pipe, its server process or the process's user cannot be read.
    Unknown,
};

// Whose process serves the pipe that the client handle pipe is connected to,
// compared with the user of this process.
PipeServerUser pipeServerUser(HANDLE pipe);

// The user of this process as a SID string ("S-1-5-21-..."); empty if the system does not tell.
std::wstring currentUserSid();

// A pipe name of this user in this login session alone: baseName, the user's SID
// and the session's number. Empty when the SID or the session cannot be read.
std::wstring privatePipeName(const std::wstring& baseName);

} // namespace orbisk::platform::win
