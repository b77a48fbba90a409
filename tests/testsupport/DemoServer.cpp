#include "DemoServer.h"

#include "web/CertificateTrustStore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QSslCertificate>
#include <QTcpSocket>

namespace orbisk::test {

namespace {
const QByteArray kListeningPrefix = "listening 127.0.0.1:";
const QByteArray kRequestPrefix = "request GET ";
const QByteArray kClientCertificatePrefix = "listening-client-cert 127.0.0.1:";
const int kConnectCheckMs = 2000;

QString sharedCertificateDir()
{
    QString base = qEnvironmentVariable("ORBISK_TEST_HOME");
    if (base.isEmpty())
        base = QDir::tempPath();
    return base + QStringLiteral("/demo-certificate");
}
} // namespace

DemoServer::DemoServer(const QString& sCertificateDir)
    : m_sCertificateDir(sCertificateDir.isEmpty() ? sharedCertificateDir() : sCertificateDir)
{
    m_process.setProgram(QStringLiteral(ORBISK_DEMO_SERVER_EXECUTABLE));
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

DemoServer::~DemoServer()
{
    stop();
}

bool DemoServer::start(int timeoutMs)
{
    // The server quits when the pipe to its standard input closes, also when this process
    // dies. Started again, it keeps its port, as a real server does.
    const quint16 previousPort = m_port;
    m_port = 0;
    QStringList arguments{QStringLiteral("--cert-dir"), m_sCertificateDir, QStringLiteral("--port"),
        QString::number(previousPort), QStringLiteral("--stop-on-stdin-eof")};
    if (!m_sFilesDir.isEmpty())
        arguments << QStringLiteral("--files-dir") << m_sFilesDir;
    if (!m_sClientCaFile.isEmpty())
        arguments << QStringLiteral("--client-ca") << m_sClientCaFile;
    m_process.setArguments(arguments);
    m_process.start();
    if (!m_process.waitForStarted(timeoutMs)) {
        m_sError = QStringLiteral("cannot start %1: %2").arg(m_process.program(), m_process.errorString());
        return false;
    }

    const QDeadlineTimer deadline(timeoutMs);
    while (m_port == 0) {
        if (m_process.state() != QProcess::Running || deadline.hasExpired()) {
            m_sError
                = QStringLiteral("the demo server did not report its port (exit code %1)").arg(m_process.exitCode());
            return false;
        }
        m_process.waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 1000)));
        readOutput();
    }

    QTcpSocket probe;
    probe.connectToHost(QStringLiteral("127.0.0.1"), m_port);
    if (!probe.waitForConnected(kConnectCheckMs)) {
        m_sError = QStringLiteral("the demo server does not accept connections on port %1").arg(m_port);
        return false;
    }
    return true;
}

void DemoServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished();
}

QString DemoServer::baseUrl() const
{
    return QStringLiteral("https://127.0.0.1:%1").arg(m_port);
}

QString DemoServer::server() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

QString DemoServer::fingerprint() const
{
    const QList<QSslCertificate> certificates
        = QSslCertificate::fromPath(m_sCertificateDir + QStringLiteral("/cert.pem"));
    return certificates.isEmpty() ? QString() : CertificateTrustStore::fingerprintOf(certificates.first());
}

QStringList DemoServer::requests()
{
    readOutput();
    return m_requests;
}

void DemoServer::readOutput()
{
    m_pending += m_process.readAllStandardOutput();
    int end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        if (line.startsWith(kListeningPrefix))
            m_port = line.mid(kListeningPrefix.size()).toUShort();
        else if (line.startsWith(kClientCertificatePrefix))
            m_clientCertificatePort = line.mid(kClientCertificatePrefix.size()).toUShort();
        else if (line.startsWith(kRequestPrefix))
            m_requests.append(QString::fromUtf8(line.mid(kRequestPrefix.size())));
    }
}

} // namespace orbisk::test
