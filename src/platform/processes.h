#pragma once

#include <QString>

namespace orbisk::platform {

// How many running processes of the whole system (all users, the caller
// included) have an executable whose file name equals fileName: whole string,
// case-sensitive, compared as UTF-8 bytes. Processes that cannot be inspected
// do not count; an empty name or an unreadable process list counts 0.
int countProcessesWithExecutableName(const QString& fileName);

// The file name this process is counted under by countProcessesWithExecutableName.
QString executableFileName();

} // namespace orbisk::platform
