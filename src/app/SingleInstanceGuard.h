#pragma once

#include <QString>

// Refuses a second copy of the client: another copy runs when two or more running
// processes of this user (on Windows, of this session), this one included, carry this
// executable's file name. Other people's copies on the same computer (a terminal server,
// fast user switching) do not count: each user runs a client of their own.
namespace SingleInstanceGuard {

// The rule itself: the count of processes with our name includes ourselves.
inline bool isAnotherCopy(int processesWithOurName)
{
    return processesWithOurName >= 2;
}

bool anotherCopyIsRunning();

} // namespace SingleInstanceGuard
