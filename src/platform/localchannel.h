#pragma once

#include <QString>
#include <QtGlobal>

// Local channels (QLocalServer / QLocalSocket) between copies of the client run by
// one user. Their names must not be shared with other users, and a client must not
// talk to a server run by someone else.
namespace orbisk::platform {

// A server name for QLocalServer / QLocalSocket that belongs to the current user
// alone. Linux: the socket baseName in the user's private runtime folder. Windows:
// a pipe name that carries the user's SID and the login session's number (pipe names
// are shared by the whole machine). Empty when there is no such name.
QString privateChannelName(const QString& baseName);

enum class ChannelServerUser {
    CurrentUser,
    OtherUser,
    // The other end's owner cannot be read.
    Unknown,
};

// Whose process serves the channel that a connected QLocalSocket, given by its
// socketDescriptor(), is connected to: compared with the user of this process.
ChannelServerUser channelServerUser(qintptr socketDescriptor);

} // namespace orbisk::platform
