"""The remote never stays deaf: after a sleep the program opens the card
afresh and keys work again, without acting on a key from before the sleep; a
card that goes away is looked for until it comes back, without a box; a card
that comes late is found. Wine does not sleep and its devices do not come and
go: the probe sends the program the system's broadcasts, and the card
emulator vanishes and is registered again."""

from __future__ import annotations

from remote_steps import assert_polls_on, hold, main_window, start_remote
from shell_steps import LINK_TIMER, POLL_TIMER
from winebench import cardemu
from winebench.surface import KEYS, LINK
from winebench.trace import NIM_MODIFY
from winebench.wine import wait_for

TRACE_ALSO = ("kernel32.OutputDebugStringA", "user32.RegisterDeviceNotificationA")
WM_POWERBROADCAST, PBT_APMSUSPEND, PBT_APMRESUMESUSPEND, PBT_APMRESUMEAUTOMATIC = 0x218, 4, 7, 18
WM_DEVICECHANGE, DBT_DEVNODES_CHANGED = 0x219, 7
DOWN = KEYS["9"]  # the pointer down
STANDBY = KEYS["Standby"]
MISSING = "finding the capture filter"
GONE = "every request to the remote receiver for 2 s"


def events(card, name: str) -> list:
    return [e for e in card.log() if e.get("ev") == name]


def graphs_joined(card) -> int:
    """Filter graphs the card was put in: one a time the program opened it."""
    return len([e for e in events(card, "join") if e.get("name")])


def traced(product, what: str, since: int = 0) -> list:
    """The program's failure trace lines about `what`."""
    return [c for c in product.trace.calls("OutputDebugStringA", since=since)
            if what in str(c.args[0])]


def test_after_a_resume_the_card_is_opened_afresh_and_a_key_from_before_does_nothing(bench):
    product, card = start_remote(bench)
    window = main_window(product)
    bench.probe.set_cursor(500, 400)
    mark = product.trace.mark()
    bench.probe.post(window, WM_POWERBROADCAST, PBT_APMSUSPEND)
    product.trace.wait_for_call("KillTimer", lambda c: c.args[1] == POLL_TIMER, since=mark)
    # The PC sleeps with a key waiting in the receiver; it wakes, and both of
    # Windows' resume broadcasts come.
    start = len(card.log())
    card.feed.tap(DOWN)
    for event in (PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND):
        bench.probe.post(window, WM_POWERBROADCAST, event)
    product.trace.wait_for_call("SetTimer", lambda c: c.args[1] == POLL_TIMER, since=mark,
                                timeout=LINK["resume_settle_ms"] / 1000 + 20)
    cardemu.wait_for_log(card.log_path, lambda log: cardemu.handled(log, start, 1))
    # Opened afresh once for the one resume; the waiting key was read and
    # dropped: the pointer did not move.
    assert product.trace.calls("SetCursorPos", since=mark) == []
    assert graphs_joined(card) == 2
    assert [c.args[1:3] for c in product.trace.calls("SetTimer", since=mark)] == [
        [LINK_TIMER, LINK["resume_settle_ms"]], [POLL_TIMER, LINK["poll_ms"]]]
    assert_polls_on(bench, product, card)


def test_a_standby_held_across_its_own_sleep_does_not_sleep_again(bench):
    product, card = start_remote(bench)
    mark = product.trace.mark()
    # Standby held: the PC sleeps at its first read (the call returns once it
    # has woken), and the key is still down, read three times more, when the
    # card is open again (no poll in between).
    reads = hold(card, STANDBY, 0, reads=4)
    reopened = max(i for i, e in enumerate(card.log()) if e.get("ev") == "join" and e.get("name"))
    assert reads[1]["t_us"] > card.log()[reopened]["t_us"]
    assert len(product.trace.calls("SetSystemPowerState", since=mark)) == 1
    assert_polls_on(bench, product, card)


def test_a_card_that_vanishes_for_ten_seconds_works_again_without_a_box(bench):
    product, card = start_remote(bench)
    mark = product.trace.mark()
    card.feed.vanish()
    bench.register_cards([])  # and the system no longer lists it
    product.trace.wait_for_call("KillTimer", lambda c: c.args[1] == POLL_TIMER, since=mark,
                                timeout=LINK["failing_for_ms"] / 1000 + 20)
    assert len(traced(product, GONE, since=mark)) == 1
    # Ten seconds later it is back, and found at the next look.
    gone_at = cardemu.now_us()
    wait_for(lambda: cardemu.now_us() - gone_at >= 10_000_000, timeout=30)
    back = len(card.log())
    bench.register_cards([card.device])
    product.trace.wait_for_call("SetTimer", lambda c: c.args[1] == POLL_TIMER, since=mark,
                                timeout=LINK["longest_retry_ms"] / 1000 + 20)
    # Polled as before once it has said that no key waits: what its receiver
    # held when it came back is dropped.
    cardemu.wait_for_log(card.log_path, lambda log: [
        e for e in log[back:] if e.get("req") == "status" and e.get("value") == cardemu.STATUS_IDLE])
    assert_polls_on(bench, product, card)
    assert product.trace.calls("MessageBoxA", since=mark) == []
    # The tip said so while it was away, and says so no more.
    assert [c.args[0] for c in product.trace.calls("Shell_NotifyIconA", since=mark)] == [
        NIM_MODIFY, NIM_MODIFY]
    waits = [c.args[2] for c in product.trace.calls("SetTimer", since=mark)
             if c.args[1] == LINK_TIMER]
    first = LINK["first_retry_ms"]
    assert waits == [first * 2 ** n for n in range(len(waits))]
    assert graphs_joined(card) == 2
