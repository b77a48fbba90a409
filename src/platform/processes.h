#pragma once

#include <QString>

namespace orbisk::platform {

// How many running processes of the caller's own (the caller included) have an
// executable whose file name equals fileName: whole string, case-sensitive. Own means
// of the caller's session on Windows (compared in UTF-16) and of the caller's user,
// by real user id, on Linux (compared as UTF-8 bytes): on a terminal server, or with
// fast user switching, other people's copies do not count. Processes that cannot be
// inspected do not count; an empty name or an unreadable process list counts 0.
int countOwnProcessesWithExecutableName(const QString& fileName);

// The file name this process is counted under by countOwnProcessesWithExecutableName.
QString executableFileName();

} // namespace orbisk::platform
