#include "TestEnvironment.h"

#include "app/Resources.h"

#include <QDir>
#include <QStandardPaths>

namespace orbisk::test {

void prepareTestEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
    static bool registered = false;
    if (!registered) {
        initResources();
        registered = true;
    }
    QDir(appDataDir()).removeRecursively();
}

QString appDataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString clientExecutable()
{
    return qEnvironmentVariable("ORBISK_CLIENT_EXECUTABLE");
}

QString scratchDir(const QString& name)
{
    QString base = qEnvironmentVariable("ORBISK_TEST_HOME");
    if (base.isEmpty())
        base = QDir::tempPath();
    const QString path = base + QStringLiteral("/scratch/") + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

} // namespace orbisk::test
