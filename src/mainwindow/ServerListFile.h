#pragma once

#include "mainwindow/ServerEntry.h"

#include <QString>

// Reads and writes ServerConfig.xml. Both directions are best effort: a missing or
// unreadable file reads as an empty list, a failed write leaves the old file whole.
namespace ServerListFile {

// The entries of the file at path. A file that is not well-formed reads as an empty
// list; it is first copied aside (path + ".bad", numbered if taken) so that the next
// save, which replaces the file, cannot destroy servers a person could still recover.
ServerList read(const QString& path);

// Replaces the file's content with the entries, atomically: the old file stays as it
// was until the new content is complete on disk. Returns false when nothing was written.
bool write(const QString& path, const ServerList& entries);

// Where a malformed file at path is copied before it is read as empty.
QString quarantinePath(const QString& path);

} // namespace ServerListFile
