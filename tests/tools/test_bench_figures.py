"""Tests of the benchmark runner (tools/bench): tap schedules, pairing taps
with reads and arrivals, percentiles, ratios over rounds, finding a prefix's
processes, import lists and goal verdicts without Wine, then one short run of
every phase under Wine."""

import json
import random
import subprocess

import pytest

from bench import READER_CLASS, READER_EXE, footprint, idle, latency, linuxproc, report, run, stats
from bench.linuxproc import CpuTime
from winebench import cardemu
from winebench.scenario import Bench
from winebench.wine import WineEnv, Xvfb, wait_for
from bench.latency import (ADOPTION_CYCLE_US, ACTIVE_GAP_US, POLL_US, POWER, Matched, Sample,
                           Tap, active_schedule, adoption_schedule, beyondtv_vk, match,
                           pair_posts)


def test_schedules_make_every_tap_a_first_press_at_random_phases():
    rng = random.Random(3)
    adoption = adoption_schedule(rng, 1_000_000, 200)
    active = active_schedule(rng, 1_000_000, 200)
    for taps in (adoption, active):
        assert all(a.code != b.code for a, b in zip(taps, taps[1:]))
        assert all(a.at_us < b.at_us for a, b in zip(taps, taps[1:]))
    # Every digit is followed by the Power key that ends its adoption.
    assert [t.code == POWER for t in adoption] == [False, True] * 200
    assert [t.measured for t in adoption] == [True, False] * 200
    digits = [t.at_us for t in adoption if t.measured]
    gaps = [b - a - ADOPTION_CYCLE_US for a, b in zip(digits, digits[1:])]
    assert min(gaps) >= 0 and max(gaps) < POLL_US
    # The first active tap only adopts, a last Power ends the adoption for
    # the next round; the others are a poll or more apart.
    assert not active[0].measured and all(t.measured for t in active[1:-1])
    assert active[-1] == Tap(POWER, active[-1].at_us, measured=False)
    gaps = [b.at_us - a.at_us - ACTIVE_GAP_US for a, b in zip(active, active[1:])]
    assert min(gaps) >= 0 and max(gaps) < POLL_US
    # The random parts spread the taps over the whole poll period.
    phases = sorted(t.at_us % POLL_US for t in active)
    assert phases[0] < POLL_US // 10 and phases[-1] > POLL_US * 9 // 10


def test_match_pairs_reads_and_arrivals_and_sets_doubtful_taps_aside():
    taps = [Tap(0, 1000), Tap(POWER, 1100, measured=False), Tap(1, 2000), Tap(2, 2005),
            Tap(3, 3000), Tap(4, 4000), Tap(5, 5000)]
    transfers = [(900, 7),             # before the first tap: not its read
                 (1020, 0), (1130, POWER),
                 (2010, 1), (2075, 2),  # 2 waited behind 1: queued
                 # 3 is never read: lost, and the pairing goes on
                 (4010, 4), (5020, 5)]
    arrivals = [(1021, beyondtv_vk(0)), (1999, beyondtv_vk(1)), (2012, beyondtv_vk(9)),
                (2014, beyondtv_vk(1)), (2080, beyondtv_vk(2)), (4011, beyondtv_vk(4)),
                (5030, beyondtv_vk(5))]
    taken = {1000: 500, 2000: 500, 2005: 500, 4000: 500, 5000: 5001}  # 5's line came late
    matched = match(taps, transfers, arrivals, taken)
    assert [(s.code, s.latency_ms, s.after_read_ms) for s in matched.samples] == [
        (0, 0.021, 0.001), (1, 0.014, 0.004), (4, 0.011, 0.001)]
    assert [t.code for t in matched.lost] == [3]
    assert (matched.queued, matched.late) == (1, 1)

    # A key that never arrives is lost; the next one still pairs.
    matched = match([Tap(0, 0), Tap(1, 100)], [(10, 0), (110, 1)], [(120, beyondtv_vk(1))], {})
    assert [t.code for t in matched.lost] == [0]
    assert [s.arrival_us for s in matched.samples] == [120]

    # The bare posts of the reference pair the same way; one whose key came
    # only before it never arrived.
    assert pair_posts([(100, 97), (200, 98), (300, 99)], [(150, 97), (190, 99), (260, 98)]) == [
        0.05, 0.06]


def test_nearest_rank_percentiles():
    values = list(range(300, 0, -1))
    assert [stats.percentile(values, p) for p in (50, 95, 99, 100)] == [150, 285, 297, 300]
    assert stats.percentile([5.0], 99) == 5.0
    assert stats.summary([1.0, 2.0, 3.0, 10.0]) == {
        "count": 4, "mean": 4.0, "p50": 2.0, "p95": 10.0, "p99": 10.0, "min": 1.0, "max": 10.0}
    assert stats.summary([]) == {"count": 0}
    with pytest.raises(ValueError):
        stats.percentile([], 50)
    with pytest.raises(ValueError):
        stats.percentile([1], 0)


def _idle_round(product_ms, reader_ms, baseline_ms, load):
    """30 s of idle: the three programs' CPU ms (their wineservers 10 ms each)."""
    used = {who: CpuTime(int(ms * 1e6), 400)
            for who, ms in zip(idle.WHO, (product_ms, reader_ms, baseline_ms))}
    used.update({who + "_wineserver": CpuTime(10_000_000, 400) for who in idle.WHO})
    return idle.Round(used, {"product": 1100, "reader": 1000, "baseline": 400}, 30.0, load)


def _latency_round(after_read_ms, posted_ms, load, lost=0):
    """One mode's matched taps with these shares after the reading tick."""
    samples = [Sample(1, 0, 1000, 1000 + int(ms * 1000)) for ms in after_read_ms]
    return Matched(samples, [Tap(1, 0)] * lost), posted_ms, load


def test_a_ratio_is_the_median_over_rounds_and_one_spoilt_round_does_not_flip_its_verdict():
    loads = [(0.4, 1.2), (1.2, 1.0), (1.0, 0.9), (0.9, 0.6), (0.6, 0.5)]
    # Idle: a burst of other work lands in the product's first round. Against
    # the empty timer, the product is above 1.25 but in one round.
    figures = {"idle": idle.figures([_idle_round(330, 100, 80, loads[0]),
                                     _idle_round(105, 100, 80, loads[1]),
                                     _idle_round(108, 100, 80, loads[2]),
                                     _idle_round(102, 100, 90, loads[3])])}
    assert figures["idle"]["cpu_ratio_to_reader"] == {
        "rounds": 4, "median": 1.065, "min": 1.02, "max": 3.3,
        "per_round": [3.3, 1.05, 1.08, 1.02], "load_1min": [0.4, 1.2]}
    assert figures["idle"]["cpu"]["product"]["cpu_ms"] == 645.0  # all rounds together
    assert figures["idle"]["seconds"] == 120.0
    assert [r["load_1min"] for r in figures["idle"]["rounds"]] == [list(x) for x in loads[:4]]

    # Latency: adoption's first round has one slow key, the second round's
    # bare posts one slow post; active is 1.3 times a post in every round but
    # the second, and its last round loses every key.
    adoption = [[4.0, 1.0, 1.0], [1.0, 1.0, 1.0], [1.0] * 3, [1.0] * 3, [1.0] * 3]
    active = [[1.3] * 3, [1.3] * 3, [1.3] * 3, [1.3] * 3, []]
    posts = [[1.0] * 3, [1.0, 5.0, 1.0], [1.0] * 3, [1.0] * 3, [1.0] * 3]
    rounds = []
    for i in range(5):
        adopted, posted, load = _latency_round(adoption[i], posts[i], loads[i])
        direct = _latency_round(active[i], posts[i], loads[i], lost=3 * (i == 4))[0]
        rounds.append(latency.Round(adopted, direct, posted, load))
    figures["latency"] = latency.figures(rounds)
    ratios = {mode: figures["latency"][mode]["after_read_ratio_to_post"]["p99"]
              for mode in ("adoption", "active")}
    assert ratios["adoption"]["per_round"] == [4.0, 0.2, 1.0, 1.0, 1.0]
    assert ratios["active"]["per_round"] == [1.3, 0.26, 1.3, 1.3, None]
    assert (ratios["active"]["rounds"], ratios["active"]["min"]) == (4, 0.26)
    # The absolute figures stay pooled over all rounds.
    assert figures["latency"]["adoption"]["after_read_ms"]["p99"] == 4.0
    assert figures["latency"]["reference"]["delivery_ms"]["count"] == 15
    assert figures["latency"]["active"]["lost"] == 3

    # Judged by the median: not the first round, the mean, the worst or the
    # best round, nor the pooled figures.
    verdicts = {v["figure"]: v for v in report.verdicts(figures)}
    met = {name: verdicts[name]["met"] for name in (
        "idle.cpu_ratio_to_reader", "idle.process_ratio", "footprint.private_ratio_to_reader",
        "latency.adoption.after_read_ratio_to_post.p99",
        "latency.active.after_read_ratio_to_post.p99")}
    assert met == {"idle.cpu_ratio_to_reader": True, "idle.process_ratio": False,
                   "footprint.private_ratio_to_reader": True,
                   "latency.adoption.after_read_ratio_to_post.p99": True,
                   "latency.active.after_read_ratio_to_post.p99": False}
    assert verdicts["idle.cpu_ratio_to_reader"] == {
        "figure": "idle.cpu_ratio_to_reader", "value": 1.065, "limit": 1.10, "met": True,
        "spread": [1.02, 3.3], "rounds": 4, "load_1min": [0.4, 1.2]}
    # The table shows the median with the spread, the rounds and the load.
    row = next(line for line in report.table(figures).splitlines()
               if line.startswith("idle CPU, product / minimal reader"))
    assert "1.06 (1.02-3.3, 4 rounds, load 0.4-1.2)" in row and row.endswith(" met")


OBJDUMP_IMPORTS = """
The Import Tables (interpreted .idata section contents)
 vma:            Hint    Time      Forward  DLL       First
 0000a000\t0000a0a0 00000000 00000000 0000ab38 0000a270

\tDLL Name: ADVAPI32.dll
\tvma:  Hint/Ord Member-Name Bound-To
\ta440\t 1032  AdjustTokenPrivileges
\ta458\t 1414  LookupPrivilegeValueA

 0000a014\t0000a0cc 00000000 00000000 0000aba4 0000a29c

\tDLL Name: OLEAUT32.dll
\tvma:  Hint/Ord Member-Name Bound-To
\t80000009\t    9

 00000000\t00000000 00000000 00000000 00000000 00000000

There is an export table in .edata at 0x40d000
"""


def test_import_list_from_objdump():
    assert footprint.parse_imports(OBJDUMP_IMPORTS) == {
        "ADVAPI32.dll": ["AdjustTokenPrivileges", "LookupPrivilegeValueA"],
        "OLEAUT32.dll": ["#9"]}


def _looks_like_wine(argv0: str, prefix) -> subprocess.Popen:
    """A sleeping process with a Wine process's command line and prefix."""
    return subprocess.Popen([argv0, "60"], executable="/bin/sleep",
                            env={"WINEPREFIX": str(prefix)})


def test_the_processes_of_a_prefix_are_told_from_other_prefixes_and_programs(tmp_path):
    prefix = tmp_path / "pfx"
    procs = [_looks_like_wine("/usr/lib/wine/wineserver32", prefix),
             _looks_like_wine(r"Z:\work\build\bin\MarlowRemote.exe", prefix),
             _looks_like_wine("/usr/lib/wine/wineserver32", str(prefix) + "-other"),
             _looks_like_wine(r"C:\x\MarlowRemote.exe", str(prefix) + "-other")]
    try:
        assert linuxproc.wineserver_pid(prefix) == procs[0].pid
        assert linuxproc.windows_process_pid(prefix, "marlowremote.exe") == procs[1].pid
        with pytest.raises(LookupError):
            linuxproc.windows_process_pid(prefix, "TimerBaseline.exe")
    finally:
        for proc in procs:
            proc.kill()
            proc.wait()


def test_goal_verdicts_and_table_with_phases_missing():
    figures = {"latency": {"adoption": {"latency_ms": {"p99": 66.0}, "after_read_ms": {"p99": 1.2},
                                        "after_read_ratio_to_post": {"p99": 1.25}},
                           "active": {"error": "TimeoutError"}},
               "footprint": {"size_bytes": 40960},
               # memory is read in the idle phase, beside the reader
               "idle": {"private_ratio_to_reader": 1.16}}
    verdicts = {v["figure"]: v["met"] for v in report.verdicts(figures)}
    assert verdicts == {"latency.adoption.latency_ms.p99": True,
                        "latency.adoption.after_read_ms.p99": False,
                        "latency.active.latency_ms.p99": None,
                        "latency.active.after_read_ms.p99": None,
                        "latency.adoption.after_read_ratio_to_post.p99": True,
                        "latency.active.after_read_ratio_to_post.p99": None,
                        "idle.cpu_ratio_to_reader": None,
                        "idle.process_ratio": None, "footprint.size_bytes": True,
                        "footprint.private_ratio_to_reader": False}
    lines = report.table(figures).splitlines()
    assert len(lines) == len(report.rows({})) + 1
    assert sum("MISSED" in line for line in lines) == 2
    assert sum(line.rstrip().endswith(" met") for line in lines) == 3


def test_short_run_of_every_phase_measures_what_it_says(tmp_path, capsys):
    out = tmp_path / "bench.json"
    status = run.main(["--work", str(tmp_path / "work"), "--out", str(out), "--taps", "5",
                       "--latency-rounds", "2", "--idle-seconds", "2", "--idle-rounds", "2",
                       "--startup-runs", "1"])
    figures = json.loads(out.read_text())["figures"]
    assert status == 0, {name: f.get("error") for name, f in figures.items()}
    assert "figures written to" in capsys.readouterr().out

    latency = figures["latency"]
    for mode in ("adoption", "active"):
        assert latency[mode]["latency_ms"]["count"] == 5
        assert (latency[mode]["lost"], latency[mode]["queued"], latency[mode]["late"]) == (0, 0, 0)
        assert 0 < latency[mode]["after_read_ms"]["min"] <= latency[mode]["latency_ms"]["min"]
    assert latency["adoption"]["closes_seen"] == latency["adoption"]["power_keys"] == 5
    assert latency["reference"]["delivery_ms"]["count"] == 5
    # 5 taps a mode in 2 rounds: each round measures both modes and its posts.
    assert [r["reference"]["delivery_ms"]["count"] for r in latency["rounds"]] == [3, 2]
    for mode in ("adoption", "active"):
        ratio = latency[mode]["after_read_ratio_to_post"]["p99"]
        assert ratio["rounds"] == 2 and 0 < ratio["min"] <= ratio["median"] <= ratio["max"]
        assert [r[mode]["after_read_ms"]["count"] for r in latency["rounds"]] == [3, 2]
    assert latency["product_ran_throughout"]
    samples = json.loads((tmp_path / "work" / "latency-samples.json").read_text())
    assert [len(samples[m]) for m in ("adoption", "active")] == [5, 5]

    idle = figures["idle"]
    assert idle["ran_throughout"] and idle["seconds"] >= 2
    assert len(idle["rounds"]) == 2 and idle["cpu_ratio_to_reader"]["rounds"] == 2
    for who in ("product", "reader", "baseline"):
        for process in (who, who + "_wineserver"):
            # CPU time to the nanosecond: 2 s of a 65 ms timer show some.
            cpu = idle["cpu"][process]
            assert cpu["cpu_ms"] > 0 and cpu["scheduled_in"] > 0, process
        assert idle["memory_kib"]["after_start"][who]["private"] > 0
    # The reader loads what reading the card takes: more than the empty timer.
    memory = idle["memory_kib"]["after_start"]
    assert memory["reader"]["private"] > memory["baseline"]["private"] * 3 // 2

    startup = figures["startup"]
    product, reader, baseline = (startup[k] for k in ("product", "reader", "baseline"))
    assert 0 < product["filter_bound_ms"] < product["first_poll_ms"]
    assert 0 < reader["entry_ms"] < reader["receiver_open_ms"] < reader["first_tick_ms"]
    assert 0 < baseline["entry_ms"] < baseline["first_tick_ms"]
    assert json.loads(out.read_text())["width"]["bits"] in (32, 64)
    assert figures["footprint"]["size_bytes"] > 0 and "USER32.dll" in figures["footprint"]["imports"]


def test_the_card_log_keeps_every_read_of_the_minimal_reader_up_to_its_exit(tmp_path):
    # Idle reads are held back for batches of up to 16: the last batch must
    # still be written when the host process ends.
    with Xvfb() as xvfb:
        bench = Bench(WineEnv(tmp_path / "prefix", xvfb.display).create_from_template(),
                      tmp_path)
        try:
            card = bench.register_cards()[0]
            log = tmp_path / "reader.log"
            proc = bench.wine.start([bench.binary(READER_EXE), bench.wine.to_win(log)])
            cardemu.wait_for_log(card.log_path,
                                 lambda es: len(cardemu.requests(es, "status")) >= 20, timeout=30)
            bench.probe.post(bench.probe.find(cls=READER_CLASS)[0]["hwnd"], 0x0010)  # WM_CLOSE
            assert proc.wait(30) == 0
            exit_ = wait_for(lambda: [e for e in cardemu.read_log(log) if e["ev"] == "exit"],
                             timeout=10)[0]
        finally:
            bench.close()
            bench.wine.remove()  # a bench leaves the prefix's server running
    status = cardemu.requests(card.log(), "status")
    assert len(status) == exit_["ticks"] and status[-1]["t_us"] < exit_["t_us"]
    assert all(e["value"] == cardemu.STATUS_IDLE for e in status)
    assert [e["t_us"] for e in status] == sorted(e["t_us"] for e in status)
