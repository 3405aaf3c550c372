// The process at the other end of a loopback TCP connection, from the
// system's table of connections and their owners (GetExtendedTcpTable). One
// call reads the whole table (about 10 ms under Wine): ask once per
// connection, not on every key.
#pragma once
#include <windows.h>

#include "win32/Sockets.h"

// The id of the process that owns the other end of the connected socket; 0
// when the system cannot tell (Wine tells it only once that end has sent
// something).
DWORD ProcessAtOtherEnd(SocketHandle socket);
