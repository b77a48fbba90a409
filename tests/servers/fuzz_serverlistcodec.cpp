// libFuzzer target for the server-list codec. The input is read twice: as a document,
// which must survive a save and read back as the same entries, and as text typed into
// the login window, which must save as a readable document holding its sanitised form.
// Besides crashes and sanitizer findings it stops on any broken property.
#include "servers/ServerListCodec.h"

#include <cstdio>
#include <cstdlib>

namespace {
void require(bool isKept, const char* sRule)
{
    if (!isKept) {
        std::fprintf(stderr, "broken rule: %s\n", sRule);
        std::abort();
    }
}

// Saves the entries and reads them back; they must come back as expected, unless the
// document would be over the size cap (a small file can name one long text for many
// servers), in which case nothing is produced.
void requireRoundTrip(const ServerList& entries, const ServerList& expected)
{
    const QByteArray saved = ServerListCodec::serialize(entries);
    if (saved.isEmpty())
        return;
    require(saved.size() <= ServerListCodec::kMaxDocumentBytes, "no document over the size cap");
    ServerListCodec::ParseResult result = ServerListCodec::ParseResult::NotWellFormed;
    const ServerList reread = ServerListCodec::parse(saved, &result);
    require(result == ServerListCodec::ParseResult::Ok, "a saved document is readable XML");
    require(reread == expected, "a saved list reads back as its sanitised entries");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(pData), int(size));

    ServerListCodec::ParseResult result = ServerListCodec::ParseResult::Ok;
    const ServerList entries = ServerListCodec::parse(bytes, &result);
    require(result == ServerListCodec::ParseResult::Ok || entries.isEmpty(), "a refused document yields nothing");
    require(ServerListCodec::sanitized(entries) == entries, "read entries are already as a file can hold them");
    requireRoundTrip(entries, entries);

    // The same bytes as UTF-16 text, split into a name and a URL.
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    const ServerList typed{{text.left(text.size() / 2), text.mid(text.size() / 2), true}, {text, QString(), false}};
    const ServerList expected = ServerListCodec::sanitized(typed);
    require(ServerListCodec::sanitized(expected) == expected, "sanitising twice changes nothing");
    requireRoundTrip(typed, expected);
    return 0;
}
