#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>

namespace orbisk {

// The identity under which this machine and user log in to a transfer server: a UUID
// derived (name-based, SHA-1) from the machine's id, the application key and the user,
// so it is the same at every start, differs between applications and between the users
// of one machine, and does not reveal the machine id. A machine without an id gets a
// random one, kept in the user's application-data folder so it survives restarts.
//
// Thread-safe: the value is worked out on first use and then only read.
class DeviceIdentity
{
public:
    // Where the identity comes from; injectable so tests can stand in for the system.
    struct Sources
    {
        QByteArray machineId; // the system's id of this machine; empty when it has none
        QString userKey; // tells the users of one machine apart (their home folder)
        QString storageDir; // folder of the fallback id file

        static Sources ofThisSystem();
    };

    // Name of the file in Sources::storageDir that keeps the fallback machine id.
    static const char kFallbackFileName[];

    DeviceIdentity(const QString& sAppKey, Sources sources);

    // The identity in the 8-4-4-4-12 form without braces; never empty, never changes.
    QString uuid() const;

private:
    QByteArray fallbackMachineId() const;

    const QString m_sAppKey;
    const Sources m_sources;
    mutable QMutex m_mutex;
    mutable QString m_sUuid;
};

} // namespace orbisk
