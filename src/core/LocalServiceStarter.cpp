#include "core/LocalServiceStarter.h"

#include "core/ValtroHttpd.h"

LocalServiceStarter::LocalServiceStarter(ValtroHttpd* pHttpd, int iTimeoutMs, QObject* pParent)
    : QObject(pParent)
    , m_pHttpd(pHttpd)
    , m_iTimeoutMs(iTimeoutMs)
{
    m_retryTimer.setSingleShot(true);
    m_retryTimer.setInterval(kRetryIntervalMs);
    connect(&m_retryTimer, &QTimer::timeout, this, &LocalServiceStarter::tryStart);
}

void LocalServiceStarter::start()
{
    cancel();
    m_sinceStart.start();
    tryStart();
}

void LocalServiceStarter::cancel()
{
    m_retryTimer.stop();
}

bool LocalServiceStarter::isTrying() const
{
    return m_retryTimer.isActive();
}

void LocalServiceStarter::tryStart()
{
    const int iResult = m_pHttpd->StartHttpdServer(m_iTimeoutMs);
    if (iResult == ValtroHttpd::StartCannotListen && m_sinceStart.elapsed() + kRetryIntervalMs <= kRetryWindowMs) {
        m_retryTimer.start();
        return;
    }
    emit finished(iResult);
}
