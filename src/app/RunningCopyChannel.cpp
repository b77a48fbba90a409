#include "app/RunningCopyChannel.h"

#include "platform/privatefolder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QLocalSocket>
#include <QStandardPaths>
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
    // Qt only warns about a runtime folder of another user, or one others may enter,
    // and hands it out still: then there is no channel.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!orbisk::platform::isPrivateFolder(folder))
        return QString();
    return folder + QLatin1Char('/') + QCoreApplication::applicationName() + QStringLiteral(".channel");
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
        qDebug() << "RunningCopyChannel: cannot listen" << name << m_server.errorString();
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
