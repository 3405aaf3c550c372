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

using TableReader = DWORD(WINAPI*)(PVOID, PDWORD, BOOL, ULONG, TCP_TABLE_CLASS, ULONG);

// GetExtendedTcpTable, looked up at its first use in the system's own
// iphlpapi.dll: Windows XP has it from Service Pack 2 on, and the program
// starts on earlier ones too; null where there is none.
TableReader ExtendedTcpTable() {
    static const TableReader reader = [] {
        char path[MAX_PATH];
        const UINT length = GetSystemDirectoryA(path, MAX_PATH);
        constexpr char Library[] = "\\iphlpapi.dll";
        if (length == 0 || length + sizeof Library > MAX_PATH) return TableReader{};
        std::memcpy(path + length, Library, sizeof Library);
        const HMODULE module = LoadLibraryA(path);  // kept to the process's end
        return module != nullptr
                   ? reinterpret_cast<TableReader>(GetProcAddress(module, "GetExtendedTcpTable"))
                   : TableReader{};
    }();
    return reader;
}

bool ReadTable(ULONG family, std::vector<char>& table) {
    const TableReader readTable = ExtendedTcpTable();
    if (readTable == nullptr) {
        TraceFailure("finding GetExtendedTcpTable", ERROR_PROC_NOT_FOUND);
        return false;
    }
    for (int attempt = 0; attempt < TableTries; ++attempt) {
        DWORD size = static_cast<DWORD>(table.size());
        const DWORD read = readTable(table.empty() ? nullptr : table.data(), &size, FALSE, family,
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

// The owner of the first row of the family's table that matches.
template <typename Table, typename Matches>
DWORD OwnerIn(ULONG family, Matches matches) {
    std::vector<char> table;
    if (!ReadTable(family, table)) return 0;
    const auto* rows = reinterpret_cast<const Table*>(table.data());
    for (DWORD i = 0; i < rows->dwNumEntries; ++i)
        if (matches(rows->table[i])) return rows->table[i].dwOwningPid;
    return 0;
}

// The other end's row: its local end is our peer, its remote end is us.
DWORD OwnerIn4(const sockaddr_in& peer, const sockaddr_in& local) {
    return OwnerIn<MIB_TCPTABLE_OWNER_PID>(AF_INET, [&](const MIB_TCPROW_OWNER_PID& row) {
        return row.dwLocalAddr == peer.sin_addr.s_addr && (row.dwLocalPort & 0xffff) == PortOf(peer.sin_port) &&
               row.dwRemoteAddr == local.sin_addr.s_addr && (row.dwRemotePort & 0xffff) == PortOf(local.sin_port);
    });
}

DWORD OwnerIn6(const sockaddr_in6& peer, const sockaddr_in6& local) {
    return OwnerIn<MIB_TCP6TABLE_OWNER_PID>(AF_INET6, [&](const MIB_TCP6ROW_OWNER_PID& row) {
        return std::memcmp(row.ucLocalAddr, &peer.sin6_addr, sizeof row.ucLocalAddr) == 0 &&
               (row.dwLocalPort & 0xffff) == PortOf(peer.sin6_port) &&
               std::memcmp(row.ucRemoteAddr, &local.sin6_addr, sizeof row.ucRemoteAddr) == 0 &&
               (row.dwRemotePort & 0xffff) == PortOf(local.sin6_port);
    });
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
