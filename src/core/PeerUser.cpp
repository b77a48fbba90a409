// The parts of telling the peer's user that read the same on every system.
#include "core/PeerUser.h"

#include <cstdlib>
#include <sstream>

namespace orbisk {

namespace {
// A whole field of hexadecimal digits; false for anything else or one too long for 32 bits.
bool parseHexWord(const std::string& sText, std::uint32_t& value)
{
    if (sText.empty() || sText.size() > 8 || sText.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    value = std::uint32_t(std::strtoul(sText.c_str(), nullptr, 16));
    return true;
}

// "0100007F:1F4F" (IPv4) or 32 digits and a port (IPv6): the address words as the kernel
// printed them, in the order it stores them.
bool parseEndpoint(const std::string& sField, TcpEndpoint& endpoint)
{
    const std::size_t iColon = sField.find(':');
    if (iColon == std::string::npos)
        return false;
    const std::string sAddress = sField.substr(0, iColon);
    std::uint32_t port = 0;
    if (!parseHexWord(sField.substr(iColon + 1), port) || port > 0xFFFF)
        return false;
    std::uint32_t words[4] = {};
    if (sAddress.size() == 8) {
        if (!parseHexWord(sAddress, words[0]))
            return false;
        endpoint.address = words[0];
    } else if (sAddress.size() == 32) {
        for (int i = 0; i < 4; ++i) {
            if (!parseHexWord(sAddress.substr(std::size_t(i) * 8, 8), words[i]))
                return false;
        }
        // Only ::ffff:a.b.c.d can be the other end of an IPv4 connection; the word holding
        // ffff is stored big-endian, so its value depends on the byte order of the system.
        const std::uint16_t probe = 1;
        const bool isLittleEndian = *reinterpret_cast<const unsigned char*>(&probe) == 1;
        if (words[0] != 0 || words[1] != 0 || words[2] != (isLittleEndian ? 0xFFFF0000u : 0x0000FFFFu))
            return false;
        endpoint.address = words[3];
    } else {
        return false;
    }
    endpoint.port = std::uint16_t(port);
    return true;
}

bool isSameEndpoint(const TcpEndpoint& a, const TcpEndpoint& b)
{
    return a.address == b.address && a.port == b.port;
}
} // namespace

PeerUser peerUserOf(const TcpSocketOwner& owner, std::uint32_t ownUid)
{
    if (owner.inode == 0)
        return PeerUser::Unknown;
    return owner.uid == ownUid ? PeerUser::Same : PeerUser::Other;
}

bool findTcpSocketOwner(
    const std::string& sTable, const TcpEndpoint& local, const TcpEndpoint& remote, TcpSocketOwner& owner)
{
    std::istringstream table(sTable);
    std::string sLine;
    // Fields: sl local_address rem_address st tx:rx tr:when retrnsmt uid timeout inode ...
    while (std::getline(table, sLine)) {
        std::istringstream line(sLine);
        std::string sSlot, sLocal, sRemote, sState, sQueues, sTimer, sRetransmits;
        std::string sUid, sTimeout, sInode;
        if (!(line >> sSlot >> sLocal >> sRemote >> sState >> sQueues >> sTimer >> sRetransmits >> sUid >> sTimeout
                >> sInode))
            continue;
        TcpEndpoint lineLocal;
        TcpEndpoint lineRemote;
        if (!parseEndpoint(sLocal, lineLocal) || !parseEndpoint(sRemote, lineRemote)
            || !isSameEndpoint(lineLocal, local) || !isSameEndpoint(lineRemote, remote))
            continue;
        if (sUid.find_first_not_of("0123456789") != std::string::npos
            || sInode.find_first_not_of("0123456789") != std::string::npos || sUid.size() > 10 || sInode.size() > 19)
            continue;
        const unsigned long long uid = std::strtoull(sUid.c_str(), nullptr, 10);
        if (uid > 0xFFFFFFFFull)
            continue;
        owner.uid = std::uint32_t(uid);
        owner.inode = std::strtoull(sInode.c_str(), nullptr, 10);
        return true;
    }
    return false;
}

} // namespace orbisk
