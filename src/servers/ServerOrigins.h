// The web origins that may use the local service: those of the servers in the user's list.
#pragma once

#include "core/LocalOrigins.h"
#include "servers/ServerEntry.h"

namespace orbisk {

// The origins of the servers' URLs; servers without one are skipped.
OriginSet serverOrigins(const ServerList& servers);

// The origins of the servers in the server-list file at sPath, read now. An unreadable or
// malformed file yields none. Reading has no side effects, so it may run on every request
// and on any thread.
OriginSet serverListFileOrigins(const QString& sPath);

} // namespace orbisk
