"""The card's receiver from the program's side: which capture device it takes
(the first of four names that some device bears, exact case, the last device
of that name; a device that refuses to load ends the search for its name),
and how it polls it: one status read per 65 ms tick, a transfer only when a
code waits, and failing requests doing no harm.
"""

from __future__ import annotations

import statistics

import pytest

from shell_steps import start_shell
from winebench import cardemu
from winebench.cardemu import Device
from winebench.scenario import Bench

FIRST = "Philips Silicon (7171-35) WDM Video Capture"
SECOND = "Philips Cap713x Video Capture"
THIRD = "713x BDA Analog Capture"
FOURTH = "BUFFALO PC-SMP2E/PCI WDM Video Capture"
NO_ACTION_CODES = (15, 40, 99)   # codes no destination acts on


def loads(card) -> int:
    return len([e for e in card.log() if e.get("ev") == "load"])


def requests(card, req=None) -> list:
    return cardemu.requests(card.log(), req)


# Instance names set the enumeration order; the letters say what the
# device should see: L loaded (bound), P loaded and polled, - never loaded.
DISCOVERY = {
    "name order, case, last of equal names": [
        (Device("0001", SECOND), "-"), (Device("0002", FIRST.lower()), "-"),
        (Device("0003", FIRST), "L"), (Device("0004", FOURTH), "-"),
        (Device("0005", FIRST), "P")],
    "refused load ends that name's search; the next name starts over": [
        (Device("0001", THIRD), "P"), (Device("0002", FIRST, refuse_bind=True), "L"),
        (Device("0003", FIRST), "-"), (Device("0004", SECOND, refuse_bind=True), "L"),
        (Device("0005", SECOND), "-")],
    "the last name, exactly": [
        (Device("0001", FOURTH + " "), "-"), (Device("0002", FOURTH), "P"),
        (Device("0003", "BUFFALO PC-SMP2E/PCI WDM VIDEO CAPTURE"), "-")],
}


@pytest.mark.parametrize("case", DISCOVERY)
def test_card_is_chosen_by_name(bench, case):
    devices = [device for device, _ in DISCOVERY[case]]
    cards = bench.register_cards(devices)
    start_shell(bench, card=False)
    polled = next(card for card, (_, seen) in zip(cards, DISCOVERY[case]) if seen == "P")
    cardemu.wait_for_log(polled.log_path, lambda log: len(cardemu.requests(log, "status")) >= 3)
    seen = {card.device.instance: ("P" if requests(card) else "L" if loads(card) else "-")
            for card in cards}
    assert seen == {device.instance: expected for device, expected in DISCOVERY[case]}
    # Whichever name matched, the filter joins the graph under the first one.
    assert [e["name"] for e in polled.log() if e.get("ev") == "join"] == [FIRST]
    assert all(loads(card) <= 1 for card in cards)


@pytest.fixture(scope="module")
def polled(wine, tmp_path_factory):
    """One program polling its card for the rest of the module."""
    bench = Bench(wine, tmp_path_factory.mktemp("receiver"))
    try:
        shell = start_shell(bench)
        yield bench.card(), shell
    finally:
        bench.close()


def test_one_status_read_per_65_ms_tick(polled):
    card, _ = polled
    start = len(card.log())
    count = 47   # three seconds
    entries = cardemu.wait_for_log(card.log_path, lambda log: len(
        cardemu.requests(log[start:], "status")) >= count, timeout=20)[start:]
    reads = cardemu.requests(entries, "status")[:count]
    rate = (count - 1) / ((reads[-1]["t_us"] - reads[0]["t_us"]) / 1e6)
    assert 12 <= rate <= 17, "%.1f reads a second" % rate
    gaps = [(b["t_us"] - a["t_us"]) / 1000 for a, b in zip(reads, reads[1:])]
    assert 55 <= statistics.median(gaps) <= 80
    assert cardemu.requests(entries, "transfer") == []   # no code waited


def fetched(requests: list) -> list:
    """The codes that transfers returned."""
    return [e["value"] for e in requests if e["req"] == "transfer" and e["verdict"] == "ok"]


def feed_and_wait(card, lines, codes: int) -> list:
    """Appends feed lines and returns the card's requests from the one that
    took them on, once `codes` codes have been fetched and the card was
    polled once more."""
    start = len(card.log())
    for line in lines:
        card.feed.line(line)

    def requests_since_feed(log: list) -> list:
        new = log[start:]
        taken = next((i for i, e in enumerate(new) if e.get("ev") == "feed"), len(new))
        return cardemu.requests(new[taken:])

    def done(log: list) -> bool:
        reqs = requests_since_feed(log)
        return len(fetched(reqs)) >= codes and reqs[-1]["req"] == "status"
    return requests_since_feed(cardemu.wait_for_log(card.log_path, done, timeout=20))


def test_failing_requests_do_no_harm(polled):
    card, shell = polled
    code = NO_ACTION_CODES[0]
    # A failed status read means no code; a failed transfer leaves the code
    # waiting for the next tick.
    reqs = feed_and_wait(card, ["fault status 0x%08X 4" % cardemu.E_FAIL,
                                "fault transfer 0x%08X 1" % cardemu.E_FAIL, "tap %d" % code], 1)
    waiting = ("status", "ok", cardemu.STATUS_CODE_WAITING)
    assert [(e["req"], e["verdict"], e.get("value")) for e in reqs[:8]] == (
        [("status", "fault", None)] * 4
        + [waiting, ("transfer", "fault", None), waiting, ("transfer", "ok", code)])

    # Half the requests failing (S_FALSE and E_FAIL) for a while: the program
    # keeps polling and gets the next code once the receiver behaves.
    start = len(card.log())
    card.feed.faultrate(50, seed=7)
    cardemu.wait_for_log(card.log_path, lambda log: len(
        [e for e in log[start:] if e.get("verdict") == "fault"]) >= 30, timeout=20)
    reqs = feed_and_wait(card, ["faultrate 0", "tap %d" % NO_ACTION_CODES[1]], 1)
    assert fetched(reqs) == [NO_ACTION_CODES[1]]
    assert shell.product.running()
    shell.settle()
