#include <winsock2.h>  // before <windows.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include "win32/ConnectionOwner.h"

#include <cstring>
#include <vector>

#include "win32/FailureTrace.h"

namespace {

// The table grows between the call that sizes it and the one that reads it
// when a connection is made meanwhile: a few tries.
constexpr int TableTries = 3;

bool ReadTable(ULONG family, std::vector<char>& table) {
    for (int attempt = 0; attempt < TableTries; ++attempt) {
        DWORD size = static_cast<DWORD>(table.size());
        const DWORD read = GetExtendedTcpTable(table.empty() ? nullptr : table.data(), &size, FALSE, family,
                                               TCP_TABLE_OWNER_PID_CONNECTIONS, 0);
        if (read == NO_ERROR) return true;
        if (read != ERROR_INSUFFICIENT_BUFFER) {
            TraceFailure("reading the table of TCP connections", read);
            return false;
        }
        table.resize(size);
    }
    return false;
}

// The rows name ports in network order in their low 16 bits.
DWORD PortOf(USHORT networkPort) { return networkPort; }

DWORD OwnerIn4(const sockaddr_in& peer, const sockaddr_in& local) {
    std::vector<char> table;
    if (!ReadTable(AF_INET, table)) return 0;
    const auto* rows = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(table.data());
    for (DWORD i = 0; i < rows->dwNumEntries; ++i) {
        const MIB_TCPROW_OWNER_PID& row = rows->table[i];
        if (row.dwLocalAddr == peer.sin_addr.s_addr && (row.dwLocalPort & 0xffff) == PortOf(peer.sin_port) &&
            row.dwRemoteAddr == local.sin_addr.s_addr && (row.dwRemotePort & 0xffff) == PortOf(local.sin_port))
            return row.dwOwningPid;
    }
    return 0;
}

DWORD OwnerIn6(const sockaddr_in6& peer, const sockaddr_in6& local) {
    std::vector<char> table;
    if (!ReadTable(AF_INET6, table)) return 0;
    const auto* rows = reinterpret_cast<const MIB_TCP6TABLE_OWNER_PID*>(table.data());
    for (DWORD i = 0; i < rows->dwNumEntries; ++i) {
        const MIB_TCP6ROW_OWNER_PID& row = rows->table[i];
        if (std::memcmp(row.ucLocalAddr, &peer.sin6_addr, sizeof row.ucLocalAddr) == 0 &&
            (row.dwLocalPort & 0xffff) == PortOf(peer.sin6_port) &&
            std::memcmp(row.ucRemoteAddr, &local.sin6_addr, sizeof row.ucRemoteAddr) == 0 &&
            (row.dwRemotePort & 0xffff) == PortOf(local.sin6_port))
            return row.dwOwningPid;
    }
    return 0;
}

}  // namespace

DWORD ProcessAtOtherEnd(SocketHandle socket) {
    sockaddr_storage peer = {};
    sockaddr_storage local = {};
    int peerSize = sizeof peer;
    int localSize = sizeof local;
    const SOCKET handle = static_cast<SOCKET>(socket);
    if (getpeername(handle, reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0 ||
        getsockname(handle, reinterpret_cast<sockaddr*>(&local), &localSize) != 0)
        return 0;
    if (peer.ss_family == AF_INET)
        return OwnerIn4(reinterpret_cast<const sockaddr_in&>(peer), reinterpret_cast<const sockaddr_in&>(local));
    if (peer.ss_family == AF_INET6)
        return OwnerIn6(reinterpret_cast<const sockaddr_in6&>(peer), reinterpret_cast<const sockaddr_in6&>(local));
    return 0;
}
