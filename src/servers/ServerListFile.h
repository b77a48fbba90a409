#pragma once

#include "servers/ServerEntry.h"

#include <QString>

// Reads and writes ServerConfig.xml. Both directions are best effort: a missing or
// unreadable file reads as an empty list, a failed write leaves the old file whole.
namespace ServerListFile {

// The entries of the file at path. A file that cannot be read as a server list (not
// well-formed, too large or nested too deep) reads as an empty list; it is first
// copied aside (path + ".bad", numbered if taken) so that the next save, which
// replaces the file, cannot destroy servers a person could still recover. A content
// already kept aside is not copied again.
ServerList read(const QString& path);

// Replaces the file's content with the entries as the file can hold them (see
// ServerListCodec::sanitized), atomically: the old file stays as it was until the new
// content is complete on disk and reads back as those entries. Returns false when
// nothing was written.
bool write(const QString& path, const ServerList& entries);

} // namespace ServerListFile
