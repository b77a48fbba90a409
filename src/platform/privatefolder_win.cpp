#include "platform/privatefolder.h"

#include <QFileInfo>

namespace orbisk::platform {

// The folders asked about are under the user's own profile, which Windows keeps to
// the user; local sockets there are named pipes that carry their own access list.
bool isPrivateFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace orbisk::platform
