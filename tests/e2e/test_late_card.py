"""A card that is not there when the program starts (its driver is not ready
at logon) is looked for on a slow timer, and at once when Windows reports
new devices; found, it is polled as if it had been there at start. Wine's
devices do not come and go: the card is registered late, and the probe sends
the program the system's report."""

from __future__ import annotations

from remote_steps import main_window
from shell_steps import POLL_TIMER
from test_receiver_link import (DBT_DEVNODES_CHANGED, MISSING, WM_DEVICECHANGE, assert_polls_on,
                                traced)
from winebench import cardemu
from winebench.surface import LINK
from winebench.wine import wait_for

TRACE_ALSO = ("kernel32.OutputDebugStringA", "user32.RegisterDeviceNotificationA")


def test_a_card_registered_thirty_seconds_after_start_is_found_and_polled(bench):
    bench.register_cards([])
    product = bench.start()
    window = main_window(product)
    assert product.trace.wait_for_call("RegisterDeviceNotificationA").args[0] == window
    started = cardemu.now_us()
    wait_for(lambda: cardemu.now_us() - started >= 30_000_000, timeout=60)
    # Looked for at start, then on the slow timer alone: every 5 s.
    looks = len(traced(product, MISSING))
    assert abs(looks - (1 + 30_000 // LINK["late_card_retry_ms"])) <= 1
    assert not [c for c in product.trace.calls("SetTimer") if c.args[1] == POLL_TIMER]

    card = bench.register_cards()[0]
    mark = product.trace.mark()
    # The system's report finds it at once: the poll has started when the
    # message has been handled, long before the next look on the timer.
    bench.probe.send(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED)
    assert [c.args[1:3] for c in product.trace.calls("SetTimer", since=mark)] == [
        [POLL_TIMER, LINK["poll_ms"]]]
    assert traced(product, MISSING, since=mark) == []
    assert_polls_on(bench, product, card)
