#pragma once

#include "core/LocalHttpMessage.h"

namespace orbisk {

class LocalServiceBackend;

// The local service's request handling: one request in, one response out, no sockets.
// The HTTP server adapter calls it for every request; tests and fuzzers call it directly.
//
// Answers:
//   GET (or HEAD) /api/status  200, JSON {"application", "clientVersion", "coreVersion",
//                              "protocolVersion", "activeSide"}
//   a known path, other method 405, JSON {"error"}, with an Allow header
//   any other path             404, JSON {"error"}
// Every response carries Cache-Control: no-store and X-Content-Type-Options: nosniff.
//
// Thread-safe as far as the backend is: handle() keeps no state of its own.
class LocalServiceHandler
{
public:
    explicit LocalServiceHandler(const LocalServiceBackend& backend);

    LocalResponse handle(const LocalRequest& request) const;

    // A JSON error response {"error": sMessage} with the given status.
    static LocalResponse errorResponse(int iStatus, const char* sMessage);

private:
    LocalResponse status() const;

    const LocalServiceBackend& m_backend;
};

} // namespace orbisk
