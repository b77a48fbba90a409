#include "ConnectProxy.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpSocket>

namespace orbisk::test {

ConnectProxy::ConnectProxy(const QString& sUser, const QString& sPassword)
{
    if (!sUser.isEmpty())
        m_expectedAuthorization = "Basic " + (sUser + QLatin1Char(':') + sPassword).toUtf8().toBase64();
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* pClient = m_server.nextPendingConnection())
            serve(pClient);
    });
}

bool ConnectProxy::listen()
{
    return m_server.listen(QHostAddress::LocalHost);
}

void ConnectProxy::serve(QTcpSocket* pClient)
{
    connect(pClient, &QTcpSocket::disconnected, pClient, &QObject::deleteLater);
    connect(pClient, &QTcpSocket::readyRead, pClient, [this, pClient] {
        // Until the tunnel is open, requests are read whole; afterwards bytes pass through.
        if (pClient->property("tunnel").toBool())
            return;
        QByteArray request = pClient->property("pending").toByteArray() + pClient->readAll();
        const int end = request.indexOf("\r\n\r\n");
        if (end < 0) {
            pClient->setProperty("pending", request);
            return;
        }
        pClient->setProperty("pending", request.mid(end + 4));
        static const QRegularExpression line(QStringLiteral("^CONNECT ([^ :]+):(\\d+) HTTP/1\\.[01]\r\n"));
        const QRegularExpressionMatch match = line.match(QString::fromLatin1(request.left(end + 2)));
        if (!match.hasMatch()) {
            pClient->write("HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            pClient->disconnectFromHost();
            return;
        }
        static const QRegularExpression authorization(
            QStringLiteral("\r\nProxy-Authorization: ([^\r]*)"), QRegularExpression::CaseInsensitiveOption);
        const QByteArray given = authorization.match(QString::fromLatin1(request.left(end + 2))).captured(1).toLatin1();
        if (!m_expectedAuthorization.isEmpty() && given != m_expectedAuthorization) {
            ++m_iChallenges;
            pClient->write("HTTP/1.1 407 Proxy Authentication Required\r\n"
                           "Proxy-Authenticate: Basic realm=\"Orbisk proxy\"\r\nContent-Length: 0\r\n\r\n");
            return;
        }

        m_tunnels.append(match.captured(1) + QLatin1Char(':') + match.captured(2));
        pClient->setProperty("tunnel", true);
        auto* pServer = new QTcpSocket(pClient);
        connect(pServer, &QTcpSocket::connected, pClient,
            [pClient] { pClient->write("HTTP/1.1 200 Connection established\r\n\r\n"); });
        connect(pServer, &QTcpSocket::readyRead, pClient, [pClient, pServer] { pClient->write(pServer->readAll()); });
        connect(pClient, &QTcpSocket::readyRead, pServer, [pClient, pServer] { pServer->write(pClient->readAll()); });
        connect(pServer, &QTcpSocket::disconnected, pClient, &QTcpSocket::disconnectFromHost);
        connect(pClient, &QTcpSocket::disconnected, pServer, &QTcpSocket::disconnectFromHost);
        pServer->connectToHost(QHostAddress::LocalHost, match.captured(2).toUShort());
    });
}

} // namespace orbisk::test
