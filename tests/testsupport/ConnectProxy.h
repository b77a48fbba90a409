#pragma once

#include <QObject>
#include <QStringList>
#include <QTcpServer>

namespace orbisk::test {

// An HTTP proxy on loopback that carries CONNECT tunnels, as a company proxy does for
// https. Every host it is asked for is 127.0.0.1 to it, so a test reaches the demo
// server under a name only the proxy resolves (the engine never uses a proxy for
// loopback addresses). With a user name it asks for Basic sign-in (407) first.
class ConnectProxy : public QObject
{
    Q_OBJECT

public:
    explicit ConnectProxy(const QString& sUser = QString(), const QString& sPassword = QString());

    bool listen();
    quint16 port() const { return m_server.serverPort(); }

    // "host:port" of every tunnel opened, in order.
    QStringList tunnels() const { return m_tunnels; }
    // How many requests were answered with a sign-in challenge.
    int challenges() const { return m_iChallenges; }

private:
    void serve(QTcpSocket* pClient);

    QTcpServer m_server;
    QByteArray m_expectedAuthorization;
    QStringList m_tunnels;
    int m_iChallenges = 0;
};

} // namespace orbisk::test
