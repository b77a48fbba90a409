#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QString>

// The running copy's channel: a second start of the client, refused by the single-
// instance guard, asks the running copy through it to show its current window.
// The socket lies in the user's private runtime folder (owned by the user, mode 0700),
// so no other user can listen under its name or connect to it.
class RunningCopyChannel : public QObject
{
    Q_OBJECT

public:
    explicit RunningCopyChannel(QObject* parent = nullptr);

    // Listens for requests. False, and no channel, when the user has no private
    // runtime folder or the socket cannot be made there.
    bool listen();
    bool isListening() const;

    // Run by a second start: asks the running copy to show itself. True once the
    // running copy confirmed within the time; false when nothing (or something else)
    // answered, which the second start takes quietly.
    static bool askToShow(int timeoutMs = kAskTimeoutMs);

    // The channel's socket: the application's name in the user's private runtime
    // folder. Empty when there is no such folder.
    static QString serverName();

    static constexpr int kAskTimeoutMs = 2000;
    // A connection that has not sent its request by then is dropped.
    int m_iRequestTimeoutMs = 2000;

    static const QByteArray kShowRequest;
    static const QByteArray kShownReply;

signals:
    void showRequested();

private:
    void acceptConnections();

    QLocalServer m_server;
};
