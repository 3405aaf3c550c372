// Winsock's sockets, owned: a socket closed when its owner goes, and Winsock
// itself started for as long as its owner lives. A socket is held as its
// handle's number, so that a header that includes <windows.h> first (which
// brings the older Winsock) can hold one.
#pragma once
#include <windows.h>

#include "win32/Scoped.h"

using SocketHandle = UINT_PTR;

void CloseSocketHandle(SocketHandle socket);
// Neither 0 nor INVALID_SOCKET.
bool HoldsSocketHandle(SocketHandle socket);
using ScopedSocket = ScopedValue<SocketHandle, CloseSocketHandle, HoldsSocketHandle>;

// Winsock 2.2, started on the first Start and cleaned up when the owner goes.
void CleanUpWinsock(bool started);
class WinsockUse {
public:
    // True when Winsock is started (now or before); the failure is traced.
    bool Start();

private:
    ScopedValue<bool, CleanUpWinsock> started_;
};
