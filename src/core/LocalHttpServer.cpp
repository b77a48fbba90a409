#include "core/LocalHttpServer.h"

#include "core/ConnectionStream.h"
#include "core/LocalSocket.h"

namespace orbisk {

LocalHttpServer::LocalHttpServer(std::chrono::milliseconds timeout)
    : m_timeout(timeout)
{ }

bool LocalHttpServer::process_and_close_socket(::socket_t sock)
{
    ConnectionStream stream(sock, ConnectionStream::Clock::now() + m_timeout, m_timeout);
    bool isConnectionClosed = false;
    const bool isAnswered = process_request(stream, true, isConnectionClosed,
        [&stream](httplib::Request& req) { stream.get_remote_ip_and_port(req.remote_addr, req.remote_port); });
    closeConnection(sock);
    return isAnswered;
}

} // namespace orbisk
