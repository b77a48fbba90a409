#pragma once

#include <httplib.h>

#include <chrono>

namespace orbisk {

// httplib's server with one request per connection and a deadline for reading it (see
// ConnectionStream), so a worker is never held longer than the timeout by a client that
// sends slowly or not at all, and never held by an idle kept-alive connection.
class LocalHttpServer : public httplib::Server
{
public:
    // timeout: how long a connection may take to send its whole request, and how long
    // each write of the answer may wait.
    explicit LocalHttpServer(std::chrono::milliseconds timeout);

private:
    bool process_and_close_socket(::socket_t sock) override;

    const std::chrono::milliseconds m_timeout;
};

} // namespace orbisk
