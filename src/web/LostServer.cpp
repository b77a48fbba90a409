#include "web/LostServer.h"

#include <QDebug>
#include <QTcpSocket>
#include <QWebEnginePage>

namespace {
const int kSecondMs = 1000;
const int kProbeTimeoutMs = 5000;
const int kHttpsPort = 443;
} // namespace

LostServer::LostServer(QWebEnginePage* pPage, const QUrl& serverUrl)
    : QObject(pPage)
    , m_pPage(pPage)
    , m_serverUrl(serverUrl)
{
    m_countdown.setInterval(kSecondMs);
    connect(&m_countdown, &QTimer::timeout, this, &LostServer::tick);
    connect(pPage, &QWebEnginePage::loadFinished, this, &LostServer::onLoadFinished);
}

int LostServer::retryDelayS(int iFailedTries)
{
    int delay = kFirstRetryS;
    for (int i = 0; i < iFailedTries && delay < kMaxRetryS; ++i)
        delay *= 2;
    return qMin(delay, kMaxRetryS);
}

void LostServer::tryNow()
{
    // The user asked: the load itself decides, whatever a probe would say.
    m_countdown.stop();
    m_pPage->triggerAction(QWebEnginePage::Reload);
}

void LostServer::onLoadFinished(bool isSuccess)
{
    if (isSuccess) {
        if (m_isLost) {
            m_isLost = false;
            m_iFailedTries = 0;
            emit back();
        }
        return;
    }
    // While lost, a failed try waits for the next; otherwise the server is looked for.
    if (m_isLost)
        onProbeResult(false);
    else
        probe();
}

void LostServer::probe()
{
    // The connection alone tells whether the server is there; its certificate is the
    // page's business.
    if (m_pProbe)
        return;
    m_pProbe = new QTcpSocket(this);
    QTcpSocket* socket = m_pProbe;
    const auto finish = [this, socket](bool isConnected) {
        if (m_pProbe != socket)
            return;
        m_pProbe = nullptr;
        socket->abort();
        socket->deleteLater();
        onProbeResult(isConnected);
    };
    connect(socket, &QTcpSocket::connected, this, [finish] { finish(true); });
    connect(socket, &QTcpSocket::errorOccurred, this, [finish] { finish(false); });
    QTimer::singleShot(kProbeTimeoutMs, socket, [finish] { finish(false); });
    socket->connectToHost(m_serverUrl.host(), quint16(m_serverUrl.port(kHttpsPort)));
}

void LostServer::onProbeResult(bool isConnected)
{
    if (isConnected) {
        if (m_isLost)
            m_pPage->triggerAction(QWebEnginePage::Reload);
        return;
    }
    if (!m_isLost)
        qWarning() << "the server" << m_serverUrl.toString() << "cannot be reached; trying again";
    m_isLost = true;
    m_iRemainingS = retryDelayS(m_iFailedTries++);
    m_countdown.start();
    emit lost(m_iRemainingS);
}

void LostServer::tick()
{
    if (--m_iRemainingS > 0) {
        emit lost(m_iRemainingS);
        return;
    }
    m_countdown.stop();
    probe();
}
