#include "core/ValtroHttpd.h"

#include "core/LocalHttpServer.h"
#include "core/LocalOrigins.h"
#include "core/LocalServiceHandler.h"
#include "core/PeerUser.h"
#include "core/ValtroPortal.h"

#include <QDebug>

#include <chrono>
#include <memory>
#include <string>

namespace {
using orbisk::LocalRequest;
using orbisk::LocalResponse;
using orbisk::LocalServiceHandler;

LocalRequest toLocalRequest(const httplib::Request& req)
{
    LocalRequest request;
    request.method = req.method;
    request.path = req.path;
    request.headers.assign(req.headers.begin(), req.headers.end());
    request.body = req.body;
    return request;
}

void applyResponse(const LocalResponse& answer, httplib::Response& res)
{
    res.status = answer.status;
    for (const auto& header : answer.headers)
        res.set_header(header.first, header.second);
    if (!answer.contentType.empty())
        res.set_content(answer.body, answer.contentType.c_str());
}

// A refusal as the whole HTTP message, sent without reading the request.
std::string forbiddenMessage(const LocalResponse& answer)
{
    std::string sMessage = "HTTP/1.1 403 Forbidden\r\nContent-Type: " + answer.contentType
        + "\r\nContent-Length: " + std::to_string(answer.body.size()) + "\r\nConnection: close\r\n";
    for (const auto& header : answer.headers)
        sMessage += header.first + ": " + header.second + "\r\n";
    return sMessage + "\r\n" + answer.body;
}

// Only the processes of the user who runs this client are answered: on a computer shared by
// several users, another user's page or program must neither read this user's device
// identity nor switch this user's page off. A request's headers cannot prove anything here,
// so the kernel is asked who holds the other end of the connection.
orbisk::LocalHttpServer::CallerCheck callerCheck()
{
    const std::string sOtherUser = forbiddenMessage(LocalServiceHandler::callerRefusal(true));
    const std::string sUnknownUser = forbiddenMessage(LocalServiceHandler::callerRefusal(false));
    return [sOtherUser, sUnknownUser](const sockaddr_in& local, const sockaddr_in& remote) {
        switch (orbisk::peerUser(local, remote)) {
        case orbisk::PeerUser::Same:
            return std::string();
        case orbisk::PeerUser::Other:
            return sOtherUser;
        case orbisk::PeerUser::Unknown:
            break;
        }
        qWarning() << "ValtroHttpd: refused a request because the system did not tell which user's process sent it";
        return sUnknownUser;
    };
}

void configure(orbisk::LocalHttpServer& server, const LocalServiceHandler& handler)
{
    server.setCallerCheck(callerCheck());

    // httplib refuses a larger body with 413 before reading it.
    server.set_payload_max_length(LocalServiceHandler::kMaxBodyBytes);

    // No routes are registered, so every request that httplib has parsed, body included,
    // falls through its routing as a 404 and arrives here, where the one request handling
    // answers it. Any other status is httplib's own refusal of a malformed request and
    // keeps its status.
    const httplib::Server::HandlerWithResponse answer = [handler](const httplib::Request& req, httplib::Response& res) {
        const LocalRequest request = toLocalRequest(req);
        applyResponse(res.status == 404 ? handler.handle(request) : handler.refusal(request, res.status), res);
        return httplib::Server::HandlerResponse::Handled;
    };
    server.set_error_handler(answer);
}
} // namespace

ValtroHttpd::ValtroHttpd(ValtroCore* pCore, ValtroPortal* pPortal)
    : m_pCore(pCore)
    , m_pPortal(pPortal)
{
    bool isNumber = false;
    const uint iPort = qEnvironmentVariable(kPortVariable).toUInt(&isNumber);
    if (isNumber && iPort > 0 && iPort <= 65535)
        m_iPort = quint16(iPort);
}

ValtroHttpd::~ValtroHttpd()
{
    StopHttpdServer();
}

void ValtroHttpd::setPort(quint16 iPort)
{
    m_iPort = iPort;
}

void ValtroHttpd::setAllowedOrigins(AllowedOrigins allowedOrigins)
{
    m_allowedOrigins = allowedOrigins ? std::move(allowedOrigins) : AllowedOrigins([] { return orbisk::OriginSet(); });
}

quint16 ValtroHttpd::port() const
{
    return m_iPort;
}

int ValtroHttpd::StartHttpdServer(int iTimeoutMs)
{
    if (isListening())
        return StartAlreadyRunning;
    if (iTimeoutMs < kMinTimeoutMs || iTimeoutMs > kMaxTimeoutMs) {
        qWarning() << "ValtroHttpd: timeout" << iTimeoutMs << "ms is outside" << kMinTimeoutMs << ".." << kMaxTimeoutMs;
        return StartInvalidTimeout;
    }
    if (!m_pCore || !m_pPortal || m_pPortal->core() != m_pCore) {
        qWarning() << "ValtroHttpd: started without the core and its portal";
        return StartMissingServices;
    }
    const LocalServiceHandler handler(*m_pPortal, m_allowedOrigins, m_iPort);
    auto pServer = std::make_unique<orbisk::LocalHttpServer>(std::chrono::milliseconds(iTimeoutMs), kWorkerThreads);
    configure(*pServer, handler);
    // Not logged here: the caller may try again (see LocalServiceStarter) and logs the outcome.
    if (!pServer->start(orbisk::kLocalServiceHost, m_iPort))
        return StartCannotListen;
    m_pServer = std::move(pServer);
    return StartListening;
}

void ValtroHttpd::StopHttpdServer()
{
    if (!m_pServer)
        return;
    m_pServer->stop();
    m_pServer.reset();
}

bool ValtroHttpd::isListening() const
{
    return m_pServer && m_pServer->isServing();
}
