#include <winsock2.h>  // before <windows.h>

#include "win32/Sockets.h"

#include "win32/FailureTrace.h"

namespace {

constexpr WORD WinsockVersion = MAKEWORD(2, 2);

}  // namespace

void CloseSocketHandle(SocketHandle socket) { closesocket(static_cast<SOCKET>(socket)); }

bool HoldsSocketHandle(SocketHandle socket) { return socket != 0 && socket != INVALID_SOCKET; }

void CleanUpWinsock(bool) { WSACleanup(); }

bool WinsockUse::Start() {
    if (started_) return true;
    WSADATA data;
    const int started = WSAStartup(WinsockVersion, &data);
    if (started != 0) {
        TraceFailure("starting Winsock", static_cast<DWORD>(started));
        return false;
    }
    *started_.Put() = true;
    return true;
}
