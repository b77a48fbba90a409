#pragma once

#include <QString>

// Refuses a second copy of the client: another copy runs when two or more running
// processes (of any user, this one included) carry this executable's file name.
namespace SingleInstanceGuard {

// The rule itself: the count of processes with our name includes ourselves.
inline bool isAnotherCopy(int processesWithOurName)
{
    return processesWithOurName >= 2;
}

bool anotherCopyIsRunning();

} // namespace SingleInstanceGuard
