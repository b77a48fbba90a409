#include "platform/localchannel.h"

#include "platform/privatefolder.h"

#include <QStandardPaths>

#include <sys/socket.h>
#include <unistd.h>

namespace orbisk::platform {

QString privateChannelName(const QString& baseName)
{
    // Qt only warns about a runtime folder of another user, or one others may enter,
    // and hands it out still: then there is no name.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!isPrivateFolder(folder))
        return QString();
    return folder + QLatin1Char('/') + baseName;
}

// The kernel records the listening process's credentials when it listens and hands
// them to every client that connects.
ChannelServerUser channelServerUser(qintptr socketDescriptor)
{
    struct ucred peer = {};
    socklen_t size = sizeof peer;
    if (socketDescriptor < 0
        || ::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0
        || size != sizeof peer)
        return ChannelServerUser::Unknown;
    // The same user the private runtime folder is checked against.
    return peer.uid == ::geteuid() ? ChannelServerUser::CurrentUser : ChannelServerUser::OtherUser;
}

} // namespace orbisk::platform
