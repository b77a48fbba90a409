#include "core/ValtroCore.h"

#include <QDebug>
#include <QMetaObject>
#include <QRegularExpression>

namespace {
bool isWellFormedKey(const QString& sKey)
{
    static const QRegularExpression kKeyPattern(QStringLiteral("^[0-9A-Fa-f]{32}$"));
    return kKeyPattern.match(sKey).hasMatch();
}
} // namespace

ValtroCore::ValtroCore(const QString& key, int iInterfaceLevel, QObject* parent)
    : QObject(parent)
    , m_identity(key, orbisk::DeviceIdentity::Sources::ofThisSystem())
{
    if (!isWellFormedKey(key))
        qWarning() << "ValtroCore: the application key is not 32 hexadecimal digits:" << key;
    if (iInterfaceLevel != orbisk::kCoreInterfaceLevel)
        qWarning() << "ValtroCore: caller expects interface level" << iInterfaceLevel << "but this core implements"
                   << orbisk::kCoreInterfaceLevel;
}

ValtroCore::~ValtroCore() = default;

void ValtroCore::RegisterBrowserActive(void (*pfnCallback)())
{
    m_pfnBrowserActive.store(pfnCallback);
}

int ValtroCore::GetAppVersion(QString& sCoreVersion, QString& sBuildId, QString& sProtocolVersion)
{
    sCoreVersion = QString::fromLatin1(orbisk::kCoreVersion);
    sBuildId = QString::fromLatin1(orbisk::kCoreBuildId);
    sProtocolVersion = QString::fromLatin1(orbisk::kLocalProtocolVersion);
    return 0;
}

int ValtroCore::CloseActiveApp(int iReason)
{
    const orbisk::ActiveSide previous = m_activeSide.exchange(orbisk::ActiveSide::Client);
    qDebug() << "CloseActiveApp reason" << iReason << "closed side" << orbisk::activeSideName(previous);
    return 0;
}

QString ValtroCore::Get_Deviceuuid()
{
    return m_identity.uuid();
}

orbisk::ActiveSide ValtroCore::activeSide() const
{
    return m_activeSide.load();
}

bool ValtroCore::notifyBrowserActive()
{
    m_activeSide.store(orbisk::ActiveSide::Browser);
    void (*pfnCallback)() = m_pfnBrowserActive.load();
    if (!pfnCallback)
        return false;
    pfnCallback();
    return true;
}

void ValtroCore::postLanguageChange(int iLan)
{
    QMetaObject::invokeMethod(
        this, [this, iLan] { emit sig_languageChanged(iLan); }, Qt::QueuedConnection);
}
