#include "FullDisk.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orbisk::test {

namespace {

const int kUnavailableExit = 77;
const rlim_t kFileSizeLimit = 32;
const char kTmpfsOptions[] = "size=64k";

bool writeProcFile(const char* path, const QByteArray& content)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A private mount namespace; through a user namespace when plain root may not.
bool enterMountNamespace()
{
    if (unshare(CLONE_NEWNS) == 0)
        return true;
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return false;
    return writeProcFile("/proc/self/setgroups", "deny")
        && writeProcFile("/proc/self/uid_map", "0 " + QByteArray::number(uid) + " 1")
        && writeProcFile("/proc/self/gid_map", "0 " + QByteArray::number(gid) + " 1");
}

bool mountSmallTmpfs(const QString& at)
{
    if (!enterMountNamespace()) {
        qWarning("cannot enter a mount namespace: %s", strerror(errno));
        return false;
    }
    if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || mount("tmpfs", QFile::encodeName(at).constData(), "tmpfs", 0, kTmpfsOptions) != 0) {
        qWarning("cannot mount a tmpfs: %s", strerror(errno));
        return false;
    }
    return true;
}

// Writes a filler file until the file system refuses more.
void fill(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const QByteArray block(4096, 'x');
    for (int size = block.size(); fd >= 0 && size > 0; size = size > 1 ? size / 2 : 0) {
        while (::write(fd, block.constData(), size) == size) { }
    }
    if (fd >= 0)
        ::close(fd);
}

[[noreturn]] void runChild(FullDisk kind, const QString& scratch, const std::function<void(const QString&)>& prepare,
    const std::function<bool(const QString&)>& check)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const QString root = scratch + QStringLiteral("/full-disk");
    QDir().mkpath(root);
    if (kind == FullDisk::SmallTmpfs && !mountSmallTmpfs(root))
        _exit(kUnavailableExit);
    const QString dir = root + QStringLiteral("/data");
    QDir().mkpath(dir);
    prepare(dir);

    if (kind == FullDisk::FileSizeLimit) {
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = kFileSizeLimit;
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(kUnavailableExit);
    } else {
        fill(root + QStringLiteral("/filler"));
    }
    _exit(check(dir) ? 0 : 1);
}

} // namespace

FullDiskOutcome runOnFullDisk(FullDisk kind, const QString& scratch, const std::function<void(const QString&)>& prepare,
    const std::function<bool(const QString&)>& check)
{
    const pid_t child = fork();
    if (child == 0)
        runChild(kind, scratch, prepare, check);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return FullDiskOutcome::Broken;
    switch (WEXITSTATUS(status)) {
    case 0:
        return FullDiskOutcome::Held;
    case kUnavailableExit:
        return FullDiskOutcome::Unavailable;
    default:
        return FullDiskOutcome::Broken;
    }
}

} // namespace orbisk::test
