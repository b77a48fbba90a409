#include "storage/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace AppPaths {

QString dataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

bool ensureDataDir()
{
    return QDir().mkpath(dataDir());
}

QString settingsFile()
{
    return dataDir() + QLatin1Char('/') + QCoreApplication::applicationName() + QStringLiteral(".ini");
}

QString serverListFile()
{
    return dataDir() + QStringLiteral("/ServerConfig.xml");
}

QString trustedCertificatesFile()
{
    return dataDir() + QStringLiteral("/TrustedCertificates.json");
}

QString permissionsFile()
{
    return dataDir() + QStringLiteral("/Permissions.json");
}

} // namespace AppPaths
