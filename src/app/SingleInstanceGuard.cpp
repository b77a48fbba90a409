#include "app/SingleInstanceGuard.h"

#include "platform/processes.h"

namespace SingleInstanceGuard {

bool anotherCopyIsRunning()
{
    const QString name = orbisk::platform::executableFileName();
    return isAnotherCopy(orbisk::platform::countOwnProcessesWithExecutableName(name));
}

} // namespace SingleInstanceGuard
