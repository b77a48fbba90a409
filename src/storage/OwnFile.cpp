#include "storage/OwnFile.h"

#include "storage/AtomicFile.h"
#include "storage/MalformedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace OwnFile {

bool read(const QString& path, const std::function<bool(const QByteArray&)>& parse)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return true;
    const QByteArray bytes = file.read(kMaxBytes + 1);
    file.close();
    if (bytes.size() <= kMaxBytes && parse(bytes))
        return true;
    MalformedFile::moveAside(path);
    return false;
}

bool save(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return AtomicFile::write(path, bytes);
}

} // namespace OwnFile
