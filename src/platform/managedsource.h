#pragma once

// The managed configuration as the system holds it: machine-wide values that an
// administrator sets and users cannot change. On Linux the [General] section of
// /etc/orbisk-client/managed.ini, on Windows the values under
// HKEY_LOCAL_MACHINE\Software\Policies\Orbisk\Client. Only read here; what the
// values mean is decided by orbisk::ManagedConfig.

#include <QString>
#include <QVariantMap>

namespace orbisk::platform {

// A larger source is not read at all.
inline constexpr qint64 kMaxManagedSourceBytes = 1024 * 1024;

struct ManagedSource
{
    // Where the values were looked for, for the log.
    QString sLocation;
    // By key: a QString (a REG_SZ or REG_EXPAND_SZ value, an INI value), a QStringList
    // (a REG_MULTI_SZ value, an INI list) or a uint (a REG_DWORD value). A value of any
    // other registry type is kept as a QByteArray, so the rules can name its key and
    // refuse it.
    QVariantMap values;
    // Why nothing could be read (unreadable, over kMaxManagedSourceBytes); empty when the
    // source was read or is not there.
    QString sProblem;
};

// Reads the system's managed configuration. Absent: no values and no problem.
ManagedSource readManagedSource();

#ifndef Q_OS_WIN
// The [General] section of the INI file at sPath, as readManagedSource reads it.
ManagedSource readManagedIni(const QString& sPath);
#endif

} // namespace orbisk::platform
