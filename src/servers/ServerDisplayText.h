#pragma once

#include "servers/ServerEntry.h"

// Takes a display text "name (url)" apart again: the URL is what lies between the
// last "(" and the last ")", the name what precedes the character before that "(".
// Positions follow QString::mid, so a text without parentheses gives the whole text
// as name and as URL, and a "(" without ")" gives everything after it as URL.
// The result is never a default entry.
ServerEntry parseServerDisplayText(const QString& text);

// The index of the server a shown text stands for, or -1: the first entry whose
// display text it is, else the first whose URL equals the URL taken from the text.
// URLs are compared whole, so "https://h" never stands for "https://h:8443".
int indexOfShownServer(const ServerList& servers, const QString& text);
