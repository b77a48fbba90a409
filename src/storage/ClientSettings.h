#pragma once

#include <QMap>
#include <QString>

// The user's settings and their INI file: three choices and the page zoom of each server.
// Reading never fails: a missing or unreadable file, or a key that does not convert,
// gives the default of that key.
struct ClientSettings
{
    int language = 0; // 0 is English
    bool autoStart = true;
    bool miniTray = true;
    // The page zoom per server ("host:port"), in the [Zoom] group; 1 is left out.
    QMap<QString, double> zoomFactors;

    // Zoom factors the client takes from the file; others are left out when read.
    static constexpr double kMinZoom = 0.25;
    static constexpr double kMaxZoom = 5.0;

    static ClientSettings read(const QString& path);

    // Stores the three keys and the [Zoom] group and leaves every other key and group of
    // the file as it was.
    // Returns false when the file could not be written (its old content is then kept).
    bool write(const QString& path) const;
};
