#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace orbisk::test {

// Runs the demo transfer server (tools/demo-server) as a child process on a free
// port of 127.0.0.1 for the lifetime of the object. Its self-signed certificate is
// kept under the test's home, so it is made once per test binary.
class DemoServer
{
public:
    // sCertificateDir holds cert.pem and key.pem (made when missing); empty for the
    // test's shared demo certificate.
    explicit DemoServer(const QString& sCertificateDir = QString());
    ~DemoServer();
    DemoServer(const DemoServer&) = delete;
    DemoServer& operator=(const DemoServer&) = delete;

    // The folder of the files the server offers and stores uploads in; by default one
    // beside its certificate. Takes effect at the next start.
    void setFilesDir(const QString& sDir) { m_sFilesDir = sDir; }
    // Also serves on a port that asks for a client certificate issued by the authority
    // in sCaFile (PEM). Takes effect at the next start.
    void setClientAuthority(const QString& sCaFile) { m_sClientCaFile = sCaFile; }

    // Starts the server and waits (up to timeoutMs) until it accepts connections.
    // On failure returns false and errorString() says why.
    bool start(int timeoutMs = 30000);
    void stop();

    quint16 port() const { return m_port; }
    // The port that asks for a client certificate; 0 without a client authority.
    quint16 clientCertificatePort() const { return m_clientCertificatePort; }
    // "https://127.0.0.1:PORT", without a trailing slash.
    QString baseUrl() const;
    // "127.0.0.1:PORT", the server as the certificate trust store names it.
    QString server() const;
    // The SHA-256 fingerprint of the server's self-signed certificate.
    QString fingerprint() const;
    // The folder of its cert.pem and key.pem.
    QString certificateDir() const { return m_sCertificateDir; }
    // The request targets (path and query, as sent) the server has logged so far.
    QStringList requests();
    QString errorString() const { return m_sError; }

private:
    void readOutput();

    QString m_sCertificateDir;
    QProcess m_process;
    quint16 m_port = 0;
    QStringList m_requests;
    QByteArray m_pending;
    QString m_sError;
    QString m_sFilesDir;
    QString m_sClientCaFile;
    quint16 m_clientCertificatePort = 0;
};

} // namespace orbisk::test
