#pragma once

// Internal to processes_linux.cpp; declared here so tests can walk a fake /proc.

#include <QString>

namespace orbisk::platform {

// countProcessesWithExecutableName over the process folders below procRoot,
// which is laid out like /proc.
int countProcessesWithExecutableName(const QString& fileName, const QString& procRoot);

} // namespace orbisk::platform
