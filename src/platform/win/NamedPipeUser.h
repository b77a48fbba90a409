#pragma once

// Named pipes and the users they belong to. Pipe names are one namespace for the
// whole machine, across users and login sessions, and anybody may create a pipe
// under any free name, so a client checks whose process serves a pipe before it
// writes to it. Plain Win32, no Qt.

#include "platform/win/ProcessUser.h"

#include <windows.h>

#include <string>

namespace orbisk::platform::win {

// Whose process serves the pipe that the client handle pipe is connected to,
// compared with the user of this process; Unknown also when pipe is no pipe client.
ProcessUser pipeServerUser(HANDLE pipe);

// A pipe name of this user in this login session alone: baseName, the user's SID
// and the session's number. Empty when the SID or the session cannot be read.
std::wstring privatePipeName(const std::wstring& baseName);

} // namespace orbisk::platform::win
