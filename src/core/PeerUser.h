// Whose process is at the other end of a loopback connection of the local service.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#else
#include <netinet/in.h>
#endif

#include <cstdint>
#include <optional>
#include <string>

namespace orbisk {

enum class PeerUser {
    Same, // a process of the user who runs this client
    Other, // a process of another user of this computer
    Unknown, // the system did not tell, or no process holds the other end any more
};

// The user of the process at the other end of an accepted loopback TCP connection over
// IPv4, given by the addresses of this process's end (ours) and of the other end (theirs),
// compared with the user of this process. The peer's socket may be IPv4 or IPv6
// with IPv4-mapped addresses. Linux asks the kernel for the peer's socket in one netlink
// round trip (a second for an IPv6 peer) and reads /proc/net/tcp only when netlink fails;
// Windows looks up the process that owns the peer's end in the system's connection tables
// and compares the users of the two processes' tokens.
PeerUser peerUser(const sockaddr_in& ours, const sockaddr_in& theirs);

#ifdef _WIN32
// The id of the process that holds the peer's end of our connection, as the system's
// connection tables name it (0 when they name none); empty when no table holds it.
std::optional<unsigned long> owningProcessOf(const sockaddr_in& ours, const sockaddr_in& theirs);
#endif

// One end of an IPv4 TCP connection: the address as it is stored in the socket address
// (network byte order) and the port in host byte order.
struct TcpEndpoint
{
    std::uint32_t address = 0;
    std::uint16_t port = 0;
};

// What the system tells about the socket at the peer's end.
struct TcpSocketOwner
{
    std::uint32_t uid = 0; // the user who created the socket
    std::uint64_t inode = 0; // 0: no process holds the socket any more
};

// The verdict on a socket the system described: a socket no process holds (one its process
// closed, which the kernel reports with the user 0) tells nothing about who asked.
PeerUser peerUserOf(const TcpSocketOwner& owner, std::uint32_t ownUid);

// Looks up, in the text of /proc/net/tcp or /proc/net/tcp6, the socket whose own end is
// local and whose other end is remote (IPv6 lines match by their IPv4-mapped addresses).
// False when no well-formed line names that socket.
bool findTcpSocketOwner(
    const std::string& sTable, const TcpEndpoint& local, const TcpEndpoint& remote, TcpSocketOwner& owner);

} // namespace orbisk
