"""A receiver that fails one request in ten, at random, during a session:
a failed status read reads as "no key" and the code is read at a later tick;
a failed transfer reads as code 255, which Beyond TV's map ignores, and the
code is read again. Every key still arrives exactly once, in order."""

from __future__ import annotations

from remote_steps import WM_KEYDOWN, press, run_apps, start_remote, wait_new
from winebench.surface import KEYS

VK_NUMPAD1 = 97
DIGIT_5 = KEYS["5"]


def test_random_failures_lose_no_key_and_invent_none(bench):
    app = run_apps(bench, ["beyondtv"])["beyondtv"]
    product, card = start_remote(bench)
    video = app.window()
    press(card, DIGIT_5)  # makes Beyond TV the target
    card.feed.faultrate(10, seed=20261206)
    codes = [i % 9 for i in range(60)]  # digits 1 to 9, never the same twice in a row
    for code in codes:
        card.feed.tap(code)
    received = wait_new(lambda: app.received("WM_KEYDOWN"), 0, 1 + len(codes), timeout=60)
    card.feed.faultrate(0)

    assert received == [(video, VK_NUMPAD1 + c, 0) for c in [DIGIT_5] + codes]
    failures = [e for e in card.log() if e.get("verdict") == "fault"]
    assert {e["req"] for e in failures} == {"status", "transfer"}
    assert product.running()
    assert product.stop() == 0
