#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QString>

// The running copy's channel: a second start of the client, refused by the single-
// instance guard, asks the running copy through it to show its current window.
// Its name belongs to the user alone: on Linux a socket in the user's private runtime
// folder (owned by the user, mode 0700); on Windows a named pipe whose name carries
// the user's SID and the login session, and whose access list admits only the user.
// Pipe names are shared by the whole machine, so another user could still make a
// pipe under that name first: a second start writes only to a server run by its own user.
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
    // answered, or the channel is served by another user's process (then nothing is
    // sent and a line is logged), which the second start takes quietly.
    static bool askToShow(int timeoutMs = kAskTimeoutMs);

    // The channel's name, private to the user: see the class comment. Empty when
    // there is none (no private runtime folder, no readable SID).
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
    static bool isServedByThisUser(const QLocalSocket& socket);

    QLocalServer m_server;
};
