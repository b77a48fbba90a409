#include "mainwindow/ServerListFile.h"

#include "mainwindow/ServerListCodec.h"
#include "storage/AtomicFile.h"

#include <QDebug>
#include <QFile>

namespace ServerListFile {

QString quarantinePath(const QString& path)
{
    const QString base = path + QStringLiteral(".bad");
    QString candidate = base;
    for (int n = 2; QFile::exists(candidate); ++n)
        candidate = base + QLatin1Char('.') + QString::number(n);
    return candidate;
}

ServerList read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    file.close();

    ServerListCodec::ParseResult result = ServerListCodec::ParseResult::Ok;
    ServerList entries = ServerListCodec::parse(bytes, &result);
    if (result == ServerListCodec::ParseResult::NotWellFormed && !bytes.trimmed().isEmpty()) {
        const QString aside = quarantinePath(path);
        if (QFile::copy(path, aside))
            qDebug() << "ServerConfig.xml is not well-formed; kept a copy as" << aside;
        else
            qDebug() << "ServerConfig.xml is not well-formed; could not copy it to" << aside;
    }
    return entries;
}

bool write(const QString& path, const ServerList& entries)
{
    return AtomicFile::write(path, ServerListCodec::serialize(entries));
}

} // namespace ServerListFile
