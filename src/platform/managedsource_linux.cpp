// The managed configuration on Linux: the [General] section of an INI file under /etc.

#include "platform/managedsource.h"

#include <QFileInfo>
#include <QSettings>

namespace orbisk::platform {

namespace {

QString managedIniPath()
{
#ifdef ORBISK_MANAGED_INI_VARIABLE
    // Builds with the test suite let a test point the client at a file of its own; the
    // packaged client reads only the fixed path.
    const QString sOverride = qEnvironmentVariable(ORBISK_MANAGED_INI_VARIABLE);
    if (!sOverride.isEmpty())
        return sOverride;
#endif
    return QStringLiteral("/etc/orbisk-client/managed.ini");
}

} // namespace

ManagedSource readManagedIni(const QString& sPath)
{
    ManagedSource source;
    source.sLocation = sPath;
    const QFileInfo info(sPath);
    if (!info.exists())
        return source;
    if (info.size() > kMaxManagedSourceBytes) {
        source.sProblem = QStringLiteral("it is larger than %1 bytes").arg(kMaxManagedSourceBytes);
        return source;
    }
    if (!info.isFile() || !info.isReadable()) {
        source.sProblem = QStringLiteral("it cannot be read");
        return source;
    }
    const QSettings settings(sPath, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        source.sProblem = QStringLiteral("it is not an INI file");
        return source;
    }
    const QStringList keys = settings.childKeys();
    for (const QString& sKey : keys)
        source.values.insert(sKey, settings.value(sKey));
    return source;
}

ManagedSource readManagedSource()
{
    return readManagedIni(managedIniPath());
}

} // namespace orbisk::platform
