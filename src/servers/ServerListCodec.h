#pragma once

#include "servers/ServerEntry.h"

#include <QByteArray>

// Converts the server list to and from the bytes of ServerConfig.xml.
namespace ServerListCodec {

// A server list is a few kilobytes; a document larger than this is not read. The local
// service's origin check applies the same cap before it reads the file.
constexpr qint64 kMaxDocumentBytes = 4 * 1024 * 1024;
// The list nests three levels deep (ServerList, Server, Name); a document nested far
// deeper is not one.
constexpr int kMaxDepth = 32;

enum class ParseResult {
    Ok,
    NotWellFormed,
    TooLarge,
    TooDeep,
};

// Reads the entries of a server-list document. The walk is deliberately loose:
// "Default", "Name" and "URL" elements count at any depth, a "Default" or "Name"
// carries over to later servers until replaced, and every "URL" makes one entry.
// The walk climbs a single level at a time: where the next element lies two or more
// levels up, it stops. An element's text is the text of its whole content, leaving
// out the pieces made of white space only. A document that is not well-formed, is
// larger than kMaxDocumentBytes or deeper than kMaxDepth yields no entries at all, and
// so does one whose entries would hold more than kMaxDocumentBytes characters of text
// (one long name carried over to thousands of servers). Parsing never recurses, so no
// content can exhaust the stack, and its memory stays bounded.
ServerList parse(const QByteArray& bytes, ParseResult* result = nullptr);

// The entries as the file can hold them: characters XML 1.0 cannot carry (lone
// surrogates, control characters other than tab, line feed and carriage return,
// U+FFFE and U+FFFF) are dropped, and a name or URL made of white space only becomes
// empty, as it reads back. parse(serialize(entries)) == sanitized(entries).
ServerList sanitized(const ServerList& entries);

// The whole document for the sanitized entries, in list order. Empty when it would be
// larger than kMaxDocumentBytes, which no reader accepts; writing stops there.
QByteArray serialize(const ServerList& entries);

} // namespace ServerListCodec
