#include "core/ValtroPortal.h"

#include "core/ValtroCore.h"

ValtroPortal::ValtroPortal(ValtroCore* pCore, QObject* parent)
    : QObject(parent)
    , m_pCore(pCore)
    , m_sClientVersion(orbisk::clientVersionText())
{ }

orbisk::LocalServiceStatus ValtroPortal::status() const
{
    orbisk::LocalServiceStatus current;
    current.sApplication = QString::fromLatin1(orbisk::kApplicationName);
    current.sClientVersion = m_sClientVersion;
    current.sCoreVersion = QString::fromLatin1(orbisk::kCoreVersion);
    current.sProtocolVersion = QString::fromLatin1(orbisk::kLocalProtocolVersion);
    current.activeSide = m_pCore ? m_pCore->activeSide() : orbisk::ActiveSide::None;
    return current;
}

QString ValtroPortal::deviceId() const
{
    return m_pCore ? m_pCore->Get_Deviceuuid() : QString();
}

void ValtroPortal::announceBrowserActive()
{
    if (m_pCore)
        m_pCore->notifyBrowserActive();
}

void ValtroPortal::requestLanguage(int iLan)
{
    if (m_pCore)
        m_pCore->postLanguageChange(iLan);
}
