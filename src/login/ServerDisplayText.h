#pragma once

#include "mainwindow/ServerEntry.h"

// Takes a display text "name (url)" apart again: the URL is what lies between the
// last "(" and the last ")", the name what precedes the character before that "(".
// Positions follow QString::mid, so a text without parentheses gives the whole text
// as name and as URL, and a "(" without ")" gives everything after it as URL.
// The result is never a default entry.
ServerEntry parseServerDisplayText(const QString& text);
