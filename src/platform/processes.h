#pragma once

#include <QString>

namespace orbisk::platform {

// How many running processes that belong to the caller, the caller included, have an
// executable whose file name equals fileName: whole string, case-sensitive. They belong
// to the caller when they run in its session on Windows (names compared in UTF-16), and
// under its real user id on Linux (names compared as UTF-8 bytes): on a terminal server,
// or with fast user switching, other people's copies do not count. Processes that cannot be
// inspected do not count; an empty name or an unreadable process list counts 0.
int countOwnProcessesWithExecutableName(const QString& fileName);

// The file name this process is counted under by countOwnProcessesWithExecutableName.
QString executableFileName();

} // namespace orbisk::platform
