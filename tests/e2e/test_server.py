"""Other programs take the remote's keys through the loopback: WinLIRC's text
protocol and IR Server Suite's frames, read by Python clients (and by a
Windows client whose window is in front) while the card's keys are tapped
and held.

The expected bytes are written here from the protocols' own sources: the key
line "%016llx %02x %s %s\\n" and the BEGIN/SUCCESS/ERROR/DATA/END packets as
lircd.c writes them (its broadcast, send_success, send_error,
send_remote_list, send_remote and send_name); the frames as Kodi's
xbmc/input/windows/IRServerSuite.cpp and IrssMessage.cpp read and write them
(a big-endian length, then type and flags little-endian, then the payload;
RemoteEvent's device and key each after a little-endian length). The button
names are the Linux input events' (linux/input-event-codes.h) and those of
the "Abstract" remote in Kodi's system/IRSSmap.xml.
"""

from __future__ import annotations

import random
import socket
import struct
from typing import List

import psutil
import pytest

from remote_steps import (assert_effects, assert_polls_on, hold, install, main_window, opened_bench,
                          player, press, repeat_counts, start_remote)
from winebench.surface import KEYS, SURFACE
from winebench.wine import wait_for

SERVER = SURFACE["server"]
LIRC, IRSS = SERVER["lirc_port"], SERVER["irss_port"]
REMOTE = "Marlow"                        # the README's remote name
VERSION = "3.1.0.0"                      # the About dialog's
REGISTER_CLIENT, SERVER_SHUTDOWN, SERVER_SUSPEND, SERVER_RESUME, REMOTE_EVENT = 1, 8, 9, 10, 11
WM_POWERBROADCAST, PBT_APMSUSPEND, PBT_APMRESUMESUSPEND = 0x218, 4, 7
REQUEST, RESPONSE, NOTIFY, SUCCESS = 0x1, 0x2, 0x4, 0x8
LOOPBACK = {"127.0.0.1", "::1"}
EFFECTS_OF_A_KEY = ("SetCursorPos", "keybd_event", "mouse_event", "PostMessageA", "SendInput")
HELD_LONG_MS = 10000


def key_line(label: str, count: int, button: str) -> str:
    return "%016x %02x %s %s\n" % (KEYS[label], count, button, REMOTE)


def connect(port: int, host: str = "127.0.0.1", timeout: float = 20.0) -> socket.socket:
    """A connection, once the program listens."""
    def attempt():
        try:
            return socket.create_connection((host, port), timeout=timeout)
        except ConnectionRefusedError:
            return None
    return wait_for(attempt, timeout, message="the program listening on %d" % port)


class Lirc:
    """A WinLIRC client that splits what it receives into lines."""

    def __init__(self, host: str = "127.0.0.1"):
        self.socket = connect(LIRC, host)
        self.text = ""

    def send(self, line: str) -> None:
        self.socket.sendall(line.encode("ascii") + b"\n")

    def lines(self, count: int, timeout: float = 20.0) -> List[str]:
        """The next `count` lines, each with its LF."""
        self.socket.settimeout(timeout)
        while self.text.count("\n") < count:
            data = self.socket.recv(65536)
            assert data, "the program closed the connection"
            self.text += data.decode("ascii")
        lines = self.text.splitlines(keepends=True)
        self.text = "".join(lines[count:])
        return lines[:count]

    def packet(self) -> str:
        """The next reply packet, BEGIN to END."""
        lines = self.lines(1)
        while lines[-1] != "END\n":
            lines += self.lines(1)
        return "".join(lines)


def frame(kind: int, flags: int, payload: bytes = b"") -> bytes:
    return struct.pack(">I", 8 + len(payload)) + struct.pack("<II", kind, flags) + payload


def read_frame(sock: socket.socket, timeout: float = 20.0) -> tuple:
    """(type, flags, payload) of the next frame."""
    sock.settimeout(timeout)

    def exactly(n: int) -> bytes:
        data = b""
        while len(data) < n:
            more = sock.recv(n - len(data))
            assert more, "the program closed the connection"
            data += more
        return data
    (length,) = struct.unpack(">I", exactly(4))
    message = exactly(length)
    kind, flags = struct.unpack("<II", message[:8])
    return kind, flags, message[8:]


def remote_event(payload: bytes) -> tuple:
    """(device, key) of a RemoteEvent's payload."""
    (n,) = struct.unpack("<I", payload[:4])
    device = payload[4:4 + n]
    (m,) = struct.unpack("<I", payload[4 + n:8 + n])
    assert len(payload) == 8 + n + m
    return device.decode("ascii"), payload[8 + n:].decode("ascii")


def closed_by_program(sock: socket.socket, timeout: float = 20.0) -> bool:
    """True once the program has closed the connection (what it sent before is read)."""
    sock.settimeout(timeout)
    try:
        while sock.recv(65536):
            pass
    except ConnectionResetError:
        pass
    return True


def traced(product, what: str, since: int = 0) -> list:
    return [c for c in product.trace.calls("OutputDebugStringA", since=since) if what in str(c.args[0])]


@pytest.fixture(scope="class")
def desk(wine, tmp_path_factory):
    """The program with Server on, polling the card; no TV application."""
    with opened_bench(wine, tmp_path_factory.mktemp("server"), ("kernel32.OutputDebugStringA",)) as bench:
        product, card = start_remote(bench, Server=1)
        yield bench, product, card


class TestWithTheServerOn:
    def test_a_tap_is_one_line_and_a_held_key_counts_the_reads_of_its_press(self, desk):
        _, _, card = desk
        client, over_ipv6 = Lirc(), Lirc("::1")
        press(card, KEYS["Play"])
        assert client.lines(1) == over_ipv6.lines(1) == [key_line("Play", 0, "KEY_PLAY")]
        for label, button in (("OK", "KEY_OK"), ("Ch+", "KEY_CHANNELUP"), ("5", "KEY_5")):
            press(card, KEYS[label])
            assert client.lines(1) == [key_line(label, 0, button)]

        reads = hold(card, KEYS["Vol+"], 900)
        counts = repeat_counts(reads)
        assert counts[:3] == [0, 1, 2]
        assert client.lines(len(reads)) == [key_line("Vol+", c, "KEY_VOLUMEUP") for c in counts]

    def test_version_and_list_are_answered_and_sending_is_an_error_never_inside_key_lines(self, desk):
        _, _, card = desk
        client = Lirc()
        client.send("VERSION")
        assert client.packet() == "BEGIN\nVERSION\nSUCCESS\nDATA\n1\n%s\nEND\n" % VERSION
        client.send("LIST")
        assert client.packet() == "BEGIN\nLIST\nSUCCESS\nDATA\n1\n%s\nEND\n" % REMOTE
        client.send("LIST %s KEY_PLAY" % REMOTE)
        assert client.packet() == ("BEGIN\nLIST %s KEY_PLAY\nSUCCESS\nDATA\n1\n%016x KEY_PLAY\nEND\n"
                                   % (REMOTE, KEYS["Play"]))
        client.send("SEND_ONCE %s KEY_PLAY" % REMOTE)
        error = client.packet().splitlines()
        assert error[:5] == ["BEGIN", "SEND_ONCE %s KEY_PLAY" % REMOTE, "ERROR", "DATA", "1"]
        assert len(error) == 7 and error[6] == "END"

        # Whole packets among the lines of a held key.
        card.feed.hold(KEYS["Vol+"], 1500)
        for _ in range(5):
            client.send("LIST %s" % REMOTE)
        keys, packets = 0, 0
        while packets < 5:
            line = client.lines(1)[0]
            if line.endswith(" %s\n" % REMOTE):
                keys += 1
                continue
            assert line == "BEGIN\n"
            body = client.lines(4 + len(KEYS) + 1)
            assert body[:4] == ["LIST %s\n" % REMOTE, "SUCCESS\n", "DATA\n", "%d\n" % len(KEYS)]
            assert "%016x KEY_VOLUMEUP\n" % KEYS["Vol+"] in body and body[-1] == "END\n"
            assert all(len(line.split()) == 2 for line in body[4:-1])
            packets += 1
        card.feed.hold(KEYS["Vol+"], 0)  # up again, and its last read handled
        press(card, KEYS["Mute"])

    def test_kodis_client_registers_and_gets_abstract_events(self, desk):
        _, _, card = desk
        kodi = connect(IRSS)
        kodi.sendall(frame(REGISTER_CLIENT, REQUEST))
        kind, flags, _ = read_frame(kodi)
        assert kind == REGISTER_CLIENT and flags & (RESPONSE | SUCCESS) == RESPONSE | SUCCESS
        for label, name in (("OK", "OK"), ("Ch+", "ChannelUp"), ("5", "Number5"), ("Play", "Play"),
                            ("Vol-", "VolumeDown")):
            press(card, KEYS[label])
            kind, flags, payload = read_frame(kodi)
            assert (kind, flags, remote_event(payload)) == (REMOTE_EVENT, NOTIFY, ("Abstract", name))
        # Vol- may have opened the shutdown dialog (it was sent all the same); a new press closes it.
        press(card, KEYS["Mute"])
        assert remote_event(read_frame(kodi)[2]) == ("Abstract", "Mute")

    def test_it_listens_on_the_loopback_alone(self, desk):
        listening = [c.laddr for c in psutil.net_connections(kind="inet")
                     if c.status == psutil.CONN_LISTEN and c.laddr.port in (LIRC, IRSS)]
        assert {a.ip for a in listening} <= LOOPBACK
        assert {(a.ip, a.port) for a in listening} >= {("127.0.0.1", LIRC), ("127.0.0.1", IRSS)}
        outside = [a.address for addresses in psutil.net_if_addrs().values() for a in addresses
                   if a.family in (socket.AF_INET, socket.AF_INET6) and a.address.split("%")[0] not in LOOPBACK]
        for address in outside:
            for port in (LIRC, IRSS):
                with pytest.raises(OSError):
                    socket.create_connection((address, port), timeout=5).close()

    def test_a_ninth_a_stalled_and_a_noisy_client_hold_up_neither_the_pointer_nor_the_others(self, desk):
        bench, product, card = desk
        mark = product.trace.mark()
        readers = [Lirc(), Lirc()]
        stalled = socket.socket()
        stalled.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
        stalled.connect(("127.0.0.1", LIRC))
        noisy = connect(IRSS)
        idle = [connect(LIRC) for _ in range(2)] + [connect(IRSS) for _ in range(2)]
        ninth = connect(LIRC)
        assert closed_by_program(ninth)
        assert traced(product, "beyond the programs allowed", mark)
        assert traced(product, "it has sent nothing yet", mark)  # Wine's answer for a silent client

        try:
            noisy.sendall(random.Random(34).randbytes(1 << 20))
        except OSError:
            pass  # dropped before the last of it
        assert closed_by_program(noisy)
        assert traced(product, "frame", mark)
        # A client that asks and never reads what it is answered.
        stalled.sendall(("LIST %s\n" % REMOTE).encode("ascii") * 400)

        reads = hold(card, KEYS["Vol+"], HELD_LONG_MS)
        expected = [key_line("Vol+", c, "KEY_VOLUMEUP") for c in repeat_counts(reads)]
        for reader in readers:
            assert reader.lines(len(expected)) == expected
        wait_for(lambda: traced(product, "stopped reading", mark), message="the stalled client dropped")
        assert_polls_on(bench, product, card)
        for sock in [stalled, *idle]:
            sock.close()

    def test_a_key_with_a_clients_window_in_front_goes_to_the_clients_alone(self, desk):
        bench, product, card = desk
        reader = Lirc()
        client = install(bench, "lircapp.exe", {"window": ("LircApp", "A LIRC client"), "lirc_port": LIRC})
        client.start()
        bench.to_front(client.hwnd())

        def received():
            return "".join(e["text"] for e in client.log() if e.get("ev") == "lirc_received")
        wait_for(lambda: "VERSION" in received(), message="the client's VERSION answered")
        bench.probe.set_cursor(500, 400)
        mark = product.trace.mark()
        press(card, KEYS["3"])  # the pointer's up
        assert reader.lines(1) == [key_line("3", 0, "KEY_3")]
        wait_for(lambda: key_line("3", 0, "KEY_3") in received(), message="the key, to the client in front")
        assert_effects(product, mark, [], also=EFFECTS_OF_A_KEY)

        player(bench, "vlc.exe")  # in front, and no client
        x, y = bench.probe.set_cursor(500, 400)
        mark = product.trace.mark()
        press(card, KEYS["3"])
        assert reader.lines(1) == [key_line("3", 0, "KEY_3")]
        assert_effects(product, mark, [("SetCursorPos", (x, y - 1))])

    def test_kodis_client_is_told_of_a_sleep_and_of_the_end(self, desk):
        bench, product, _ = desk
        kodi = connect(IRSS)
        kodi.sendall(frame(REGISTER_CLIENT, REQUEST))
        assert read_frame(kodi)[0] == REGISTER_CLIENT
        for event, told in ((PBT_APMSUSPEND, SERVER_SUSPEND), (PBT_APMRESUMESUSPEND, SERVER_RESUME)):
            bench.probe.post(main_window(product), WM_POWERBROADCAST, event)
            assert read_frame(kodi)[:2] == (told, NOTIFY)
        product.stop()
        assert read_frame(kodi)[:2] == (SERVER_SHUTDOWN, NOTIFY)
        assert closed_by_program(kodi)


def test_without_the_setting_nothing_listens(bench):
    start_remote(bench)
    for port in (LIRC, IRSS):
        with pytest.raises(ConnectionRefusedError):
            socket.create_connection(("127.0.0.1", port), timeout=5).close()
