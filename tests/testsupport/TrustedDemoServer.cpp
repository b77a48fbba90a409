#include "TrustedDemoServer.h"

namespace orbisk::test {

TrustedDemoServer::TrustedDemoServer(CertificateGuard::WindowFinder findWindow)
    : m_guard(&m_trustStore, std::move(findWindow))
{ }

bool TrustedDemoServer::start(int timeoutMs)
{
    if (!DemoServer::start(timeoutMs))
        return false;
    trust(*this);
    return true;
}

void TrustedDemoServer::trust(const DemoServer& other)
{
    m_trustStore.trust(other.server(), other.fingerprint());
}

void TrustedDemoServer::trustAs(const QString& sHost, quint16 port)
{
    m_trustStore.trust(sHost + QLatin1Char(':') + QString::number(port != 0 ? port : this->port()), fingerprint());
}

} // namespace orbisk::test
