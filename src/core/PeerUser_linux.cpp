#include "core/PeerUser.h"

#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace orbisk {

namespace {
// How long the kernel may take to answer; it answers while the request is sent, so this
// only matters when something is badly wrong.
const int kNetlinkTimeoutMs = 1000;

// The netlink socket a thread asks the kernel through, kept for the thread's life: opening
// one for every request would cost about as much as the lookup itself. An answer that
// arrives too late for its request is told apart by its sequence number.
class DiagSocket
{
public:
    ~DiagSocket() { reset(); }

    // The socket, opened when needed; -1 when netlink cannot be used.
    int get()
    {
        if (m_fd < 0) {
            m_fd = socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
            timeval timeout{kNetlinkTimeoutMs / 1000, (kNetlinkTimeoutMs % 1000) * 1000};
            if (m_fd >= 0)
                setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
        }
        return m_fd;
    }

    // Closes the socket after a failure, so the next request starts afresh.
    void reset()
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
    }

    std::uint32_t nextSequence() { return ++m_iSequence; }

private:
    int m_fd = -1;
    std::uint32_t m_iSequence = 0;
};

thread_local DiagSocket t_diagSocket;

// An IPv4 address in the form a socket of iFamily stores it: as is, or IPv4-mapped.
void setDiagAddress(__be32 address[4], int iFamily, in_addr_t ipv4)
{
    if (iFamily == AF_INET) {
        address[0] = ipv4;
    } else {
        address[2] = htonl(0xFFFF);
        address[3] = ipv4;
    }
}

// Asks the kernel for the socket of iFamily whose own end is theirs and whose other end is
// ours: the peer's end of our connection. False when netlink cannot be used or does not
// know it.
bool askNetlink(int iFamily, const sockaddr_in& ours, const sockaddr_in& theirs, TcpSocketOwner& owner)
{
    const int netlink = t_diagSocket.get();
    if (netlink < 0)
        return false;
    struct
    {
        nlmsghdr header;
        inet_diag_req_v2 request;
    } message{};
    message.header.nlmsg_len = sizeof(message);
    message.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    message.header.nlmsg_flags = NLM_F_REQUEST;
    message.header.nlmsg_seq = t_diagSocket.nextSequence();
    message.request.sdiag_family = std::uint8_t(iFamily);
    message.request.sdiag_protocol = IPPROTO_TCP;
    message.request.idiag_states = ~0u;
    message.request.id.idiag_sport = theirs.sin_port;
    message.request.id.idiag_dport = ours.sin_port;
    setDiagAddress(message.request.id.idiag_src, iFamily, theirs.sin_addr.s_addr);
    setDiagAddress(message.request.id.idiag_dst, iFamily, ours.sin_addr.s_addr);
    message.request.id.idiag_cookie[0] = INET_DIAG_NOCOOKIE;
    message.request.id.idiag_cookie[1] = INET_DIAG_NOCOOKIE;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (sendto(netlink, &message, sizeof(message), 0, reinterpret_cast<const sockaddr*>(&kernel), sizeof(kernel))
        != ssize_t(sizeof(message))) {
        t_diagSocket.reset();
        return false;
    }

    // An exact lookup answers with one inet_diag_msg, or with an error (no such socket).
    for (;;) {
        alignas(nlmsghdr) char buffer[8192];
        const ssize_t iRead = recv(netlink, buffer, sizeof(buffer), 0);
        if (iRead < 0 && errno == EINTR)
            continue;
        if (iRead <= 0) {
            t_diagSocket.reset();
            return false;
        }
        int iLeft = int(iRead);
        for (auto* pHeader = reinterpret_cast<nlmsghdr*>(buffer); NLMSG_OK(pHeader, iLeft);
             pHeader = NLMSG_NEXT(pHeader, iLeft)) {
            if (pHeader->nlmsg_seq != message.header.nlmsg_seq)
                continue;
            if (pHeader->nlmsg_type != SOCK_DIAG_BY_FAMILY || pHeader->nlmsg_len < NLMSG_LENGTH(sizeof(inet_diag_msg)))
                return false;
            const auto* pAnswer = static_cast<const inet_diag_msg*>(NLMSG_DATA(pHeader));
            if (pAnswer->id.idiag_sport != theirs.sin_port || pAnswer->id.idiag_dport != ours.sin_port
                || std::memcmp(pAnswer->id.idiag_src, message.request.id.idiag_src, sizeof(pAnswer->id.idiag_src)) != 0
                || std::memcmp(pAnswer->id.idiag_dst, message.request.id.idiag_dst, sizeof(pAnswer->id.idiag_dst)) != 0)
                return false;
            owner.uid = pAnswer->idiag_uid;
            owner.inode = pAnswer->idiag_inode;
            return true;
        }
    }
}

std::string readWhole(const char* sPath)
{
    std::ifstream file(sPath);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The same lookup in the kernel's tables as text: every connection of the system is read.
bool readProcTables(const sockaddr_in& ours, const sockaddr_in& theirs, TcpSocketOwner& owner)
{
    const TcpEndpoint local{theirs.sin_addr.s_addr, ntohs(theirs.sin_port)};
    const TcpEndpoint remote{ours.sin_addr.s_addr, ntohs(ours.sin_port)};
    return findTcpSocketOwner(readWhole("/proc/net/tcp"), local, remote, owner)
        || findTcpSocketOwner(readWhole("/proc/net/tcp6"), local, remote, owner);
}
} // namespace

PeerUser peerUser(const sockaddr_in& ours, const sockaddr_in& theirs)
{
    static const uid_t s_ownUid = geteuid();
    if (ours.sin_family != AF_INET || theirs.sin_family != AF_INET)
        return PeerUser::Unknown;
    TcpSocketOwner owner;
    // A client's IPv6 socket reaches our IPv4 connection through an IPv4-mapped address.
    if (!askNetlink(AF_INET, ours, theirs, owner) && !askNetlink(AF_INET6, ours, theirs, owner)
        && !readProcTables(ours, theirs, owner))
        return PeerUser::Unknown;
    return peerUserOf(owner, s_ownUid);
}

} // namespace orbisk
