#include "platform/privatefolder.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace orbisk::platform {

bool isPrivateFolder(const QString& path)
{
    struct stat info = {};
    // lstat: a link to somewhere else is not the folder it claims to be.
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

} // namespace orbisk::platform
