#include "servers/ServerDisplayText.h"

ServerEntry parseServerDisplayText(const QString& text)
{
    const int open = text.lastIndexOf(QLatin1Char('('));
    const int close = text.lastIndexOf(QLatin1Char(')'));
    ServerEntry entry;
    entry.name = text.mid(0, open - 1);
    entry.url = text.mid(open + 1, close - open - 1);
    return entry;
}

int indexOfShownServer(const ServerList& servers, const QString& text)
{
    for (int i = 0; i < servers.size(); ++i) {
        if (serverDisplayText(servers.at(i)) == text)
            return i;
    }
    const QString url = parseServerDisplayText(text).url;
    for (int i = 0; i < servers.size(); ++i) {
        if (servers.at(i).url == url)
            return i;
    }
    return -1;
}
