#pragma once

#include "DemoServer.h"

#include "web/CertificateGuard.h"
#include "web/CertificateTrustStore.h"

namespace orbisk::test {

// The demo server as one the user has trusted: its self-signed certificate is trusted
// in a trust store of its own (kept in memory, no file), and guard() lets the client's
// pages through to it without a question. Any other certificate is asked about over the
// window that findWindow returns, or refused quietly while it returns none (the default).
class TrustedDemoServer : public DemoServer
{
public:
    explicit TrustedDemoServer(CertificateGuard::WindowFinder findWindow = [] { return nullptr; });

    // Starts the server as DemoServer::start does, then trusts its certificate.
    bool start(int timeoutMs = 30000);
    // Trusts another demo server's certificate as well.
    void trust(const DemoServer& other);
    // Trusts this server's certificate under another host name (one a proxy resolves)
    // and port (0: its own).
    void trustAs(const QString& sHost, quint16 port = 0);

    CertificateGuard* guard() { return &m_guard; }

private:
    CertificateTrustStore m_trustStore;
    CertificateGuard m_guard;
};

} // namespace orbisk::test
