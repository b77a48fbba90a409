#include "core/ClientInfo.h"

#include <cstdarg>
#include <cstdio>

QString getClientVersion()
{
    return QStringLiteral("3.0.0 Build 26");
}

void logPrintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
}
