#include "app/RunningCopyChannel.h"

#include "platform/localchannel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QLocalSocket>
#include <QTimer>

const QByteArray RunningCopyChannel::kShowRequest = QByteArrayLiteral("show\n");
const QByteArray RunningCopyChannel::kShownReply = QByteArrayLiteral("shown\n");

RunningCopyChannel::RunningCopyChannel(QObject* parent)
    : QObject(parent)
{
    // Only this user may connect (the folder already ensures it where it exists).
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &RunningCopyChannel::acceptConnections);
}

QString RunningCopyChannel::serverName()
{
    return orbisk::platform::privateChannelName(QCoreApplication::applicationName() + QStringLiteral(".channel"));
}

bool RunningCopyChannel::listen()
{
    const QString name = serverName();
    if (name.isEmpty())
        return false;
    // The guard let this copy start, so a socket left under the name is a crashed
    // copy's: nobody answers there any more.
    QLocalServer::removeServer(name);
    if (!m_server.listen(name)) {
        // The client runs on; only a second start cannot bring it to the front.
        qWarning() << "RunningCopyChannel: cannot listen" << name << m_server.errorString();
        return false;
    }
    return true;
}

bool RunningCopyChannel::isListening() const
{
    return m_server.isListening();
}

void RunningCopyChannel::acceptConnections()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(m_iRequestTimeoutMs, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() < kShowRequest.size())
                return;
            // Exactly the request, or nothing happens: the channel knows no other word.
            if (socket->read(kShowRequest.size()) != kShowRequest) {
                socket->abort();
                return;
            }
            socket->readAll();
            socket->write(kShownReply);
            socket->disconnectFromServer();
            emit showRequested();
        });
    }
}

bool RunningCopyChannel::isServedByThisUser(const QLocalSocket& socket)
{
    using orbisk::platform::ChannelServerUser;
    // Another user may have made a channel under this name first (Windows pipe names are
    // the whole machine's); such a server does not even learn that a start happened.
    switch (orbisk::platform::channelServerUser(socket.socketDescriptor())) {
    case ChannelServerUser::CurrentUser:
        return true;
    case ChannelServerUser::OtherUser:
        qWarning().noquote() << QStringLiteral(
            "RunningCopyChannel: %1 is served by another user's process; nothing was sent to it")
                                    .arg(socket.serverName());
        return false;
    case ChannelServerUser::Unknown:
        break;
    }
    qWarning().noquote() << QStringLiteral(
        "RunningCopyChannel: cannot tell whose process serves %1; nothing was sent to it")
                                .arg(socket.serverName());
    return false;
}

bool RunningCopyChannel::askToShow(int timeoutMs)
{
    const QString name = serverName();
    if (name.isEmpty())
        return false;

    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    if (!isServedByThisUser(socket))
        return false;
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    // Nothing from the other side is acted on; the reply only says the request arrived.
    while (socket.bytesAvailable() < kShownReply.size()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return socket.read(kShownReply.size()) == kShownReply;
}
