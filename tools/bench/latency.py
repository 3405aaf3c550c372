"""Key-to-application latency: from the moment the emulated card makes a code
wait to the moment Beyond TV's window procedure receives the key.

The card's `tapat CODE T_US` makes a code wait from T_US on (the
performance counter in microseconds, the clock of every bench log), so the
bench knows when each key was "pressed" without racing the product's 65 ms
poll. Each figure is the fake application's log t_us of the WM_KEYDOWN minus
T_US; the share after the reading tick is the same arrival minus the card
log's t_us of the transfer that read the code.

Two ways a key reaches Beyond TV are measured:

- adoption: no application is the target while Beyond TV runs, so the key
  makes the router find Beyond TV's window and adopt it before the key map
  posts the key. To make Beyond TV no longer the target for the next sample,
  each digit is followed by the Power key: with Beyond TV the target, Power
  closes it (Alt+F4) and clears the target. The fake Beyond TV is set to
  ignore the close, so its window stays, and the next digit adopts it again.
  The closes it logs (WM_CLOSE, one per Power key) show that every sample
  went through adoption.
- active: Beyond TV is the target; digits go straight to its key map. A
  first digit adopts it and a last Power key ends the adoption, neither
  measured.

Consecutive taps carry different codes, so each is a first press, and are
spaced so that a code is read before the next one starts waiting; a sample
whose code still waited behind another is left out and counted as "queued".
The gaps between taps have a random part of one poll period, so the taps
fall at random phases of the poll.

For reference, TimerBaseline.exe posts as many keys to Beyond TV, one a
65 ms tick, logging the counter just before each PostMessageA: the time a
posted key takes to reach another process's window procedure on this machine,
the floor under the share after the reading tick.

The taps and the posts are split into rounds; a round is adoption, the bare
posts, then active, so that each mode meets about the load its posts meet.
The share after the reading tick is compared with a bare post round by
round, and the ratio reported is the median over the rounds, with their
spread and the load seen: on a shared machine, a burst of other work makes
one round's tail, not the verdict. Latencies and shares are also given
pooled over all rounds.
"""

from __future__ import annotations

import bisect
import random
import subprocess
import time
from dataclasses import dataclass, field
from pathlib import Path
from typing import Callable, Dict, List, Optional, Sequence, Tuple

from winebench import cardemu, fakeapp
from winebench.scenario import Bench, Card
from winebench.surface import APPS, KEYS
from winebench.wine import WineEnv, wait_for

from . import BASELINE_EXE, linuxproc, stats
from .clients import Clients

POLL_US = 65000
POWER = KEYS["Power"]
DIGITS = tuple(range(9))       # remote digits 1 to 9
VK_NUMPAD1 = 97                # Beyond TV gets digit d as VK_NUMPAD0 + d
BEYONDTV_VIDEO_CLASS = APPS["beyondtv"]["windows"]["key_target"]["class"]
WM_KEYDOWN, WM_CLOSE = "WM_KEYDOWN", "WM_CLOSE"

LEAD_US = 400000               # the feed is read at the next poll, well before the first tap
ACTIVE_GAP_US = 2 * POLL_US    # a code is read within one poll period (plus jitter)
RELEASE_DELAY_US = 2 * POLL_US  # Power after the digit it releases
ADOPTION_CYCLE_US = 4 * POLL_US  # digit, Power, next digit: each read before the next waits
SETTLE_TIMEOUT_S = 20.0
PERCENTILES = ("p50", "p95", "p99")


@dataclass(frozen=True)
class Tap:
    code: int
    at_us: int
    measured: bool = True


@dataclass(frozen=True)
class Sample:
    code: int
    at_us: int
    read_us: int
    arrival_us: int

    @property
    def latency_ms(self) -> float:
        return (self.arrival_us - self.at_us) / 1000.0

    @property
    def after_read_ms(self) -> float:
        return (self.arrival_us - self.read_us) / 1000.0


@dataclass
class Matched:
    samples: List[Sample] = field(default_factory=list)
    lost: List[Tap] = field(default_factory=list)   # never read, or never arrived
    queued: int = 0                                 # waited behind another code
    late: int = 0                                   # feed line taken after its time


def beyondtv_vk(code: int) -> int:
    return VK_NUMPAD1 + code


def adoption_schedule(rng: random.Random, start_us: int, count: int) -> List[Tap]:
    """count digits, each followed by the Power key that ends the adoption."""
    taps = []
    at = start_us
    for i in range(count):
        taps.append(Tap(DIGITS[i % len(DIGITS)], at))
        taps.append(Tap(POWER, at + RELEASE_DELAY_US, measured=False))
        at += ADOPTION_CYCLE_US + rng.randrange(POLL_US)
    return taps


def active_schedule(rng: random.Random, start_us: int, count: int) -> List[Tap]:
    """A first digit that adopts Beyond TV, then count digits, then the Power
    key that ends the adoption, so that the next adoption starts from no
    target (first and last not measured)."""
    taps = [Tap(DIGITS[-1], start_us, measured=False)]
    at = start_us
    for i in range(count + 1):
        at += ACTIVE_GAP_US + rng.randrange(POLL_US)
        taps.append(Tap(DIGITS[i % len(DIGITS)], at) if i < count
                    else Tap(POWER, at, measured=False))
    return taps


def _find_value(items: Sequence[Tuple[int, int]], start: int, value: int) -> Optional[int]:
    return next((i for i in range(start, len(items)) if items[i][1] == value), None)


def match(taps: Sequence[Tap], transfers: Sequence[Tuple[int, int]],
          arrivals: Sequence[Tuple[int, int]], taken_us: Dict[int, int],
          vk_of: Callable[[int], int] = beyondtv_vk) -> Matched:
    """Pairs each tap (in time order) with the transfer that read its code and
    each measured tap with the key's arrival.

    transfers: (t_us, code) of the card's successful transfers; arrivals:
    (t_us, virtual key) of the WM_KEYDOWNs the application received, both in
    time order; taken_us: tap time -> when the emulator took its feed line."""
    out = Matched()
    transfer_times = [t for t, _ in transfers]
    arrival_times = [t for t, _ in arrivals]
    ti = ai = 0  # transfers and arrivals before these are paired already
    for tap in taps:
        first = bisect.bisect_left(transfer_times, tap.at_us)
        read = _find_value(transfers, max(first, ti), tap.code)
        if read is None:
            out.lost.append(tap)
            continue
        ti = read + 1
        if not tap.measured:
            continue
        read_us = transfers[read][0]
        arrived = _find_value(arrivals, max(bisect.bisect_left(arrival_times, read_us), ai),
                              vk_of(tap.code))
        if arrived is None:
            out.lost.append(tap)
            continue
        ai = arrived + 1
        if read != first:  # another code was read in between: it waited behind it
            out.queued += 1
        elif taken_us.get(tap.at_us, tap.at_us) > tap.at_us:
            out.late += 1
        else:
            out.samples.append(Sample(tap.code, tap.at_us, read_us, arrivals[arrived][0]))
    return out


def key_arrivals(app_log: Sequence[dict]) -> List[Tuple[int, int]]:
    """(t_us, virtual key) of the WM_KEYDOWNs Beyond TV's video window received."""
    return [(e["t_us"], e["wParam"])
            for e in fakeapp.messages(app_log, WM_KEYDOWN, cls=BEYONDTV_VIDEO_CLASS)]


def _settle(done: Callable[[], bool]) -> None:
    """Waits a while for done(); what has not come by then is reported as missing."""
    try:
        wait_for(done, SETTLE_TIMEOUT_S, interval=0.2)
    except TimeoutError:
        pass


def _feed_lines(taps: Sequence[Tap]) -> List[str]:
    return ["tapat 0x%02X %d" % (t.code, t.at_us) for t in taps]


def taken_times(card_log: Sequence[dict]) -> Dict[int, int]:
    """Tap time -> t_us at which the emulator took its tapat line."""
    taken = {}
    for e in card_log:
        words = e.get("line", "").split()
        if e.get("ev") == "feed" and len(words) == 3 and words[0] == "tapat":
            taken[int(words[2])] = e["t_us"]
    return taken


class Phase:
    """One batch of scheduled taps and what the logs say about it."""

    def __init__(self, bench: Bench, card: Card, taps: List[Tap]):
        self.bench = bench
        self.card = card
        self.taps = taps
        self.mark = len(card.log())
        self.app_mark = len(bench.app_log("beyondtv"))

    def feed(self) -> None:
        with open(self.card.feed.path, "a", encoding="ascii", newline="\n") as f:
            f.write("".join(line + "\n" for line in _feed_lines(self.taps)))

    def app_log(self) -> List[dict]:
        return self.bench.app_log("beyondtv")[self.app_mark:]

    def closes(self, expected: int) -> int:
        """The closes Beyond TV received, once `expected` have come (or after
        a while)."""
        def count() -> int:
            return len(fakeapp.messages(self.app_log(), WM_CLOSE, cls=BEYONDTV_VIDEO_CLASS))
        _settle(lambda: count() >= expected)
        return count()

    def matched(self) -> Matched:
        card_log = self.card.log()[self.mark:]
        transfers = [(e["t_us"], e["value"]) for e in cardemu.requests(card_log, "transfer")
                     if e["verdict"] == "ok"]
        return match(self.taps, transfers, key_arrivals(self.app_log()), taken_times(card_log))

    def run(self) -> Matched:
        """Feeds the taps and waits until every one has been read and has
        arrived (or until the schedule is long over)."""
        self.feed()
        # Nothing to look at before the last tap is due; the bench keeps off
        # the CPU meanwhile.
        time.sleep(max(0, self.taps[-1].at_us - self.bench.probe.time_us()) / 1e6)
        _settle(lambda: not self.matched().lost)
        return self.matched()


def pair_posts(posts: Sequence[Tuple[int, int]], arrivals: Sequence[Tuple[int, int]]
               ) -> List[float]:
    """Milliseconds from each post (t_us, vk) to the first arrival of that
    key after it; posts that never arrived are left out."""
    out = []
    ai = 0
    arrival_times = [t for t, _ in arrivals]
    for t_us, vk in posts:
        arrived = _find_value(arrivals, max(bisect.bisect_left(arrival_times, t_us), ai), vk)
        if arrived is not None:
            ai = arrived + 1
            out.append((arrivals[arrived][0] - t_us) / 1000.0)
    return out


def delivery_reference(bench: Bench, log: Path, count: int) -> List[float]:
    """TimerBaseline.exe posts `count` keys to Beyond TV, one a tick: the
    milliseconds each posted key took to reach the window procedure of
    another process, with nothing else around it."""
    log.unlink(missing_ok=True)
    mark = len(bench.app_log("beyondtv"))
    proc = bench.wine.start([bench.binary(BASELINE_EXE), bench.wine.to_win(log),
                             BEYONDTV_VIDEO_CLASS, str(count)])
    try:
        proc.wait(count * POLL_US / 1e6 + SETTLE_TIMEOUT_S)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
    posts = [(e["t_us"], e["vk"]) for e in cardemu.read_log(log) if e["ev"] == "post"]

    def delays() -> List[float]:
        return pair_posts(posts, key_arrivals(bench.app_log("beyondtv")[mark:]))
    _settle(lambda: len(delays()) == len(posts))
    if len(posts) < count:
        raise RuntimeError("%s posted %d keys of %d" % (BASELINE_EXE, len(posts), count))
    return delays()


def ratios_to_post(after_read: dict, posted: dict) -> dict:
    """Each percentile of the share after the reading tick divided by the same
    percentile of a bare post's delivery."""
    return {p: round(after_read[p] / posted[p], 3) for p in PERCENTILES
            if p in after_read and posted.get(p)}


@dataclass(frozen=True)
class Round:
    """One round: both modes' taps matched, the bare posts' delivery times
    (ms) between them, and the 1-minute load average at its start and end."""

    adoption: Matched
    active: Matched
    posted_ms: List[float]
    load: Tuple[float, float]


MODES = ("adoption", "active")


def _after_read(matched: Matched) -> dict:
    return stats.summary([s.after_read_ms for s in matched.samples])


def _mode_figures(rounds: Sequence[Round], mode: str) -> dict:
    """The mode's samples pooled over the rounds, and its share after the
    reading tick to a bare post's, percentile by percentile, over the rounds
    (each round's share beside the same round's posts)."""
    samples = [s for r in rounds for s in getattr(r, mode).samples]
    ratios = [ratios_to_post(_after_read(getattr(r, mode)), stats.summary(r.posted_ms))
              for r in rounds]
    loads = [r.load for r in rounds]
    return {
        "latency_ms": stats.summary([s.latency_ms for s in samples]),
        "after_read_ms": stats.summary([s.after_read_ms for s in samples]),
        "after_read_ratio_to_post": {p: stats.over_rounds([x.get(p) for x in ratios], loads)
                                     for p in PERCENTILES},
        "lost": sum(len(getattr(r, mode).lost) for r in rounds),
        "queued": sum(getattr(r, mode).queued for r in rounds),
        "late": sum(getattr(r, mode).late for r in rounds),
    }


def figures(rounds: Sequence[Round]) -> dict:
    """Both modes' figures, the bare posts' delivery pooled over the rounds,
    and each round's own share after the reading tick, posts and load."""
    out = {mode: _mode_figures(rounds, mode) for mode in MODES}
    out["reference"] = {"delivery_ms": stats.summary([x for r in rounds for x in r.posted_ms])}
    out["rounds"] = [dict({mode: {"after_read_ms": _after_read(getattr(r, mode))}
                           for mode in MODES},
                          reference={"delivery_ms": stats.summary(r.posted_ms)},
                          load_1min=list(r.load)) for r in rounds]
    return out


def _samples_json(rounds: Sequence[Round], mode: str) -> List[dict]:
    return [{"round": i, "code": s.code, "at_us": s.at_us, "read_us": s.read_us,
             "arrival_us": s.arrival_us}
            for i, r in enumerate(rounds) for s in getattr(r, mode).samples]


def run(wine: WineEnv, work: Path, bin_dir: Path, count: int, seed: int,
        rounds: int, server: bool = False) -> Tuple[dict, dict]:
    """Both modes in one started product, `count` taps each and as many bare
    posts, in `rounds` rounds. Returns the figures and the raw samples."""
    rng = random.Random(seed)
    bench = Bench(wine, work, bin_dir)
    try:
        card = bench.register_cards()[0]
        app = bench.install_app("beyondtv", config={"ignore_close": 1})
        wine.start([app.exe])
        bench.probe.wait_for_window(cls=BEYONDTV_VIDEO_CLASS, timeout=30)
        if server:
            bench.set_settings(Server=1)
        product = bench.start(trace=False)
        connected = Clients() if server else None
        cardemu.wait_for_log(card.log_path,
                             lambda es: len(cardemu.requests(es, "status")) >= 2, timeout=30)

        measured = []
        powers = closes = 0
        for i, taps in enumerate(stats.split(count, rounds)):
            load = linuxproc.load_1min()
            adoption = Phase(bench, card, adoption_schedule(rng, bench.probe.time_us() + LEAD_US,
                                                            taps))
            adopted = adoption.run()
            round_powers = sum(1 for t in adoption.taps if t.code == POWER)
            powers += round_powers
            closes += adoption.closes(round_powers)
            posted = delivery_reference(bench, work / ("delivery-%d.log" % (i + 1)), taps)
            active = Phase(bench, card, active_schedule(rng, bench.probe.time_us() + LEAD_US,
                                                        taps))
            direct = active.run()
            active.closes(1)  # its last Power ended the adoption: the next round adopts anew
            measured.append(Round(adopted, direct, posted, (load, linuxproc.load_1min())))
        running = product.running()
        got = connected.counts() if connected else None
        product.stop()
    finally:
        bench.close()
    out = figures(measured)
    out["adoption"].update(power_keys=powers, closes_seen=closes)
    out.update(product_ran_throughout=running, seed=seed)
    if got is not None:
        out["server_clients"] = got
    return out, {mode: _samples_json(measured, mode) for mode in MODES}
