"""Two programs that take the remote from the product's key server while a
phase runs (bench --server): a WinLIRC client and an IR Server Suite client
registered as Kodi registers. Neither reads until the end, when what each
got is counted: the key lines and the RemoteEvent frames."""

from __future__ import annotations

import socket
import struct

from winebench.surface import SURFACE
from winebench.wine import wait_for

SERVER = SURFACE["server"]
REGISTER_CLIENT, REMOTE_EVENT, REQUEST = 1, 11, 1
CONNECT_TIMEOUT_S = 30.0


def _connect(port: int) -> socket.socket:
    def attempt():
        try:
            return socket.create_connection(("127.0.0.1", port), timeout=CONNECT_TIMEOUT_S)
        except ConnectionRefusedError:
            return None
    return wait_for(attempt, CONNECT_TIMEOUT_S, message="the key server on port %d" % port)


class Clients:
    def __init__(self):
        self.lirc = _connect(SERVER["lirc_port"])
        self.irss = _connect(SERVER["irss_port"])
        self.irss.sendall(struct.pack(">I", 8) + struct.pack("<II", REGISTER_CLIENT, REQUEST))

    @staticmethod
    def _drain(sock: socket.socket) -> bytes:
        sock.setblocking(False)
        data = b""
        try:
            while True:
                more = sock.recv(1 << 16)
                if not more:
                    break
                data += more
        except BlockingIOError:
            pass
        return data

    def counts(self) -> dict:
        """What each got, and closes them."""
        lines = self._drain(self.lirc).count(b"\n")
        data, events = self._drain(self.irss), 0
        while len(data) >= 12:
            (length,) = struct.unpack(">I", data[:4])
            events += struct.unpack("<I", data[4:8])[0] == REMOTE_EVENT
            data = data[4 + length:]
        self.lirc.close()
        self.irss.close()
        return {"lirc_lines": lines, "irss_events": events}
