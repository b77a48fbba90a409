#pragma once

#include "servers/ServerEntry.h"

#include <QString>

// What Continue takes from the login window's fields: the server's name and URL,
// or what is wrong with the input, so that the user always gets an answer.
struct ServerInput
{
    enum class Problem {
        None,
        // The address is empty or not host[:port][/path].
        InvalidAddress,
        // The address names the http scheme; the client joins https servers only.
        HttpNotSupported,
        // The alias is empty.
        MissingAlias,
    };

    QString name;
    QString url;
    Problem problem = Problem::None;

    bool isValid() const { return problem == Problem::None; }

    // A new server typed or pasted into the address and alias fields. Blanks around
    // both are dropped, and a leading "https://" (any letter case) is taken as the
    // scheme the field already shows, as are trailing slashes of the address. The URL
    // is "https://" + the address, set whenever the address is good (so also with a
    // missing alias). The address is checked before the alias.
    static ServerInput fromNewServerFields(const QString& address, const QString& alias);

    // The combo box's text in select mode. A text that is the display text of a known
    // server stands for that server, even when its URL holds parentheses; any other
    // text is taken apart as a display text. An empty name or URL is reported.
    static ServerInput fromShownText(const QString& text, const ServerList& servers);
};
