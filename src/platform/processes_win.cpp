// Process counting on Windows: converts to the Qt-free snapshot walk in win/.

#include "platform/processes.h"
#include "platform/win/ProcessCount.h"

#include <QCoreApplication>

namespace orbisk::platform {

int countProcessesWithExecutableName(const QString& fileName)
{
    return win::countProcessesByExecutableName(fileName.toStdWString());
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
