#include "ProcessInspection.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QHostAddress>
#include <QSet>

#include <algorithm>

namespace orbisk::test {

namespace {

const QByteArray kListenState = "0A";

// The socket inodes the process holds open.
QSet<QByteArray> socketInodes(qint64 pid)
{
    QSet<QByteArray> inodes;
    const QString fdDir = QStringLiteral("/proc/%1/fd").arg(pid);
    const QStringList fds = QDir(fdDir).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& fd : fds) {
        const QString target = QFile::symLinkTarget(fdDir + QLatin1Char('/') + fd);
        const QString name = QFileInfo(target).fileName();
        if (name.startsWith(QLatin1String("socket:[")))
            inodes.insert(name.mid(8, name.size() - 9).toLatin1());
    }
    return inodes;
}

// A /proc/net/tcp address: the IPv4 or IPv6 address as 32-bit words in host order, then the port, in hex.
QString decodeAddress(const QByteArray& hex, bool isIpv6)
{
    const int colon = hex.indexOf(':');
    const QByteArray addressHex = hex.left(colon);
    const int port = hex.mid(colon + 1).toInt(nullptr, 16);
    QByteArray bytes = QByteArray::fromHex(addressHex);
    // Each 32-bit word is written in host (little-endian) order.
    for (int i = 0; i + 4 <= bytes.size(); i += 4)
        std::reverse(bytes.begin() + i, bytes.begin() + i + 4);
    QHostAddress address;
    if (isIpv6 && bytes.size() == 16)
        address.setAddress(reinterpret_cast<const quint8*>(bytes.constData()));
    else if (bytes.size() == 4)
        address.setAddress(quint32(quint8(bytes[0])) << 24 | quint32(quint8(bytes[1])) << 16
            | quint32(quint8(bytes[2])) << 8 | quint32(quint8(bytes[3])));
    const QString text = address.toString();
    return (isIpv6 ? QLatin1Char('[') + text + QLatin1Char(']') : text) + QLatin1Char(':') + QString::number(port);
}

// Parent of every process on the system.
QHash<qint64, qint64> parents()
{
    QHash<qint64, qint64> result;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isNumber = false;
        const qint64 pid = entry.toLongLong(&isNumber);
        if (!isNumber)
            continue;
        const QByteArray stat = orbisk::test::fileContent(QStringLiteral("/proc/%1/stat").arg(pid));
        // "pid (comm) state ppid ...": comm may hold blanks and parentheses.
        const int close = stat.lastIndexOf(')');
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        if (close > 0 && fields.size() > 1)
            result.insert(pid, fields.at(1).toLongLong());
    }
    return result;
}

} // namespace

QStringList listeningTcpAddresses(qint64 pid)
{
    const QSet<QByteArray> inodes = socketInodes(pid);
    QStringList addresses;
    for (const bool isIpv6 : {false, true}) {
        const QByteArray table
            = orbisk::test::fileContent(isIpv6 ? QStringLiteral("/proc/net/tcp6") : QStringLiteral("/proc/net/tcp"));
        const QList<QByteArray> lines = table.split('\n');
        for (int i = 1; i < lines.size(); ++i) {
            const QList<QByteArray> fields = lines.at(i).simplified().split(' ');
            // sl local_address rem_address st tx:rx tr:when retrnsmt uid timeout inode
            if (fields.size() < 10 || fields.at(3) != kListenState || !inodes.contains(fields.at(9)))
                continue;
            addresses.append(decodeAddress(fields.at(1), isIpv6));
        }
    }
    addresses.sort();
    return addresses;
}

int engineProcessCount(qint64 pid)
{
    const QHash<qint64, qint64> parentOf = parents();
    int count = 0;
    for (auto it = parentOf.cbegin(); it != parentOf.cend(); ++it) {
        bool isDescendant = false;
        for (qint64 p = it.value(); p > 1 && !isDescendant; p = parentOf.value(p, 0))
            isDescendant = p == pid;
        if (!isDescendant)
            continue;
        const QByteArray comm = orbisk::test::fileContent(QStringLiteral("/proc/%1/comm").arg(it.key())).trimmed();
        if (comm.startsWith("QtWebEngineProc"))
            ++count;
    }
    return count;
}

} // namespace orbisk::test
