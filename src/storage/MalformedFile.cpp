#include "storage/MalformedFile.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

namespace MalformedFile {

QString asidePath(const QString& path)
{
    const QString base = path + QStringLiteral(".bad");
    QString candidate = base;
    for (int n = 2; QFile::exists(candidate); ++n)
        candidate = base + QLatin1Char('.') + QString::number(n);
    return candidate;
}

bool moveAside(const QString& path)
{
    const QString aside = asidePath(path);
    const bool isMoved = QFile::rename(path, aside);
    qDebug().noquote() << QFileInfo(path).fileName()
                       << (isMoved ? "cannot be read; moved it to" : "cannot be read; could not move it to") << aside;
    return isMoved;
}

} // namespace MalformedFile
