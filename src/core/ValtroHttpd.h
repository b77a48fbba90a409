#pragma once

#include "core/CoreInfo.h"

#include <QtGlobal>

#include <atomic>
#include <memory>
#include <thread>

namespace orbisk {
class LocalHttpServer;
}

class ValtroCore;
class ValtroPortal;

// The local HTTP service: answers pages on this machine (see orbisk::LocalServiceHandler)
// on 127.0.0.1, port orbisk::kLocalServicePort unless setPort() says otherwise. The
// origins it trusts are those of the servers in the user's server list
// (AppPaths::serverListFile(), read for every request that carries an Origin).
//
// Thread model: StartHttpdServer binds the port on the calling thread, then one listener
// thread of its own accepts connections and hands them to a pool of kWorkerThreads
// workers, which run the request handling, one request per connection. The handling
// reaches the core only through the portal's thread-safe methods; the browser-active
// callback therefore runs on a worker thread. Start, Stop and setPort belong to one
// thread (the GUI thread); the service must be stopped before the core and the portal
// are deleted.
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

    static constexpr int kMinTimeoutMs = 1;
    static constexpr int kMaxTimeoutMs = 60000;
    static constexpr int kWorkerThreads = 4;

    // pPortal must be the portal of pCore; both must outlive the running service.
    ValtroHttpd(ValtroCore* pCore, ValtroPortal* pPortal);
    ~ValtroHttpd(); // stops the service
    ValtroHttpd(const ValtroHttpd&) = delete;
    ValtroHttpd& operator=(const ValtroHttpd&) = delete;

    // The port of the next start; orbisk::kLocalServicePort unless set.
    void setPort(quint16 iPort);
    quint16 port() const;

    // Starts the service. iTimeoutMs, in milliseconds, is the time a connection has to
    // send its whole request (a slower one is closed unanswered) and the longest wait of
    // each write of the answer. Returns a StartResult: 0 once the port is bound and the
    // service accepts connections, non-zero when it does not run (already running aside).
    int StartHttpdServer(int iTimeoutMs);

    // Stops accepting, lets running requests finish (bounded by the timeout) and joins the
    // threads. Harmless when the service is not running; a later start may follow.
    void StopHttpdServer();

    bool isListening() const;

private:
    ValtroCore* const m_pCore;
    ValtroPortal* const m_pPortal;
    quint16 m_iPort = orbisk::kLocalServicePort;
    std::unique_ptr<orbisk::LocalHttpServer> m_pServer;
    std::thread m_listener;
    std::atomic<bool> m_isListenerDone{true};
};
