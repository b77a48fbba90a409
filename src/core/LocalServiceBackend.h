// What the local HTTP service's request handling needs from the rest of the core.
#pragma once

#include "core/CoreInfo.h"

#include <QString>

namespace orbisk {

// What GET /api/status reports.
struct LocalServiceStatus
{
    QString sApplication;
    QString sClientVersion;
    QString sCoreVersion;
    QString sProtocolVersion;
    ActiveSide activeSide = ActiveSide::None;
};

// The request handling calls this on the service's worker threads, several at once:
// implementations must be thread-safe and must not touch objects of the GUI thread.
class LocalServiceBackend
{
public:
    virtual ~LocalServiceBackend() = default;

    virtual LocalServiceStatus status() const = 0;
};

} // namespace orbisk
