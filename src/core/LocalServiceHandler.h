#pragma once

#include "core/LocalHttpMessage.h"
#include "core/LocalOrigins.h"

#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <functional>

class QJsonObject;

namespace orbisk {

class LocalServiceBackend;

// The local service's request handling: one request in, one response out, no sockets.
// The HTTP server adapter calls it for every request; tests and fuzzers call it directly.
// docs/local-service.md describes the protocol for the authors of the web application.
//
// Before any of these, the server refuses a request whose connection comes from a process
// of another user of this computer, or of a user it cannot tell, with 403 (callerRefusal).
// Checks, in this order; the first that fails answers:
//   Host    exactly one, "127.0.0.1:<port>" or "localhost:<port>"      else 403
//   Origin  absent, or exactly one naming an allowed origin            else 403
//   body    at most kMaxBodyBytes                                      else 413
//   path    /api/status, /api/browser-active or /api/language          else 404
//   OPTIONS a CORS preflight: 204 for an allowed origin                else 403
//   method  GET or HEAD for the status, POST for the others            else 405 with Allow
//   POST    an allowed Origin                                          else 403
//           Content-Type application/json                              else 415
//           a JSON object (and for the language a whole number)        else 400
// Errors are JSON {"error": "..."}. Every response carries Cache-Control: no-store,
// X-Content-Type-Options: nosniff and Vary: Origin; a request from an allowed origin
// also gets Access-Control-Allow-Origin with that origin (never "*").
//
// Thread-safe as far as the backend and the origin source are: it keeps no state.
class LocalServiceHandler
{
public:
    // The origins allowed now; asked again for every request that carries an Origin.
    using OriginSource = std::function<OriginSet()>;

    static constexpr std::size_t kMaxBodyBytes = 64 * 1024;

    // iPort: the port the service listens on; the Host header must name it.
    LocalServiceHandler(LocalServiceBackend& backend, OriginSource allowedOrigins, quint16 iPort);

    LocalResponse handle(const LocalRequest& request) const;

    // The answer to a request the HTTP layer refused before it could be handled (a body
    // over the limit, a request line it cannot parse): a JSON error with iStatus, with the
    // CORS headers the request would have earned, so a page can read why.
    LocalResponse refusal(const LocalRequest& request, int iStatus) const;

    // The answer to a request from a process of another user of this computer
    // (isUserKnown), or of a process whose user the system would not tell: a JSON error
    // with 403 and without CORS headers, the same whatever the request says.
    static LocalResponse callerRefusal(bool isUserKnown);

private:
    struct Route;
    enum class OriginKind { Absent, Allowed, Refused };
    struct CallerOrigin
    {
        OriginKind kind = OriginKind::Absent;
        QString sOrigin; // normalised, when allowed
    };

    bool isHostAllowed(const LocalRequest& request) const;
    CallerOrigin callerOrigin(const LocalRequest& request) const;
    LocalResponse answer(const LocalRequest& request, const CallerOrigin& origin) const;
    static LocalResponse preflight(const LocalRequest& request, const Route& route, const CallerOrigin& origin);
    static void finish(LocalResponse& response, const CallerOrigin& origin);

    LocalResponse status(const QJsonObject& body, const CallerOrigin& origin) const;
    LocalResponse browserActive(const QJsonObject& body, const CallerOrigin& origin) const;
    LocalResponse language(const QJsonObject& body, const CallerOrigin& origin) const;

    LocalServiceBackend& m_backend;
    const OriginSource m_allowedOrigins;
    const quint16 m_iPort;
};

} // namespace orbisk
