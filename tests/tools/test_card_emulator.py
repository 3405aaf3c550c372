"""Self-test of the card emulator under Wine, driven through emuclient.exe.

Needs the DLL and the client built in $MARLOW_BIN_DIR (default build/bin of
this repository); runs in a clone of the bench's template prefix.
"""

import json
import os
import subprocess
import sys
import time

import pytest

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(REPO, "tools"))

from winebench import cardemu  # noqa: E402
from winebench.scenario import default_bin_dir  # noqa: E402
from winebench.wine import WINE, WineEnv  # noqa: E402

BIN = str(default_bin_dir())
DLL = os.path.join(BIN, cardemu.DLL_NAME)
CLIENT = os.path.join(BIN, "emuclient.exe")
CARD = "Philips Silicon (7171-35) WDM Video Capture"
RUN_TIMEOUT = 60



@pytest.fixture(scope="session")
def prefix(tmp_path_factory):
    """A clone of the bench's template prefix; the emulator needs no display."""
    wine = WineEnv(tmp_path_factory.mktemp("wine") / "prefix", "").create_from_template()
    try:
        yield wine.env
    finally:
        wine.kill()


class Bench:
    """Registers emulated devices and runs the client against them."""

    def __init__(self, env, workdir):
        self.env = env
        self.workdir = workdir

    def path(self, name):
        return str(self.workdir / name)

    def register(self, devices):
        reg = self.workdir / "devices.reg"
        reg.write_text(cardemu.device_reg(cardemu.unix_to_wine(DLL), devices), newline="")
        subprocess.run([WINE, "regedit", "/S", cardemu.unix_to_wine(reg)], env=self.env,
                       check=True, timeout=RUN_TIMEOUT)

    def card(self, **settings):
        """Registers the one card with a feed and a log; returns (feed, log path)."""
        feed, log = self.path("card.feed"), self.path("card.log")
        self.register([cardemu.Device("card", CARD, feed=cardemu.unix_to_wine(feed),
                                      log=cardemu.unix_to_wine(log), **settings)])
        return cardemu.Feed(feed), log

    def client(self, *args):
        return subprocess.run([WINE, CLIENT, *map(str, args)], env=self.env, timeout=RUN_TIMEOUT,
                              capture_output=True, text=True)

    def start_client(self, *args):
        return subprocess.Popen([WINE, CLIENT, *map(str, args)], env=self.env,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)


def records(stdout):
    """The client's "key=value ..." lines as dicts."""
    out = []
    for line in stdout.splitlines():
        fields = dict(f.split("=", 1) for f in line.split() if "=" in f)
        if fields:
            out.append(fields)
    return out


def hr(record):
    return int(record["hr"], 16)


@pytest.fixture
def bench(prefix, tmp_path):
    return Bench(prefix, tmp_path)


def test_devices_enumerate_in_instance_name_order_and_bind_as_configured(bench):
    log = bench.path("devices.log")
    wlog = cardemu.unix_to_wine(log)
    bench.register([
        cardemu.Device("c-second", "Zeta Capture", log=wlog),
        cardemu.Device("a-refuses", "Refusing Card", log=wlog, refuse_bind=True),
        cardemu.Device("d-no-ks", "Card Without Control", no_kscontrol=True),
        cardemu.Device("b-card", CARD, log=wlog),
    ])
    listed = bench.client("list")
    assert listed.returncode == 0
    assert listed.stdout.splitlines() == [
        "Refusing Card", CARD, "Zeta Capture", "Card Without Control"]

    refused = bench.client("bind", "Refusing Card")
    assert refused.returncode == 3
    assert [(r["step"], hr(r)) for r in records(refused.stdout)] == [
        ("bind", cardemu.REFUSE_BIND_HR)]

    no_ks = bench.client("bind", "Card Without Control")
    assert [(r["step"], hr(r)) for r in records(no_ks.stdout)] == [
        ("bind", 0), ("addfilter", 0), ("filterinfo", 0), ("kscontrol", cardemu.E_NOINTERFACE)]

    bound = bench.client("bind", CARD)
    assert bound.returncode == 0
    info = records(bound.stdout)[2]
    assert (info["name-ok"], info["graph"]) == ("1", "1")

    loads = [e for e in cardemu.read_log(log) if e.get("ev") == "load"]
    assert [(e["dev"], e["refuse_bind"]) for e in loads] == [("Refusing Card", 1), (CARD, 0)]


def test_taps_wait_once_each_in_order(bench):
    feed, log = bench.card()
    feed.tap(0x15)
    feed.tap(0x2C)
    out = records(bench.client("poll", CARD, 4, 10).stdout)
    polled = [(r["req"], hr(r), r.get("value"), r.get("code"), r.get("tail")) for r in out
              if "req" in r]
    assert polled == [
        ("status", 0, "0", None, None), ("transfer", 0, None, "0x15", "a5a5a5"),
        ("status", 0, "0", None, None), ("transfer", 0, None, "0x2c", "a5a5a5"),
        ("status", 0, "1", None, None),
        ("status", 0, "1", None, None),
    ]
    logged = [(e["req"], e["verdict"], e["value"]) for e in cardemu.requests(cardemu.read_log(log))]
    assert logged == [("status", "ok", 0), ("transfer", "ok", 0x15), ("status", "ok", 0),
                      ("transfer", "ok", 0x2C), ("status", "ok", 1), ("status", "ok", 1)]

    # Nothing waiting: a transfer still succeeds, with code 0. The taps, taken
    # by the previous process, are not replayed.
    empty = records(bench.client("poll", CARD, 1, 0, "always").stdout)[-1]
    assert (hr(empty), empty["code"]) == (0, "0x00")
    assert cardemu.requests(cardemu.read_log(log))[-1]["verdict"] == "ok-empty"


def test_held_key_waits_for_its_duration(bench):
    hold_ms = 300
    feed, log = bench.card()
    feed.hold(0x41, hold_ms)
    feed.tap(0x07)
    bench.client("poll", CARD, 20, 40)
    entries = cardemu.read_log(log)
    start = next(e["t_us"] for e in entries if e.get("line", "").startswith("hold"))
    end = start + hold_ms * 1000
    statuses = cardemu.requests(entries, "status")
    during = [e for e in statuses if e["t_us"] < end]
    after = [e for e in statuses if e["t_us"] >= end]
    assert len(during) >= 2 and len(after) >= 2
    assert all(e["value"] == 0 for e in during)
    transfers = [e["value"] for e in cardemu.requests(entries, "transfer")]
    # The held code repeats on every transfer, the tap comes once the hold is over.
    assert transfers[:len(during)] == [0x41] * len(during)
    assert transfers[len(during):] == [0x07]
    assert [e["value"] for e in after][1:] == [1] * (len(after) - 1)


def test_scheduled_taps_wait_from_their_time_in_time_order(bench):
    feed, log = bench.card()
    feed.line("tapat 0x22 %d" % (2**64 - 1))  # never due
    feed.line("tapat 0x23 %d" % 2**64)        # out of range
    feed.tap_at(0x55, 2)                      # long due: all wait at the first read,
    feed.tap_at(0x44, 1)                      # earliest first, equal times as given
    feed.tap_at(0x45, 1)
    transfers = lambda es: [e["value"] for e in cardemu.requests(es, "transfer")]  # noqa: E731
    proc = bench.start_client("poll", CARD, 3000, 20)  # outlasts the test; killed below
    try:
        entries = cardemu.wait_for_log(log, lambda es: len(transfers(es)) == 3)
        due = cardemu.requests(entries, "status")[-1]["t_us"] + 150000
        feed.tap_at(0x66, due)
        entries = cardemu.wait_for_log(log, lambda es: 0x66 in transfers(es))
    finally:
        proc.kill()
        proc.wait(timeout=RUN_TIMEOUT)
    assert transfers(entries) == [0x44, 0x45, 0x55, 0x66]
    statuses = cardemu.requests(entries, "status")
    before = [e["value"] for e in statuses[3:] if e["t_us"] < due]
    after = [e["value"] for e in statuses if e["t_us"] >= due]
    assert len(before) >= 3 and set(before) == {1}
    assert after[0] == 0 and set(after[1:]) <= {1}
    errors = [e["line"] for e in entries if e.get("ev") == "feed-error"]
    assert errors == ["tapat 0x23 %d" % 2**64]


def test_injected_faults_leave_data_and_waiting_code_alone(bench):
    feed, log = bench.card()
    feed.fault("status", 0x80004005, 2)
    feed.fault("transfer", 0x1)
    feed.tap(0x33)
    out = [r for r in records(bench.client("poll", CARD, 5, 0).stdout) if "req" in r]
    assert [(r["req"], hr(r)) for r in out] == [
        ("status", 0x80004005), ("status", 0x80004005),
        ("status", 0), ("transfer", 0x1),
        ("status", 0), ("transfer", 0),
        ("status", 0)]
    # A failed status read leaves the register number in the data and returns nothing.
    assert (out[0]["value"], out[0]["returned"]) == ("8", "0")
    assert out[5]["code"] == "0x33"
    verdicts = [e["verdict"] for e in cardemu.requests(cardemu.read_log(log))]
    assert verdicts == ["fault", "fault", "ok", "fault", "ok", "ok", "ok"]


def test_fault_rate_is_seeded_and_alternates(bench):
    feed, log = bench.card()
    feed.faultrate(50, 7)
    first = [hr(r) for r in records(bench.client("poll", CARD, 40, 0, "always").stdout)
             if "req" in r]
    failures = [h for h in first if h != 0]
    assert 10 <= len(failures) <= 70
    assert failures[:4] == [cardemu.S_FALSE, cardemu.E_FAIL, cardemu.S_FALSE, cardemu.E_FAIL]

    assert feed.all_taken()

    # The next process does not replay the feed; seeding it again repeats the sequence.
    feed.faultrate(50, 7)
    second = [hr(r) for r in records(bench.client("poll", CARD, 40, 0, "always").stdout)
              if "req" in r]
    assert second == first


def test_feed_is_read_while_the_device_runs(bench):
    feed, log = bench.card()
    has = lambda pred: lambda entries: any(pred(e) for e in entries)  # noqa: E731
    proc = bench.start_client("poll", CARD, 3000, 20)  # outlasts the test; killed below
    try:
        cardemu.wait_for_log(log, lambda es: len(cardemu.requests(es, "status")) >= 3)
        with open(feed.path, "a") as f:
            f.write("tap 0x")  # half a line is not taken...
        time.sleep(0.2)
        assert not any(e.get("ev", "").startswith("feed") for e in cardemu.read_log(log))
        with open(feed.path, "a") as f:
            f.write("5A\n")  # ...until it is complete
        cardemu.wait_for_log(log, has(lambda e: e.get("req") == "transfer" and e["value"] == 0x5A))

        feed.faultrate(100)
        cardemu.wait_for_log(log, has(lambda e: e.get("verdict") == "fault"))
        feed.faultrate(0)
        feed.comment("rate off")
        entries = cardemu.wait_for_log(
            log, lambda es: any(e.get("line") == "# rate off" for e in es)
            and cardemu.requests(es)[-1]["verdict"] == "ok")
    finally:
        proc.kill()
        proc.wait(timeout=RUN_TIMEOUT)
    taken = [e["line"] for e in entries if e.get("ev") == "feed"]
    assert taken == ["tap 0x5A", "faultrate 100 1", "faultrate 0 1", "# rate off"]


def test_bad_feed_lines_are_logged_and_skipped(bench):
    feed, log = bench.card()
    bad = ["tap 0x100", "tap", "hold 0x10", "jump 3", "fault sideways 0x1",
           "fault status nothex", "faultrate 101", "tap 0x10 0x11"]
    for line in bad:
        feed.line(line)
    feed.tap(0x10)
    out = [r for r in records(bench.client("poll", CARD, 2, 0).stdout) if "req" in r]
    assert [(r["req"], r.get("value"), r.get("code")) for r in out] == [
        ("status", "0", None), ("transfer", None, "0x10"), ("status", "1", None)]
    errors = [e for e in cardemu.read_log(log) if e.get("ev") == "feed-error"]
    assert [e["line"] for e in errors] == bad
    assert all(e["reason"] for e in errors)


def test_malformed_requests_are_refused_with_a_reason(bench):
    feed, log = bench.card()
    feed.tap(0x21)
    result = bench.client("bad", CARD)
    assert result.returncode == 0, result.stdout
    cases = [r for r in records(result.stdout) if "case" in r]
    assert len(cases) == 19 and all(hr(r) == cardemu.E_INVALIDARG for r in cases)
    refused = [e for e in cardemu.requests(cardemu.read_log(log)) if e["verdict"] != "ok"]
    reasons = [e["verdict"] for e in refused]
    assert len(reasons) == len(cases)
    assert all(r.startswith("bad: ") for r in reasons)
    assert all(cardemu.hr_value(e) == cardemu.E_INVALIDARG for e in refused)
    expected = ["property length 24", "property id 1", "flags 0x02", "register 7",
                "register in data 7", "data length 2", "null property data",
                "property data 0x", "property length 44", "target 0x61", "send count 1",
                "send value 0x05", "send buffer 0x", "receive length 2", "receive buffer 0x",
                "data length 4", "unknown property set", "null property", "bytes-returned 0x"]
    for reason, fragment in zip(reasons, expected):
        assert fragment in reason
    # The tap survived all of it and is delivered to the good requests after.
    last = records(result.stdout)[-1]
    assert (last["req"], last["code"]) == ("transfer", "0x21")


def test_processes_sharing_a_log_never_interleave_lines(bench):
    log = bench.path("shared.log")
    wlog = cardemu.unix_to_wine(log)
    bench.register([cardemu.Device("a", "Card A", log=wlog), cardemu.Device("b", "Card B", log=wlog)])
    count = 3000
    other = bench.start_client("bench", "Card B", count)
    mine = bench.client("bench", "Card A", count)
    other.communicate(timeout=RUN_TIMEOUT)
    assert mine.returncode == 0 and other.returncode == 0
    with open(log, encoding="utf-8") as f:
        entries = [json.loads(line) for line in f]
    for name in ("Card A", "Card B"):
        assert len(cardemu.requests(entries, "status", dev=name)) == count


def test_read_log_leaves_out_a_line_still_being_written(tmp_path):
    log = tmp_path / "partial.log"
    log.write_bytes(b'{"req":"status","hr":"0x00000000"}\n{"req":"trans')
    assert cardemu.read_log(log) == [{"req": "status", "hr": "0x00000000"}]
    assert cardemu.read_log(tmp_path / "missing.log") == []
