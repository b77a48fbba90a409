#include "core/PeerUser.h"

#include "platform/win/ProcessUser.h"

#include <iphlpapi.h>
#include <windows.h>

#include <cstring>
#include <vector>

namespace orbisk {

namespace {
// The system's table of TCP connections of iFamily with their owning processes, read into
// a buffer each thread keeps: the table's size changes little from one request to the next,
// so one call usually suffices where a fresh buffer needs two (size, then rows). Empty when
// the table cannot be read.
const std::vector<unsigned char>& connectionTable(ULONG iFamily)
{
    thread_local std::vector<unsigned char> t_tables[2];
    std::vector<unsigned char>& table = t_tables[iFamily == AF_INET6 ? 1 : 0];
    table.resize(table.capacity());
    DWORD iSize = DWORD(table.size());
    DWORD iResult = ERROR_INSUFFICIENT_BUFFER;
    // The table may grow between asking its size and reading it.
    for (int iTry = 0; iTry < 4 && iResult == ERROR_INSUFFICIENT_BUFFER; ++iTry) {
        if (iSize > table.size())
            table.resize(iSize);
        iResult = GetExtendedTcpTable(
            table.empty() ? nullptr : table.data(), &iSize, FALSE, iFamily, TCP_TABLE_OWNER_PID_CONNECTIONS, 0);
    }
    if (iResult != NO_ERROR)
        table.clear();
    return table;
}

// Whether a 16-byte IPv6 address is ipv4 mapped (::ffff:a.b.c.d).
bool isMapped(const UCHAR address[16], const in_addr& ipv4)
{
    static const UCHAR kPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    return std::memcmp(address, kPrefix, sizeof(kPrefix)) == 0 && std::memcmp(address + 12, &ipv4, 4) == 0;
}

// The owner of the first row of the table of iFamily (of type Table) that isPeerEnd accepts.
template <typename Table, typename IsPeerEnd>
std::optional<unsigned long> ownerOfRow(ULONG iFamily, IsPeerEnd isPeerEnd)
{
    const std::vector<unsigned char>& bytes = connectionTable(iFamily);
    if (bytes.size() < sizeof(Table))
        return std::nullopt;
    const auto* pTable = reinterpret_cast<const Table*>(bytes.data());
    for (DWORD i = 0; i < pTable->dwNumEntries; ++i) {
        if (isPeerEnd(pTable->table[i]))
            return pTable->table[i].dwOwningPid;
    }
    return std::nullopt;
}

} // namespace

// The peer's end of our connection is the row whose own end is theirs and whose other end
// is ours, on an IPv4 socket or on an IPv6 socket through IPv4-mapped addresses. Ports in
// the tables are in network byte order.
std::optional<unsigned long> owningProcessOf(const sockaddr_in& ours, const sockaddr_in& theirs)
{
    const auto isSamePorts = [&](const auto& row) {
        return u_short(row.dwLocalPort) == theirs.sin_port && u_short(row.dwRemotePort) == ours.sin_port;
    };
    const std::optional<unsigned long> owner4
        = ownerOfRow<MIB_TCPTABLE_OWNER_PID>(AF_INET, [&](const MIB_TCPROW_OWNER_PID& row) {
              return row.dwLocalAddr == theirs.sin_addr.s_addr && row.dwRemoteAddr == ours.sin_addr.s_addr
                  && isSamePorts(row);
          });
    if (owner4)
        return owner4;
    return ownerOfRow<MIB_TCP6TABLE_OWNER_PID>(AF_INET6, [&](const MIB_TCP6ROW_OWNER_PID& row) {
        return isMapped(row.ucLocalAddr, theirs.sin_addr) && isMapped(row.ucRemoteAddr, ours.sin_addr)
            && isSamePorts(row);
    });
}

PeerUser peerUser(const sockaddr_in& ours, const sockaddr_in& theirs)
{
    if (ours.sin_family != AF_INET || theirs.sin_family != AF_INET)
        return PeerUser::Unknown;
    const std::optional<unsigned long> owner = owningProcessOf(ours, theirs);
    // A row owned by process 0 names nobody: a connection that no process holds any more
    // (TIME_WAIT), or a system that does not tell (Wine reports 0 for every connection).
    if (!owner || *owner == 0)
        return PeerUser::Unknown;
    switch (platform::win::userOfProcess(DWORD(*owner))) {
    case platform::win::ProcessUser::CurrentUser:
        return PeerUser::Same;
    case platform::win::ProcessUser::OtherUser:
        return PeerUser::Other;
    case platform::win::ProcessUser::Unknown:
        break;
    }
    // Another user's process usually refuses to be opened; that, too, leaves the user unknown.
    return PeerUser::Unknown;
}

} // namespace orbisk
