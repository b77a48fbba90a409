#include "login/ServerDisplayText.h"

ServerEntry parseServerDisplayText(const QString& text)
{
    const int open = text.lastIndexOf(QLatin1Char('('));
    const int close = text.lastIndexOf(QLatin1Char(')'));
    ServerEntry entry;
    entry.name = text.mid(0, open - 1);
    entry.url = text.mid(open + 1, close - open - 1);
    return entry;
}
