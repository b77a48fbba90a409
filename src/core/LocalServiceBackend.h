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

    // The device identity; served to the user's own servers only.
    virtual QString deviceId() const = 0;

    // A browser page has taken over the service: the active side becomes the browser and
    // the client is told, on the calling thread.
    virtual void announceBrowserActive() = 0;

    // The browser side asks the client to re-apply its language; the client learns of it
    // later, on its own thread.
    virtual void requestLanguage(int iLan) = 0;
};

} // namespace orbisk
