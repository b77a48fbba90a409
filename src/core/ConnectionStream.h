#pragma once

#include <httplib.h>

#include <chrono>
#include <string>
#include <string_view>

namespace orbisk {

// This stream and LocalHttpServer override httplib's Stream and call Server::process_request
// as the 0.11 series has them; later series renamed and added pure virtual functions and
// changed process_request. Debian 12 ships 0.11.4 and vcpkg.json pins the same version for
// Windows, so a build against another series stops here with the reason.
static_assert(std::string_view(CPPHTTPLIB_VERSION).substr(0, 5) == "0.11.",
    "the local service is written against cpp-httplib 0.11 (vcpkg.json pins it on Windows)");

// One accepted connection of the local service as httplib reads and writes it, with a
// deadline for the whole request: a client that sends its request slowly, a byte at a
// time, or not at all, loses its connection when the deadline passes, however often it
// sends something. Bytes already received from the connection are read first.
// What is written is collected and sent by flush(), so an answer leaves in one piece
// (larger ones in pieces of kSendChunk); each send waits at most the write timeout for
// room in the socket. The addresses of both ends are given, not asked of the system for
// every request. The stream does not own the socket.
class ConnectionStream : public httplib::Stream
{
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::size_t kSendChunk = 64 * 1024;

    ConnectionStream(::socket_t sock, const sockaddr_in& local, const sockaddr_in& remote,
        Clock::time_point readDeadline, std::chrono::milliseconds writeTimeout, std::string received = {});

    // Sends everything written so far; false when the connection failed or did not take
    // it in time (what was not sent is dropped).
    bool flush();

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* pData, size_t size) override;
    ssize_t write(const char* pData, size_t size) override;
    void get_remote_ip_and_port(std::string& sIp, int& iPort) const override;
    void get_local_ip_and_port(std::string& sIp, int& iPort) const override;
    ::socket_t socket() const override;

private:
    // Milliseconds left until the read deadline; 0 once it has passed.
    int readTimeLeftMs() const;

    const ::socket_t m_socket;
    const sockaddr_in m_local;
    const sockaddr_in m_remote;
    const Clock::time_point m_readDeadline;
    const int m_iWriteTimeoutMs;
    const std::string m_received;
    std::size_t m_iReceivedRead = 0;
    std::string m_pending;
    bool m_isFailed = false;
};

} // namespace orbisk
