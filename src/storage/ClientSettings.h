#pragma once

#include <QString>

// The three user settings and their INI file. Reading never fails: a missing or
// unreadable file, or a key that does not convert, gives the default of that key.
struct ClientSettings
{
    int language = 0; // 0 is English
    bool autoStart = true;
    bool miniTray = true;

    static ClientSettings read(const QString& path);

    // Stores the three keys and leaves every other key and group of the file as it was.
    // Returns false when the file could not be written (its old content is then kept).
    bool write(const QString& path) const;
};
