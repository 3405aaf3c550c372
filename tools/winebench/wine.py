"""Wine environments for the test bench: X displays, prefixes, processes and
the registry.

A prefix is cloned from the bench's template prefix (scripts/wine-prefix.sh,
shared with cmake/wine-run.sh). `WineEnv.boot()` starts a persistent
wineserver and Wine's services with a clean environment, so that every later
Wine process starts in a few tens of milliseconds and a traced program does
not become the parent of the services.
"""

from __future__ import annotations

import os
import re
import subprocess
import sys
import tempfile
import time
from pathlib import Path, PureWindowsPath
from typing import Callable, Mapping, Optional, Sequence, TypeVar, Union

import psutil
from PIL import Image, ImageGrab
from pyvirtualdisplay import Display

REPO_ROOT = Path(__file__).resolve().parents[2]
PREFIX_TOOL = REPO_ROOT / "scripts" / "wine-prefix.sh"


def _machine_width() -> int:
    """32 where this machine runs 32-bit programs, else 64 (scripts/lib/common.sh)."""
    out = subprocess.run(["bash", "-c", 'source "$1"; marlow_width', "width",
                          str(REPO_ROOT / "scripts" / "lib" / "common.sh")],
                         stdout=subprocess.PIPE, text=True, timeout=30, check=True).stdout
    return int(out.strip())


# The width every Wine program of the bench runs at: 32 for the program
# itself, 64 for the x86-64 test build on machines that cannot run 32-bit
# code. scripts/test.sh sets $MARLOW_WIDTH; unset, the machine decides.
WIDTH = int(os.environ.get("MARLOW_WIDTH") or _machine_width())
if WIDTH not in (32, 64):
    raise RuntimeError("MARLOW_WIDTH must be 32 or 64, not %r" % WIDTH)

# Each width's own loader: Debian's `wine` script picks the 32-bit one whenever
# wine32 is installed, even where it cannot start.
WINE = "/usr/lib/wine/wine64" if WIDTH == 64 else "/usr/lib/wine/wine"

WINE_ENV = {
    "WINEARCH": "win64" if WIDTH == 64 else "win32",
    "WINEDLLOVERRIDES": "mscoree,mshtml=",
    "WINEDEBUG": "-all",
    "MARLOW_WIDTH": str(WIDTH),
}
if WIDTH == 64:
    WINE_ENV["WINELOADER"] = WINE

# The 64-bit loader, for a 64-bit prefix in which the 32-bit program runs
# under WoW64 as on 64-bit Windows (WineEnv's prefix_width 64 at WIDTH 32).
WINE64 = "/usr/lib/wine/wine64"

# The build tree whose programs run at WIDTH.
BUILD_DIR = REPO_ROOT / ("build64" if WIDTH == 64 else "build")


def wine_environ(**extra: str) -> dict:
    """os.environ with the bench's Wine settings and `extra`."""
    env = dict(os.environ)
    if WIDTH == 32:
        env.pop("WINELOADER", None)
    env.update(WINE_ENV, **extra)
    return env

T = TypeVar("T")
StrPath = Union[str, os.PathLike]


def wait_for(predicate: Callable[[], T], timeout: float = 10.0, interval: float = 0.05,
             message: Optional[str] = None) -> T:
    """Calls predicate until it returns something truthy and returns that.

    Raises TimeoutError after `timeout` seconds, naming `message` (or the
    predicate) and the last value it returned.
    """
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            what = message or getattr(predicate, "__name__", "condition")
            raise TimeoutError("%s: not met within %.1f s (last value: %r)" % (what, timeout, value))
        time.sleep(interval)


# On a busy machine 64-bit Wine now and then cannot start a program: the
# loader finds the address of the shared user data (0x7ffe0000) taken, prints
# this and ends with exit code 1 before anything of the program has run.
START_FAILURE = b"failed to map the shared user data"
START_ATTEMPTS = 5
_SHARED_USER_DATA = b"7ffe0000-"


def _user_data_mapped(pid: int) -> bool:
    """Wine has mapped the process's shared user data: the start went past
    the point where it fails."""
    try:
        with open("/proc/%d/maps" % pid, "rb") as maps:
            return any(line.startswith(_SHARED_USER_DATA) for line in maps)
    except OSError:
        return False


def _written_since(file, offset: int) -> bytes:
    try:
        fd = file.fileno()
        return os.pread(fd, max(os.fstat(fd).st_size - offset, 0), offset)
    except (AttributeError, OSError, ValueError):
        return b""


def start_wine(argv: Sequence[StrPath], env: Mapping[str, str], stdin=subprocess.DEVNULL,
               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) -> subprocess.Popen:
    """Starts argv (a Wine loader and its arguments) and returns its Popen,
    which is the Windows process itself. A start that Wine gives up before the
    program runs (START_FAILURE) is made again; what it wrote to a stderr file
    is taken back. Returns once the process runs, or has ended on its own."""
    argv = [os.fspath(a) for a in argv]
    for attempt in range(1, START_ATTEMPTS + 1):
        own_stderr = stderr in (None, subprocess.DEVNULL)
        err = tempfile.TemporaryFile() if own_stderr else stderr
        try:
            offset = os.fstat(err.fileno()).st_size
        except (AttributeError, OSError, ValueError):
            offset = 0
        proc = subprocess.Popen(argv, env=env, stdin=stdin, stdout=stdout, stderr=err)
        wait_for(lambda: proc.poll() is not None or _user_data_mapped(proc.pid), timeout=120,
                 interval=0.002, message="Wine started %s" % argv[1:2])
        failed = proc.returncode == 1 and START_FAILURE in _written_since(err, offset)
        if not failed:
            if own_stderr:
                proc.wine_stderr = err  # closed with the Popen
            return proc
        if own_stderr:
            err.close()
        else:
            os.ftruncate(err.fileno(), offset)
            os.lseek(err.fileno(), offset, os.SEEK_SET)
        print("winebench: Wine could not start %s (attempt %d of %d), starting it again"
              % (argv[1:2], attempt, START_ATTEMPTS), file=sys.stderr)
    raise RuntimeError("Wine could not start %s in %d attempts: %s"
                       % (argv, START_ATTEMPTS, START_FAILURE.decode()))


def _alive(proc: "psutil.Process") -> bool:
    """Still running: a zombie (ended, its parent has not reaped it yet)
    counts as ended, as it does for Wine's server."""
    try:
        return proc.status() != psutil.STATUS_ZOMBIE
    except psutil.NoSuchProcess:
        return False


class Xvfb:
    """An Xvfb server of the given screen size, started by pyvirtualdisplay:
    Xvfb picks a free display number itself (-displayfd) and reports it once
    it accepts connections, so start() returns a display that is ready and
    no other server's. Use as a context manager or call start()/stop().
    `display` is ":N"; this process's own $DISPLAY is left alone."""

    def __init__(self, width: int = 1024, height: int = 768, depth: int = 24):
        self._server = Display(backend="xvfb", size=(width, height), color_depth=depth,
                               manage_global_env=False)

    @property
    def display(self) -> str:
        if not self._server.is_alive():
            raise RuntimeError("Xvfb is not running")
        return self._server.new_display_var

    def start(self) -> "Xvfb":
        self._server.start()
        return self

    def stop(self) -> None:
        self._server.stop()

    def grab(self) -> "Image.Image":
        """The whole screen."""
        return ImageGrab.grab(xdisplay=self.display)

    def screenshot(self, png: StrPath) -> Path:
        """Saves the whole screen as PNG."""
        self.grab().save(os.fspath(png))
        return Path(png)

    def __enter__(self) -> "Xvfb":
        return self.start()

    def __exit__(self, *exc) -> None:
        self.stop()


def reg_data(value) -> str:
    """REGEDIT4 data for a Python value: str -> REG_SZ, int -> REG_DWORD,
    bytes -> REG_BINARY, RawReg -> written as given."""
    if isinstance(value, RawReg):
        return value.text
    if isinstance(value, bool) or not isinstance(value, (str, int, bytes)):
        raise TypeError("no registry type for %r" % (value,))
    if isinstance(value, str):
        return '"%s"' % value.replace("\\", "\\\\").replace('"', '\\"')
    if isinstance(value, int):
        if not 0 <= value <= 0xFFFFFFFF:
            raise ValueError("REG_DWORD out of range: %d" % value)
        return "dword:%08x" % value
    return "hex:" + ",".join("%02x" % b for b in value)


class RawReg:
    """Registry data written verbatim, e.g. RawReg('hex(2):43,00,3a,00,00,00')
    for the REG_EXPAND_SZ "C:" (UTF-16LE, see WineEnv.import_reg),
    RawReg('hex(7):...') for a REG_MULTI_SZ, RawReg('hex(4):01') for a REG_DWORD
    one byte short."""

    def __init__(self, text: str):
        self.text = text

    def __repr__(self) -> str:
        return "RawReg(%r)" % self.text


def reg_text(key: str, values: Optional[Mapping[Optional[str], object]] = None,
             delete: bool = False) -> str:
    """One REGEDIT4 section (without the header). key is a full key name like
    HKEY_LOCAL_MACHINE\\Software\\X; a value name None is the default value and
    a value None deletes that value. delete=True removes the whole key."""
    if delete:
        return "[-%s]\r\n\r\n" % key
    lines = ["[%s]" % key]
    for name, value in (values or {}).items():
        lhs = "@" if name is None else '"%s"' % name.replace("\\", "\\\\").replace('"', '\\"')
        lines.append("%s=%s" % (lhs, "-" if value is None else reg_data(value)))
    return "\r\n".join(lines) + "\r\n\r\n"


REG5_HEADER = "Windows Registry Editor Version 5.00\r\n\r\n"
# Imports of registry text made before one is given up.
REGEDIT_ATTEMPTS = 3


class RegValue:
    """A value read back with `WineEnv.reg_query`."""

    def __init__(self, type_: str, data):
        self.type = type_
        self.data = data

    def __eq__(self, other) -> bool:
        if isinstance(other, RegValue):
            return (self.type, self.data) == (other.type, other.data)
        return self.data == other

    def __repr__(self) -> str:
        return "RegValue(%s, %r)" % (self.type, self.data)


def _parse_reg_data(type_: str, text: str):
    if type_ in ("REG_DWORD", "REG_QWORD"):
        return int(text, 16)
    if type_ == "REG_MULTI_SZ":
        return text.split("\\0") if text else []
    if type_ in ("REG_SZ", "REG_EXPAND_SZ"):
        return text
    return bytes.fromhex(text)


_SOFTWARE_32 = re.compile(r"^\[(-?)(HKEY_LOCAL_MACHINE\\Software|HKEY_CLASSES_ROOT)\\(?!Wow6432Node)",
                         re.IGNORECASE | re.MULTILINE)


def to_32bit_view(text: str) -> str:
    """Registry text with its keys moved to where a 32-bit program sees them
    in a 64-bit prefix: HKLM\\Software\\X to Software\\Wow6432Node\\X, and
    HKEY_CLASSES_ROOT\\X to HKEY_CLASSES_ROOT\\Wow6432Node\\X."""
    return _SOFTWARE_32.sub(lambda m: "[%s%s\\Wow6432Node\\" % (m.group(1), m.group(2)), text)


class WineEnv:
    """One Wine prefix plus the display its programs use. prefix_width 64 at
    WIDTH 32 is a 64-bit prefix that runs the 32-bit programs under WoW64;
    registry reads and imports then go to their 32-bit view."""

    def __init__(self, prefix: StrPath, display: str, prefix_width: int = WIDTH):
        self.prefix = Path(prefix)
        self.display = display
        self.prefix_width = prefix_width
        self.wow64 = prefix_width == 64 and WIDTH == 32
        self._reg_files = 0
        self._appdata: Optional[Path] = None
        # A probe (winebench.probe) kept for as long as the prefix's server
        # lives, shared by the benches of the prefix; kill() ends it.
        self.probe = None

    @property
    def env(self) -> dict:
        """The full environment for a Wine command of this prefix."""
        extra = {"WINEPREFIX": str(self.prefix), "DISPLAY": self.display}
        if self.wow64:
            extra.update(WINEARCH="win64", WINELOADER=WINE64, MARLOW_WIDTH="64")
        return wine_environ(**extra)

    @property
    def drive_c(self) -> Path:
        return self.prefix / "drive_c"

    # -- prefix life cycle ------------------------------------------------
    def create_from_template(self) -> "WineEnv":
        """Makes the prefix as a clone of the bench's template (made first if
        this machine has none yet) and boots it."""
        subprocess.run([str(PREFIX_TOOL), "clone", str(self.prefix)], check=True, env=self.env,
                       stdout=subprocess.DEVNULL, timeout=900)
        self.boot()
        return self

    def boot(self) -> None:
        """Starts a persistent wineserver and Wine's services for this prefix."""
        # Exit status 2: a server of this prefix is already running.
        started = subprocess.run(["wineserver", "-p"], env=self.env, timeout=30)
        if started.returncode not in (0, 2):
            raise RuntimeError("wineserver -p failed (%d) in %s" % (started.returncode, self.prefix))
        if self.start(["cmd", "/c", "exit"]).wait(60) != 0:
            raise RuntimeError("Wine did not start in %s" % self.prefix)

    def programs(self) -> list:
        """The processes (psutil) of this prefix's programs: what runs from
        outside C:\\windows, i.e. not Wine's own services and desktop."""
        found = []
        for proc in psutil.process_iter(["name"]):
            try:
                if proc.info["name"].startswith("wineserver"):
                    continue
                if proc.environ().get("WINEPREFIX") != str(self.prefix):
                    continue
                argv = proc.cmdline()
            except (psutil.NoSuchProcess, psutil.AccessDenied, psutil.ZombieProcess):
                continue
            if argv and not argv[0].lower().startswith("c:\\windows\\") and _alive(proc):
                found.append(proc)
        return found

    def end_programs(self, keep: Sequence[int] = (), timeout: float = 10.0) -> None:
        """Kills every program of the prefix (see programs()) but the
        processes `keep`, and returns once they are gone. Wine's services,
        its desktop and the server go on: the next program starts at once."""
        procs = [p for p in self.programs() if p.pid not in keep]
        for proc in procs:
            try:
                proc.kill()
            except psutil.NoSuchProcess:
                pass
        wait_for(lambda: not [p for p in procs if _alive(p)], timeout, interval=0.01,
                 message="programs of %s ended" % self.prefix)

    def kill(self) -> None:
        """Ends every process of the prefix and waits until the server is gone
        (the registry is then saved to the prefix's .reg files)."""
        if self.probe is not None:
            self.probe.close()
            self.probe = None
        for flag in ("-k", "-w"):
            subprocess.run(["wineserver", flag], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)

    def remove(self) -> None:
        """kill() and delete the prefix."""
        subprocess.run([str(PREFIX_TOOL), "remove", str(self.prefix)], check=True, env=self.env,
                       timeout=120)

    # -- paths ------------------------------------------------------------
    def to_win(self, unix_path: StrPath) -> str:
        """Windows name of a Unix path: C:\\... inside drive_c, Z:\\... elsewhere."""
        path = Path(os.path.abspath(os.fspath(unix_path)))
        try:
            rest = path.relative_to(os.path.abspath(self.drive_c))
            return "C:\\" + "\\".join(rest.parts)
        except ValueError:
            return "Z:" + str(path).replace("/", "\\")

    def to_unix(self, win_path: str) -> Path:
        """Unix path of a C:\\ or Z:\\ Windows path (as spelled; no case folding)."""
        p = PureWindowsPath(win_path)
        drive = p.drive.upper()
        if drive == "C:":
            return self.drive_c.joinpath(*p.parts[1:])
        if drive == "Z:":
            return Path("/").joinpath(*p.parts[1:])
        raise ValueError("not a C: or Z: path: %r" % win_path)

    def appdata(self) -> Path:
        """The Unix path of the user's %APPDATA% folder in this prefix, as
        Windows' shell folders name it (read once)."""
        if self._appdata is None:
            folder = self.reg_query(r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer"
                                    r"\Shell Folders", "AppData")
            if folder is None:
                raise RuntimeError("no AppData shell folder in %s" % self.prefix)
            self._appdata = self.to_unix(folder.data)
        return self._appdata

    # -- processes --------------------------------------------------------
    def _argv(self, argv: Sequence[StrPath]) -> list:
        return [WINE64 if self.wow64 else WINE] + [os.fspath(a) for a in argv]

    def run(self, argv: Sequence[StrPath], timeout: float = 60.0, check: bool = False,
            env_extra: Optional[Mapping[str, str]] = None,
            encoding: str = "utf-8") -> subprocess.CompletedProcess:
        """Runs argv under Wine to completion and returns its exit code and
        output (text). The output goes through files, not pipes: Wine's
        services, started by the first program of a prefix, inherit its
        handles and would hold a pipe open for as long as they live."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            proc = self.start(argv, env_extra, stdout=out, stderr=err)
            try:
                proc.wait(timeout)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
                raise
            out.seek(0)
            err.seek(0)
            result = subprocess.CompletedProcess(
                self._argv(argv), proc.returncode,
                out.read().decode(encoding, "replace"), err.read().decode(encoding, "replace"))
        if check:
            result.check_returncode()
        return result

    def start(self, argv: Sequence[StrPath], env_extra: Optional[Mapping[str, str]] = None,
              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
              stdin=subprocess.DEVNULL) -> subprocess.Popen:
        """Starts argv under Wine. The Popen is the Windows process itself
        (its returncode is the program's exit code, modulo 256)."""
        env = self.env
        env.update(env_extra or {})
        return start_wine(self._argv(argv), env, stdin=stdin, stdout=stdout, stderr=stderr)

    # -- registry ---------------------------------------------------------
    def import_reg(self, text: str, timeout: float = 60.0) -> None:
        """Imports registry text (sections, with or without a REGEDIT4 or
        version 5 header) and returns when regedit is done. It is always
        imported as a version 5 (UTF-16) file, so hex(2)/hex(7) data are
        UTF-16LE bytes stored as given, whatever header the text has."""
        for header in ("REGEDIT4", "Windows Registry Editor Version 5.00"):
            if text.startswith(header):
                text = text[len(header):]
        if self.wow64:
            text = to_32bit_view(text)
        data = ("\ufeff" + REG5_HEADER + text.lstrip("\r\n")).encode("utf-16-le")
        self._reg_files += 1
        path = self.prefix / ("bench-import-%d.reg" % self._reg_files)
        path.write_bytes(data)
        try:
            # On a busy machine regedit now and then ends with 1 and says
            # nothing, having imported nothing; the import is made again.
            for attempt in range(1, REGEDIT_ATTEMPTS + 1):
                result = self.run(["regedit", "/S", self.to_win(path)], timeout=timeout)
                if result.returncode == 0:
                    return
                print("winebench: regedit ended with %d (attempt %d of %d)%s"
                      % (result.returncode, attempt, REGEDIT_ATTEMPTS,
                         ": " + result.stderr.strip() if result.stderr.strip() else ""),
                      file=sys.stderr)
            raise RuntimeError("regedit failed (%d): %s" % (result.returncode, result.stderr))
        finally:
            path.unlink()

    def reg_query(self, key: str, value: Optional[str] = None, timeout: float = 60.0):
        """Reads one value through `wine reg query` (the live registry, not the
        lazily saved .reg files). value None reads the default value.
        Returns a RegValue, or None when the key or value does not exist.
        reg.exe prints in the OEM code page (437): other characters read as '?';
        malformed data (a REG_DWORD of 2 bytes) does not read back reliably."""
        argv = ["reg", "query", key] + (["/ve"] if value is None else ["/v", value])
        if self.wow64:
            argv.append("/reg:32")
        result = self.run(argv, timeout=timeout, encoding="cp437")
        if result.returncode != 0:
            return None
        name = "(Default)" if value is None else value
        for line in result.stdout.splitlines():
            parts = line.strip().split("    ")
            if len(parts) >= 2 and parts[0].lower() == name.lower() and parts[1].startswith("REG_"):
                return RegValue(parts[1], _parse_reg_data(parts[1], "    ".join(parts[2:])))
        return None

    def reg_key_exists(self, key: str, timeout: float = 60.0) -> bool:
        view = ["/reg:32"] if self.wow64 else []
        return self.run(["reg", "query", key] + view, timeout=timeout).returncode == 0
