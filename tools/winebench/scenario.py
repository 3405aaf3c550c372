"""The product on the bench: emulated cards, fake TV applications, settings,
and MarlowRemote.exe started (optionally under the relay trace) and stopped.

`Bench` is what the e2e fixtures hand to tests (players other than the TV
applications are the fake application under their file names, and
profiles.ini is the user's file of the prefix); `python3 -m winebench.scenario
run` (with tools/ on PYTHONPATH) is what scripts/run.sh uses to show the
product to a person.
"""

from __future__ import annotations

import argparse
import os
import shlex
import shutil
import signal
import subprocess
import sys
from dataclasses import dataclass, replace
from pathlib import Path
from typing import Dict, Iterable, List, Mapping, Optional, Sequence, Union

from . import cardemu, fakeapp
from .probe import Probe
from .trace import DEFAULT_FUNCTIONS, NIM_ADD, RELAY_WINEDEBUG, Trace, relay_reg
from .surface import APPS, COMMANDS, SETTINGS
from .wine import BUILD_DIR, REPO_ROOT, WIDTH, WINE, RawReg, WineEnv, Xvfb, reg_text, wait_for

PRODUCT_EXE = "MarlowRemote.exe"
REMOTE_EXE = "VirtualRemote.exe"
MAIN_WINDOW_CLASS = "Marlow Remote Control"
KEY_DISPLAY_CLASS = MAIN_WINDOW_CLASS + " Key Display"  # titled with the text it shows
SETTINGS_KEY = "HKEY_LOCAL_MACHINE\\" + SETTINGS["key"]
DEFAULT_CARD_NAME = "Philips Silicon (7171-35) WDM Video Capture"
PROFILES_FOLDER = "Marlow Remote Control"  # under the user's %APPDATA%
PROFILES_FILE = "profiles.ini"
WM_COMMAND = 0x0111
IDM_QUIT_FROM_OUTSIDE = COMMANDS["quit_from_outside"]
ALL_APPS = tuple(APPS)  # the program's applications, by short name
_PAGE = 4096

_CAPTURE_INSTANCES = r"HKEY_CLASSES_ROOT\CLSID\%s\Instance" % cardemu.KSCATEGORY_CAPTURE

RegData = Union[str, int, bytes, RawReg]


def default_bin_dir() -> Path:
    """$MARLOW_BIN_DIR, else the bin folder of the build tree of the width
    under test (build/bin, or build64/bin at 64)."""
    return Path(os.environ.get("MARLOW_BIN_DIR", BUILD_DIR / "bin"))


class ProductExited(RuntimeError):
    """The product ended while the bench waited for something else."""


@dataclass
class Card:
    """An emulated card as registered: its device entry, key feed and log."""

    device: cardemu.Device
    feed: cardemu.Feed
    log_path: Path

    def log(self) -> list:
        return cardemu.read_log(self.log_path)


class Product:
    """One started MarlowRemote.exe."""

    def __init__(self, bench: "Bench", proc: subprocess.Popen, stderr_path: Path,
                 trace: Optional[Trace]):
        self.bench = bench
        self.proc = proc
        self.stderr_path = stderr_path
        self.trace = trace

    @property
    def exit_code(self) -> Optional[int]:
        """The exit code (modulo 256), None while it runs."""
        return self.proc.poll()

    def running(self) -> bool:
        return self.proc.poll() is None

    def windows(self) -> List[dict]:
        """Its main windows (by class; by process too when the trace tells
        the process id)."""
        found = self.bench.probe.find(cls=MAIN_WINDOW_CLASS)
        pid = self.trace.main_pid if self.trace else None
        return [w for w in found if pid is None or w["pid"] == pid]

    def _up(self):
        if not self.running():
            raise ProductExited("%s ended with code %s before it was up; stderr: %s"
                                % (PRODUCT_EXE, self.exit_code, self.stderr_tail()))
        return (self.trace is not None and self.tray_added()) or self.windows()

    def tray_added(self) -> bool:
        return any(c.args and c.dword(0) == NIM_ADD for c in self.trace.calls("Shell_NotifyIconA"))

    def wait_up(self, timeout: float = 30.0) -> None:
        """Waits until its main window exists or its tray icon was added."""
        wait_for(self._up, timeout, message="%s up" % PRODUCT_EXE)

    def wait_exit(self, timeout: float = 30.0) -> int:
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise TimeoutError("%s still running after %.1f s" % (PRODUCT_EXE, timeout)) from None

    def stop(self, timeout: float = 15.0) -> int:
        """Asks the product to quit (its "quit from outside" command) and
        returns its exit code; kills it if it does not end in time."""
        if self.running():
            for window in self.windows():
                self.bench.probe.post(window["hwnd"], WM_COMMAND, IDM_QUIT_FROM_OUTSIDE, 0)
            try:
                return self.wait_exit(timeout)
            except TimeoutError:
                self.kill()
                raise
        return self.proc.returncode

    def kill(self) -> None:
        if self.running():
            self.proc.kill()
        self.proc.wait(30)

    def memory(self, address: int, size: int) -> bytes:
        """`size` bytes of the running product's memory at `address`, e.g. a
        record a traced call pointed to. Wine runs a Windows process as one
        Linux process with the same addresses: the Popen is that process, so
        its /proc/PID/mem is read (the bench runs as the same user)."""
        if not self.running():
            raise ProductExited("%s has ended: its memory is gone" % PRODUCT_EXE)
        with open("/proc/%d/mem" % self.proc.pid, "rb", buffering=0) as mem:
            mem.seek(address)
            return mem.read(size)

    def text(self, address: int, limit: int = 256) -> str:
        """The NUL-terminated single-byte text at `address` (at most `limit`
        bytes), for string arguments that relay shows only as pointers."""
        data = b""
        while len(data) < limit and b"\0" not in data:
            at = address + len(data)
            # Page by page: the page after the text may not be mapped.
            data += self.memory(at, min(limit - len(data), _PAGE - at % _PAGE))
        return data.split(b"\0", 1)[0].decode("latin-1")

    def stderr_tail(self, chars: int = 2000) -> str:
        try:
            text = self.stderr_path.read_text(errors="replace")
        except FileNotFoundError:
            return ""
        return text[-chars:]


class Bench:
    """The product's surroundings in one Wine prefix, for one test.

    Creating a Bench boots the prefix, sets the relay trace up for
    `functions` and (with `reset`) removes what an earlier Bench may have left
    in the registry: product settings, TV application install locations,
    emulated cards, the user's profiles.ini. close() ends the programs it
    left running. Files go to `work` (a directory of this test).
    """

    def __init__(self, wine: WineEnv, work: Union[str, os.PathLike],
                 bin_dir: Optional[Path] = None, functions: Sequence[str] = DEFAULT_FUNCTIONS,
                 reset: bool = True):
        self.wine = wine
        self.work = Path(work)
        self.work.mkdir(parents=True, exist_ok=True)
        self.bin_dir = Path(bin_dir or default_bin_dir())
        self.cards: Dict[str, Card] = {}
        self.products: List[Product] = []
        wine.boot()
        wine.import_reg(relay_reg(functions) + (self._reset_reg() if reset else ""))
        if reset:
            shutil.rmtree(self.profiles_ini.parent, ignore_errors=True)

    @staticmethod
    def _reset_reg() -> str:
        keys = [SETTINGS_KEY.rsplit("\\", 1)[0], _CAPTURE_INSTANCES]
        keys += [r"HKEY_LOCAL_MACHINE\%s" % fakeapp.identity(a).reg_key for a in ALL_APPS]
        return "".join(reg_text(k, delete=True) for k in keys)

    def binary(self, name: str) -> Path:
        path = self.bin_dir / name
        if not path.is_file():
            raise FileNotFoundError("%s is missing: build the project (scripts/test.sh) or set "
                                    "MARLOW_BIN_DIR" % path)
        return path

    @property
    def probe(self) -> Probe:
        """The prefix's probe, started at the first use and kept for the
        benches that follow in the same prefix."""
        if self.wine.probe is None:
            self.wine.probe = Probe(self.wine.start, exe=self.binary("probe.exe"))
        return self.wine.probe

    # -- cards ------------------------------------------------------------
    def register_cards(self, devices: Optional[Iterable[Union[cardemu.Device, dict]]] = None
                       ) -> List[Card]:
        """Registers emulated cards (replacing any registered before); by
        default one card with the name the product looks for. A device
        without feed/log gets files in the work directory."""
        if devices is None:
            devices = [cardemu.Device("0000", DEFAULT_CARD_NAME)]
        self.cards = {}
        registered = []
        for device in devices:
            device = cardemu.Device(**device) if isinstance(device, dict) else replace(device)
            feed = self.work / ("card-%s.feed" % device.instance)
            log = self.work / ("card-%s.log" % device.instance)
            device.feed = device.feed or self.wine.to_win(feed)
            device.log = device.log or self.wine.to_win(log)
            card = Card(device, cardemu.Feed(self.wine.to_unix(device.feed)),
                        self.wine.to_unix(device.log))
            self.cards[device.instance] = card
            registered.append(device)
        dll = self.wine.to_win(self.binary(cardemu.DLL_NAME))
        self.wine.import_reg(cardemu.device_reg(dll, registered))
        return list(self.cards.values())

    def card(self, instance: Optional[str] = None) -> Card:
        """A registered card (the first one by default)."""
        if not self.cards:
            raise LookupError("no card registered")
        return self.cards[instance] if instance else next(iter(self.cards.values()))

    # -- TV applications -----------------------------------------------------
    def install_app(self, identity: str, win_dir: Optional[str] = None,
                    config: Optional[Mapping] = None) -> "fakeapp.InstalledApp":
        """Installs the fake application (in its usual directory unless
        win_dir is given) and records the location in the registry."""
        win_dir = win_dir or fakeapp.identity(identity).default_dir
        reg = fakeapp.install(self.wine.drive_c, self.binary(fakeapp.EXE_NAME), identity,
                              win_dir, config)
        if reg:
            self.wine.import_reg(reg)
        return fakeapp.installed_paths(self.wine.drive_c, identity, win_dir)

    def install_apps(self, identities: Iterable[str] = ALL_APPS,
                     configs: Optional[Mapping[str, Mapping]] = None) -> Dict[str, object]:
        configs = configs or {}
        return {i: self.install_app(i, config=configs.get(i)) for i in identities}

    def set_app_location(self, identity: str, data: Optional[RegData]) -> None:
        """Writes raw registry data (any type, see wine.reg_data) as the
        application's install location; None deletes the value, leaving the key."""
        ident = fakeapp.identity(identity)
        self.wine.import_reg(reg_text(r"HKEY_LOCAL_MACHINE\%s" % ident.reg_key,
                                      {ident.reg_value: data}))

    def uninstall_app(self, identity: str) -> None:
        """Removes the application's registry key (its files stay)."""
        self.wine.import_reg(reg_text(r"HKEY_LOCAL_MACHINE\%s" % fakeapp.identity(identity).reg_key,
                                      delete=True))

    def app_log(self, identity: str, win_dir: Optional[str] = None) -> list:
        win_dir = win_dir or fakeapp.identity(identity).default_dir
        return fakeapp.read_log(fakeapp.installed_paths(self.wine.drive_c, identity, win_dir).log)

    def to_front(self, hwnd) -> None:
        """Makes the window the foreground window, as a click on it would."""
        want = fakeapp.hwnd_value(hwnd)

        def in_front() -> bool:
            front = self.probe.front(want)
            return front is not None and fakeapp.hwnd_value(front["hwnd"]) == want
        wait_for(in_front, 20, message="window 0x%x in front" % want)

    # -- settings -----------------------------------------------------------
    def set_settings(self, **values: Optional[RegData]) -> None:
        """Writes product settings, e.g. DefaultTVAPP=8, AlwaysRemoteOff=1
        (int -> REG_DWORD, str -> REG_SZ, bytes -> REG_BINARY, RawReg as
        given, None deletes the value)."""
        self.wine.import_reg(reg_text(SETTINGS_KEY, values))

    @property
    def profiles_ini(self) -> Path:
        """The user's profiles.ini, where the program reads it."""
        return self.wine.appdata() / PROFILES_FOLDER / PROFILES_FILE

    def setting(self, name: str):
        """A product setting read back from the live registry (RegValue or None)."""
        return self.wine.reg_query(SETTINGS_KEY.replace("HKEY_LOCAL_MACHINE", "HKLM"), name)

    # -- the product --------------------------------------------------------
    def start(self, args: Sequence[str] = (), trace: bool = True, wait: bool = True,
              timeout: float = 30.0, exe: Optional[os.PathLike] = None) -> Product:
        """Starts MarlowRemote.exe (the built one, or `exe`, e.g. an installed
        copy) with stderr in a file of the work directory (the relay trace
        when `trace`), and by default waits until it is up."""
        n = len(self.products) + 1
        exe = Path(exe) if exe is not None else self.binary(PRODUCT_EXE)
        # The probe's first look at the desktop starts Wine's desktop process,
        # which would otherwise be the product's child, under its trace.
        self.probe.windows()
        stderr_path = self.work / ("marlow-%d.%s" % (n, "trace" if trace else "stderr"))
        env = {"WINEDEBUG": RELAY_WINEDEBUG} if trace else None
        with open(stderr_path, "ab") as stderr:
            proc = self.wine.start([exe] + list(args), env_extra=env, stderr=stderr)
        product = Product(self, proc, stderr_path, Trace(stderr_path) if trace else None)
        self.products.append(product)
        if wait:
            product.wait_up(timeout)
        return product

    def close(self) -> None:
        """Ends every program of the prefix but the probe: a running product
        is asked to quit first (so that it takes its tray icon and any button
        it holds away), then the rest is killed. Wine's server, services and
        desktop go on for the next bench of the prefix."""
        for product in self.products:
            if product.running():
                try:
                    product.stop(timeout=5)
                except Exception:  # noqa: BLE001 - killed below all the same
                    pass
        probe = self.wine.probe.pid if self.wine.probe is not None else None
        self.wine.end_programs(keep=[probe] if probe else [])
        for product in self.products:
            if product.running():
                product.kill()


# -- scripts/run.sh ------------------------------------------------------------
def _run(argv: Sequence[str]) -> int:
    parser = argparse.ArgumentParser(prog="scenario.py run",
                                     description="Show the product under Wine with an emulated "
                                                 "card and the three TV applications.")
    parser.add_argument("--prefix", type=Path, required=True,
                        help="Wine prefix, made from the template when missing, kept afterwards")
    parser.add_argument("--work", type=Path, required=True, help="feed, logs and trace go here")
    parser.add_argument("--bin", type=Path, default=default_bin_dir())
    parser.add_argument("--trace", action="store_true", help="run under the relay trace")
    opts = parser.parse_args(argv)

    xvfb = None
    display = os.environ.get("DISPLAY")
    if not display:
        xvfb = Xvfb().start()
        display = xvfb.display
    wine = WineEnv(opts.prefix.resolve(), display)
    bench = None
    try:
        if not (wine.prefix / "system.reg").exists():
            subprocess.run([str(REPO_ROOT / "scripts" / "wine-prefix.sh"), "clone",
                            str(wine.prefix), "--full"], check=True, stdout=subprocess.DEVNULL)
        bench = Bench(wine, opts.work.resolve(), opts.bin, reset=False)  # keep the settings
        card = bench.register_cards()[0]
        apps = bench.install_apps()
        product = bench.start(trace=opts.trace, wait=False)
        remote = bench.binary(REMOTE_EXE)
        wine.start([remote, wine.to_win(card.feed.path)])
        print("MarlowRemote.exe runs under Wine (prefix %s)." % wine.prefix)
        print("The virtual remote is on the screen: click its buttons, or keep one pressed.")
        if xvfb:
            print("Display %s (Xvfb). Screenshot: /usr/bin/python3 -c 'from PIL import ImageGrab; "
                  "ImageGrab.grab(xdisplay=\"%s\").save(\"shot.png\")'" % (display, display))
        else:
            print("Display %s." % display)
        print("Key feed of the emulated card: %s" % card.feed.path)
        print('  tap a key:  echo "tap 4" >> %s' % shlex.quote(str(card.feed.path)))
        print('  hold a key: echo "hold 4 1500" >> %s' % shlex.quote(str(card.feed.path)))
        print("Card log: %s" % card.log_path)
        for identity, paths in apps.items():
            print("%s installed as %s (log %s)" % (identity, paths.exe, paths.log))
            print("  start it by hand:  DISPLAY=%s %sWINEPREFIX=%s %s %s &"
                  % (shlex.quote(display), "WINELOADER=%s " % WINE if WIDTH == 64 else "",
                     shlex.quote(str(wine.prefix)), WINE, shlex.quote(str(paths.exe))))
        print("Product stderr%s: %s" % (" (relay trace)" if opts.trace else "", product.stderr_path))
        print("Quit from the tray menu, or press Ctrl-C here.")
        sys.stdout.flush()
        code = product.proc.wait()
        print("MarlowRemote.exe ended with code %d." % code)
        return code
    except KeyboardInterrupt:
        return 130
    finally:
        if bench:
            bench.close()
        wine.kill()  # a bench leaves the prefix's server and services running
        if xvfb:
            xvfb.stop()


def _interrupt(signum, frame):
    raise KeyboardInterrupt


def main(argv: Sequence[str]) -> int:
    if not argv or argv[0] != "run":
        print("usage: python3 -m winebench.scenario run --prefix DIR --work DIR [--bin DIR] [--trace]",
              file=sys.stderr)
        return 2
    signal.signal(signal.SIGTERM, _interrupt)
    return _run(argv[1:])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
