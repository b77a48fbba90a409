#pragma once

#include <QString>

// Where the client keeps its per-user files. The client sets no organisation or
// application name, so the folder and the settings file are named after the executable.
namespace AppPaths {

// The writable application-data folder.
QString dataDir();

// Creates the data folder with any missing parents (a fresh Linux account may not
// have ~/.local/share yet). Returns whether it exists afterwards.
bool ensureDataDir();

// dataDir() + "/" + application name + ".ini"
QString settingsFile();

// dataDir() + "/ServerConfig.xml"
QString serverListFile();

// dataDir() + "/TrustedCertificates.json"
QString trustedCertificatesFile();

// dataDir() + "/Permissions.json"
QString permissionsFile();

} // namespace AppPaths
