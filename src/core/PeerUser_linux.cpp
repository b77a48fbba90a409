#include "core/PeerUser.h"

#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>

namespace orbisk {

namespace {
// How long the kernel may take to answer; it answers while the request is sent, so this
// only matters when something is badly wrong.
const int kNetlinkTimeoutMs = 1000;

// Asks the kernel for the socket whose own end is theirs and whose other end is ours: the
// peer's end of our connection. False when netlink cannot be used or does not know it.
bool askNetlink(const sockaddr_in& ours, const sockaddr_in& theirs, TcpSocketOwner& owner)
{
    const int netlink = socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
    if (netlink < 0)
        return false;
    timeval timeout{kNetlinkTimeoutMs / 1000, (kNetlinkTimeoutMs % 1000) * 1000};
    setsockopt(netlink, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));

    struct
    {
        nlmsghdr header;
        inet_diag_req_v2 request;
    } message{};
    message.header.nlmsg_len = sizeof(message);
    message.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    message.header.nlmsg_flags = NLM_F_REQUEST;
    message.header.nlmsg_seq = 1;
    message.request.sdiag_family = AF_INET;
    message.request.sdiag_protocol = IPPROTO_TCP;
    message.request.idiag_states = ~0u;
    message.request.id.idiag_sport = theirs.sin_port;
    message.request.id.idiag_dport = ours.sin_port;
    message.request.id.idiag_src[0] = theirs.sin_addr.s_addr;
    message.request.id.idiag_dst[0] = ours.sin_addr.s_addr;
    message.request.id.idiag_cookie[0] = INET_DIAG_NOCOOKIE;
    message.request.id.idiag_cookie[1] = INET_DIAG_NOCOOKIE;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;

    bool isFound = false;
    if (sendto(netlink, &message, sizeof(message), 0, reinterpret_cast<const sockaddr*>(&kernel), sizeof(kernel))
        == ssize_t(sizeof(message))) {
        alignas(nlmsghdr) char buffer[8192];
        ssize_t iRead;
        do {
            iRead = recv(netlink, buffer, sizeof(buffer), 0);
        } while (iRead < 0 && errno == EINTR);
        int iLeft = int(iRead);
        // An exact lookup answers with one inet_diag_msg, or with an error.
        for (auto* pHeader = reinterpret_cast<nlmsghdr*>(buffer); iRead > 0 && NLMSG_OK(pHeader, iLeft);
             pHeader = NLMSG_NEXT(pHeader, iLeft)) {
            if (pHeader->nlmsg_type != SOCK_DIAG_BY_FAMILY || pHeader->nlmsg_len < NLMSG_LENGTH(sizeof(inet_diag_msg)))
                break;
            const auto* pAnswer = static_cast<const inet_diag_msg*>(NLMSG_DATA(pHeader));
            if (pAnswer->id.idiag_sport == theirs.sin_port && pAnswer->id.idiag_dport == ours.sin_port
                && pAnswer->id.idiag_src[0] == theirs.sin_addr.s_addr
                && pAnswer->id.idiag_dst[0] == ours.sin_addr.s_addr) {
                owner.uid = pAnswer->idiag_uid;
                owner.inode = pAnswer->idiag_inode;
                isFound = true;
            }
            break;
        }
    }
    close(netlink);
    return isFound;
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

PeerUser peerUser(::socket_t sock)
{
    sockaddr_in ours{};
    sockaddr_in theirs{};
    socklen_t iOursLength = sizeof(ours);
    socklen_t iTheirsLength = sizeof(theirs);
    if (getsockname(sock, reinterpret_cast<sockaddr*>(&ours), &iOursLength) != 0
        || getpeername(sock, reinterpret_cast<sockaddr*>(&theirs), &iTheirsLength) != 0 || ours.sin_family != AF_INET
        || theirs.sin_family != AF_INET || iOursLength != sizeof(ours) || iTheirsLength != sizeof(theirs))
        return PeerUser::Unknown;
    TcpSocketOwner owner;
    if (!askNetlink(ours, theirs, owner) && !readProcTables(ours, theirs, owner))
        return PeerUser::Unknown;
    return peerUserOf(owner, geteuid());
}

} // namespace orbisk
