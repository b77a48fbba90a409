// Process counting on Windows: converts to the Qt-free snapshot walk in win/.

#include "platform/processes.h"
#include "platform/win/ProcessCount.h"

#include <QCoreApplication>

namespace orbisk::platform {

// Without its own session this process cannot tell its copies from other people's, and
// counts none: a second copy of this user may then start, rather than none at all.
int countOwnProcessesWithExecutableName(const QString& fileName)
{
    const std::optional<DWORD> session = win::currentSessionId();
    return session ? win::countSessionProcessesByExecutableName(fileName.toStdWString(), *session) : 0;
}

// The snapshot lists the file name as it is on disk, which may differ in letter
// case from the application name Qt derives from it.
QString executableFileName()
{
    const std::wstring own = win::ownExecutableFileName();
    if (own.empty())
        return QCoreApplication::applicationName() + QStringLiteral(".exe");
    return QString::fromStdWString(own);
}

} // namespace orbisk::platform
