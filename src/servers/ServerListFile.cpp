#include "servers/ServerListFile.h"

#include "servers/ServerListCodec.h"
#include "storage/AtomicFile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace ServerListFile {

namespace {

bool sameContent(const QString& left, const QString& right)
{
    QFile a(left);
    QFile b(right);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.size() != b.size())
        return false;
    const qint64 chunk = 64 * 1024;
    while (!a.atEnd()) {
        const QByteArray piece = a.read(chunk);
        if (piece.isEmpty() || piece != b.read(chunk))
            return false;
    }
    return true;
}

// Copies the file at path to path + ".bad" (".bad.2", ... when taken), unless one of
// those copies already holds the same bytes.
void keepAside(const QString& path, const char* reason)
{
    const QFileInfo info(path);
    const QString base = info.fileName() + QStringLiteral(".bad");
    const QRegularExpression copyName(QStringLiteral("^%1(\\.[0-9]+)?$").arg(QRegularExpression::escape(base)));
    const QDir dir = info.dir();
    for (const QString& name : dir.entryList({base + QLatin1Char('*')}, QDir::Files | QDir::Hidden)) {
        if (copyName.match(name).hasMatch() && sameContent(path, dir.filePath(name))) {
            qDebug() << info.fileName() << reason << "; a copy is already kept as" << dir.filePath(name);
            return;
        }
    }
    QString aside = dir.filePath(base);
    for (int n = 2; QFile::exists(aside); ++n)
        aside = dir.filePath(base + QLatin1Char('.') + QString::number(n));
    if (QFile::copy(path, aside))
        qDebug() << info.fileName() << reason << "; kept a copy as" << aside;
    else
        qDebug() << info.fileName() << reason << "; could not copy it to" << aside;
}

} // namespace

ServerList read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Read one byte past the cap, so that a file that grows or lies about its size is
    // still seen as too large without reading all of it.
    const QByteArray bytes = file.read(ServerListCodec::kMaxDocumentBytes + 1);
    file.close();

    ServerListCodec::ParseResult result = ServerListCodec::ParseResult::Ok;
    ServerList entries = ServerListCodec::parse(bytes, &result);
    switch (result) {
    case ServerListCodec::ParseResult::Ok:
        break;
    case ServerListCodec::ParseResult::NotWellFormed:
        if (!bytes.trimmed().isEmpty())
            keepAside(path, "is not well-formed");
        break;
    case ServerListCodec::ParseResult::TooLarge:
        keepAside(path, "is too large to be a server list");
        break;
    case ServerListCodec::ParseResult::TooDeep:
        keepAside(path, "is nested too deeply to be a server list");
        break;
    }
    return entries;
}

bool write(const QString& path, const ServerList& entries)
{
    const QByteArray document = ServerListCodec::serialize(entries);
    if (document.isEmpty()) {
        qDebug() << "Not saving" << path << ": the list is larger than a server list may be";
        return false;
    }
    const ServerList expected = ServerListCodec::sanitized(entries);
    return AtomicFile::write(path, document, [&expected](const QByteArray& bytes) {
        ServerListCodec::ParseResult result = ServerListCodec::ParseResult::Ok;
        return ServerListCodec::parse(bytes, &result) == expected && result == ServerListCodec::ParseResult::Ok;
    });
}

} // namespace ServerListFile
