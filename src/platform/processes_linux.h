#pragma once

// Internal to processes_linux.cpp; declared here so tests can walk a fake /proc.

#include <QString>

#include <sys/types.h>

namespace orbisk::platform {

// countOwnProcessesWithExecutableName over the process folders below procRoot, which
// is laid out like /proc, counting the processes whose real user id is user.
int countOwnProcessesWithExecutableName(const QString& fileName, const QString& procRoot, uid_t user);

} // namespace orbisk::platform
