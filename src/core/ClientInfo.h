#pragma once

#include <QString>

// The client's version text, shown by the about dialog and compared by the update check.
QString getClientVersion();

// A printf-style line to standard output; callers flush stdout right after it.
void logPrintf(const char* format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(1, 2);
