#include "mainwindow/ServerListCodec.h"

#include <QDomDocument>
#include <QXmlStreamWriter>

namespace ServerListCodec {

namespace {

const QString kRoot = QStringLiteral("ServerList");
const QString kServer = QStringLiteral("Server");
const QString kDefault = QStringLiteral("Default");
const QString kName = QStringLiteral("Name");
const QString kUrl = QStringLiteral("URL");

// Depth-first step that climbs at most one level: after the last child of an
// element the walk continues with that element's next sibling, or ends.
QDomElement nextElement(const QDomElement& current)
{
    const QDomElement child = current.firstChildElement();
    if (!child.isNull())
        return child;
    const QDomElement sibling = current.nextSiblingElement();
    if (!sibling.isNull())
        return sibling;
    return current.parentNode().toElement().nextSiblingElement();
}

} // namespace

ServerList parse(const QByteArray& bytes, ParseResult* result)
{
    ServerList entries;
    QDomDocument document;
    if (!document.setContent(bytes, false)) {
        if (result)
            *result = ParseResult::NotWellFormed;
        return entries;
    }

    QString lastName;
    QString lastUrl;
    bool lastDefault = false;

    QDomElement current = document.documentElement();
    while (!current.isNull()) {
        current = nextElement(current);
        const QString tag = current.tagName();
        if (tag == kDefault) {
            lastDefault = current.text() == QLatin1String("true");
        } else if (tag == kName) {
            lastName = current.text();
        } else if (tag == kUrl) {
            lastUrl = current.text();
            entries.append(ServerEntry{lastName, lastUrl, lastDefault});
        }
    }
    if (result)
        *result = ParseResult::Ok;
    return entries;
}

QByteArray serialize(const ServerList& entries)
{
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(kRoot);
    for (const ServerEntry& entry : entries) {
        writer.writeStartElement(kServer);
        writer.writeTextElement(kDefault, entry.isDefault ? QStringLiteral("true") : QStringLiteral("false"));
        writer.writeTextElement(kName, entry.name);
        writer.writeTextElement(kUrl, entry.url);
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    return bytes;
}

} // namespace ServerListCodec
