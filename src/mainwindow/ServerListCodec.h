#pragma once

#include "mainwindow/ServerEntry.h"

#include <QByteArray>

// Converts the server list to and from the bytes of ServerConfig.xml.
namespace ServerListCodec {

enum class ParseResult {
    Ok,
    NotWellFormed,
};

// Reads the entries of a server-list document. The walk is deliberately loose:
// "Default", "Name" and "URL" elements count at any depth, a "Default" or "Name"
// carries over to later servers until replaced, and every "URL" makes one entry.
// A document that is not well-formed yields no entries at all.
ServerList parse(const QByteArray& bytes, ParseResult* result = nullptr);

// The whole document for the given entries, in list order.
QByteArray serialize(const ServerList& entries);

} // namespace ServerListCodec
