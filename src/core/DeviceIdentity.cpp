#include "core/DeviceIdentity.h"

#include "storage/AtomicFile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QSysInfo>
#include <QUuid>

namespace orbisk {

namespace {
// Namespace of the name-based identities; fixed forever, or every device changes identity.
const QUuid kIdentityNamespace(QStringLiteral("cbcfcbe3-5a42-4238-adf4-b4e436161f6f"));

// A UUID file holds one line of 36 characters (38 with braces); anything much longer is not one.
const qint64 kMaxFallbackFileSize = 128;

QUuid parseStoredId(const QByteArray& content)
{
    const QByteArray text = content.trimmed();
    if (text.size() != 36 && text.size() != 38)
        return {};
    return QUuid::fromString(QLatin1String(text));
}
} // namespace

const char DeviceIdentity::kFallbackFileName[] = "device-id";

DeviceIdentity::Sources DeviceIdentity::Sources::ofThisSystem()
{
    return {QSysInfo::machineUniqueId(), QDir::homePath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)};
}

DeviceIdentity::DeviceIdentity(const QString& sAppKey, Sources sources)
    : m_sAppKey(sAppKey)
    , m_sources(std::move(sources))
{ }

QString DeviceIdentity::uuid() const
{
    QMutexLocker locker(&m_mutex);
    if (m_sUuid.isEmpty()) {
        const QByteArray machineId = m_sources.machineId.isEmpty() ? fallbackMachineId() : m_sources.machineId;
        // Each part is framed by its length, so no two different inputs make the same name.
        QByteArray name;
        for (const QByteArray& part : {machineId, m_sAppKey.toUtf8(), m_sources.userKey.toUtf8()})
            name += QByteArray::number(part.size()) + ':' + part + '\n';
        m_sUuid = QUuid::createUuidV5(kIdentityNamespace, name).toString(QUuid::WithoutBraces);
    }
    return m_sUuid;
}

QByteArray DeviceIdentity::fallbackMachineId() const
{
    const QByteArray fresh = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    if (m_sources.storageDir.isEmpty()) {
        qWarning() << "DeviceIdentity: no application-data folder; the device id holds for this run only";
        return fresh;
    }

    const QString sPath = m_sources.storageDir + QLatin1Char('/') + QLatin1String(kFallbackFileName);
    QFile file(sPath);
    if (file.open(QIODevice::ReadOnly)) {
        const QUuid stored = parseStoredId(file.read(kMaxFallbackFileSize));
        if (!stored.isNull())
            return stored.toByteArray(QUuid::WithoutBraces);
        qWarning() << "DeviceIdentity: replacing malformed" << sPath;
    }

    const bool isSaved = QDir().mkpath(m_sources.storageDir) && AtomicFile::write(sPath, fresh + '\n');
    if (!isSaved)
        qWarning() << "DeviceIdentity: cannot write" << sPath << "; the device id holds for this run only";
    return fresh;
}

} // namespace orbisk
