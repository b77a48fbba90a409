// Process counting on Linux: a walk over the numeric folders of /proc, counting the
// processes whose real user id (the first of the "Uid:" line of /proc/PID/status) is the
// caller's. A process whose status cannot be read does not count.
//
// A process's executable file name is read from the best source available:
// 1. the target of /proc/PID/exe, the binary the kernel actually runs; the
//    kernel appends " (deleted)" when that file was removed or replaced (as a
//    package upgrade does), and the process still runs that program, so the
//    suffix is dropped unless a file of that exact name exists;
// 2. where exe cannot be read (other users' processes without privileges,
//    some sandboxes even for root), the base name of argv[0] in /proc/PID/cmdline;
// 3. where cmdline is empty too (kernel threads, zombies), /proc/PID/comm.
//    Zombies are skipped: they no longer run. The kernel truncates comm to 15
//    bytes, so a comm of 15 bytes may stand for any longer name with that
//    start. Only a shorter comm is taken as the whole name: counting a
//    truncated one would let an unrelated program with a longer name block
//    the client, whereas missing a copy at this last stage only allows a
//    second copy in a case that practically never arises.
// Processes that vanish during the walk have nothing left to read and do not count.

#include "platform/processes_linux.h"
#include "platform/processes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace orbisk::platform {

namespace {

// The kernel stores a process's command name in 16 bytes including the terminating NUL.
constexpr int kCommCapacity = 15;

struct ProcessName
{
    QByteArray name;
    // False when the name may be a truncated comm and so proves nothing.
    bool isComplete = false;
};

QByteArray baseName(const QByteArray& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray readLink(const QString& path)
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), buffer, sizeof buffer);
    // A target that fills the buffer may have been cut off.
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof buffer))
        return {};
    return QByteArray(buffer, static_cast<int>(length));
}

bool pathExists(const QByteArray& path)
{
    struct stat status;
    return ::lstat(path.constData(), &status) == 0;
}

QByteArray executableTarget(const QString& processDir)
{
    static const QByteArray deletedSuffix = QByteArrayLiteral(" (deleted)");
    QByteArray target = readLink(processDir + QStringLiteral("/exe"));
    if (target.endsWith(deletedSuffix) && !pathExists(target))
        target.chop(deletedSuffix.size());
    return target;
}

// The state letter follows the command name in parentheses, which may itself hold ')'.
bool isZombie(const QString& processDir)
{
    const QByteArray status = readFile(processDir + QStringLiteral("/stat"));
    const int nameEnd = status.lastIndexOf(')');
    if (nameEnd < 0 || nameEnd + 2 >= status.size())
        return false;
    const char state = status.at(nameEnd + 2);
    return state == 'Z' || state == 'X';
}

ProcessName processName(const QString& processDir)
{
    const QByteArray target = executableTarget(processDir);
    if (!target.isEmpty())
        return {baseName(target), true};

    const QByteArray commandLine = readFile(processDir + QStringLiteral("/cmdline"));
    const int argument0End = commandLine.indexOf('\0');
    const QByteArray argument0 = argument0End < 0 ? commandLine : commandLine.left(argument0End);
    if (!argument0.isEmpty())
        return {baseName(argument0), true};

    if (isZombie(processDir))
        return {};
    QByteArray comm = readFile(processDir + QStringLiteral("/comm"));
    if (comm.endsWith('\n'))
        comm.chop(1);
    return {comm, comm.size() < kCommCapacity};
}

// The "Uid:" line lists the real, effective, saved and file-system user ids.
bool isRunBy(const QString& processDir, uid_t user)
{
    const QList<QByteArray> lines = readFile(processDir + QStringLiteral("/status")).split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("Uid:")) {
            bool isNumber = false;
            const qulonglong realUser = line.mid(4).simplified().split(' ').value(0).toULongLong(&isNumber);
            return isNumber && realUser == user;
        }
    }
    return false;
}

bool isProcessId(const QString& entry)
{
    return !entry.isEmpty() && std::all_of(entry.begin(), entry.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
}

} // namespace

int countOwnProcessesWithExecutableName(const QString& fileName, const QString& procRoot, uid_t user)
{
    const QByteArray wanted = fileName.toUtf8();
    if (wanted.isEmpty())
        return 0;
    int count = 0;
    const QStringList entries = QDir(procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString& entry : entries) {
        if (!isProcessId(entry))
            continue;
        const QString processDir = procRoot + QLatin1Char('/') + entry;
        const ProcessName process = processName(processDir);
        if (process.isComplete && process.name == wanted && isRunBy(processDir, user))
            ++count;
    }
    return count;
}

int countOwnProcessesWithExecutableName(const QString& fileName)
{
    return countOwnProcessesWithExecutableName(fileName, QStringLiteral("/proc"), ::getuid());
}

// The name other processes see this one under, read the same way as theirs. The
// application name follows argv[0], which differs from the binary's file name
// when the client is started through a link of another name.
QString executableFileName()
{
    const ProcessName own = processName(QStringLiteral("/proc/self"));
    if (own.isComplete && !own.name.isEmpty())
        return QString::fromUtf8(own.name);
    return QCoreApplication::applicationName();
}

} // namespace orbisk::platform
