// Local channels on Windows are named pipes: converts to the Qt-free code in win/.

#include "platform/localchannel.h"

#include "platform/win/NamedPipeUser.h"

namespace orbisk::platform {

QString privateChannelName(const QString& baseName)
{
    return QString::fromStdWString(win::privatePipeName(baseName.toStdWString()));
}

// QLocalSocket's descriptor on Windows is the pipe's handle.
ChannelServerUser channelServerUser(qintptr socketDescriptor)
{
    switch (win::pipeServerUser(reinterpret_cast<HANDLE>(socketDescriptor))) {
    case win::ProcessUser::CurrentUser:
        return ChannelServerUser::CurrentUser;
    case win::ProcessUser::OtherUser:
        return ChannelServerUser::OtherUser;
    case win::ProcessUser::Unknown:
        break;
    }
    return ChannelServerUser::Unknown;
}

} // namespace orbisk::platform
