#pragma once

#include "core/CoreInfo.h"
#include "core/LocalOrigins.h"

#include <QtGlobal>

#include <functional>
#include <memory>

namespace orbisk {
class LocalHttpServer;
}

class ValtroCore;
class ValtroPortal;

// The local HTTP service: answers pages on this machine (see orbisk::LocalServiceHandler)
// on 127.0.0.1, port orbisk::kLocalServicePort unless setPort() says otherwise. The
// origins it trusts are those setAllowedOrigins() names (none until then). Only processes
// of the user who runs the client are answered: a worker asks the system whose process
// holds the other end of the connection before it answers (see orbisk::peerUser), and
// refuses another user's, or one the system would not tell, with 403.
//
// Thread model: StartHttpdServer binds the port on the calling thread; then one thread of
// the service accepts connections and reads their requests, and kWorkerThreads workers
// run the request handling, one request per connection (see orbisk::LocalHttpServer for
// the limits). The handling reaches the core only through the portal's thread-safe
// methods; the browser-active callback therefore runs on a worker thread. Start, Stop and
// setPort belong to one thread (the GUI thread); the service must be stopped before the
// core and the portal are deleted.
class ValtroHttpd
{
public:
    // Results of StartHttpdServer.
    enum StartResult : int {
        StartListening = 0, // the port is bound and the service accepts connections
        StartAlreadyRunning = 1, // this service is listening already; nothing changed
        StartInvalidTimeout = 2, // the timeout is outside kMinTimeoutMs..kMaxTimeoutMs
        StartMissingServices = 3, // no portal, no core, or a portal of another core
        StartCannotListen = 4, // the port cannot be bound (taken by another socket)
    };

    // An environment variable that, holding a port number, moves the service to that port,
    // so that a client under test can run beside the user's own. Pages look for 9887 only.
    static constexpr const char kPortVariable[] = "ORBISK_LOCAL_SERVICE_PORT";

    static constexpr int kMinTimeoutMs = 1;
    static constexpr int kMaxTimeoutMs = 60000;
    static constexpr int kWorkerThreads = 4;

    // pPortal must be the portal of pCore; both must outlive the running service.
    ValtroHttpd(ValtroCore* pCore, ValtroPortal* pPortal);
    ~ValtroHttpd(); // stops the service
    ValtroHttpd(const ValtroHttpd&) = delete;
    ValtroHttpd& operator=(const ValtroHttpd&) = delete;

    // The origins that may use the service, asked for every request that carries an
    // Origin (from the worker threads, so the source must be thread-safe). Takes effect
    // at the next start.
    using AllowedOrigins = std::function<orbisk::OriginSet()>;
    void setAllowedOrigins(AllowedOrigins allowedOrigins);

    // The port of the next start; orbisk::kLocalServicePort unless set here or by kPortVariable.
    void setPort(quint16 iPort);
    quint16 port() const;

    // Starts the service. iTimeoutMs, in milliseconds, is the time a connection has, from
    // its accept, to send its whole request (a slower one is closed unanswered) and the
    // longest wait of each write of the answer. Returns a StartResult: 0 once the port is bound and the
    // service accepts connections, non-zero when it does not run (already running aside).
    int StartHttpdServer(int iTimeoutMs);

    // Stops accepting, closes every connection at once, waiting or open, and joins the
    // threads. Harmless when the service is not running; a later start may follow.
    void StopHttpdServer();

    bool isListening() const;

private:
    ValtroCore* const m_pCore;
    ValtroPortal* const m_pPortal;
    quint16 m_iPort = orbisk::kLocalServicePort;
    AllowedOrigins m_allowedOrigins = [] { return orbisk::OriginSet(); };
    std::unique_ptr<orbisk::LocalHttpServer> m_pServer;
};
