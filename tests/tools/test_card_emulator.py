"""The card emulator's removed card, read through the program's own card layer
(MinimalReader.exe, which binds the card once): a card that vanishes fails
every request as a removed device does and loses what is pressed meanwhile;
a second reader that binds it once it is registered again reads keys as
before, while the first keeps failing. (The program binding the card again
in one process is what its receiver-link tests do.)"""

from bench import READER_EXE
from winebench import cardemu
from winebench.scenario import Bench
from winebench.wine import WineEnv, Xvfb

LOST, READ = 0x15, 0x16


def test_a_vanished_card_fails_every_request_until_it_is_bound_again(tmp_path):
    with Xvfb() as xvfb:
        bench = Bench(WineEnv(tmp_path / "prefix", xvfb.display).create_from_template(),
                      tmp_path)
        readers = []
        try:
            card = bench.register_cards()[0]

            def start_reader():
                readers.append(bench.wine.start([bench.binary(READER_EXE)]))
                return cardemu.wait_for_log(
                    card.log_path, lambda es: len([e for e in es if e.get("ev") == "load"])
                    == len(readers), timeout=30)

            def removed(e):
                return e.get("verdict") == "fault" and e["hr"] == "0x%08x" % cardemu.DEVICE_REMOVED

            start_reader()
            card.feed.vanish()
            cardemu.wait_for_log(card.log_path, lambda es: any(map(removed, es)), timeout=30)
            card.feed.tap(LOST)  # pressed on the removed card: taken, and lost with it
            cardemu.wait_for_log(card.log_path, lambda es: any(
                e.get("line") == "tap 0x%02X" % LOST for e in es), timeout=30)
            gone = len(card.log())

            bench.register_cards([card.device])  # it comes back; a second reader binds it
            back = len(start_reader())
            cardemu.wait_for_log(card.log_path, lambda es: any(
                e.get("verdict") == "ok" for e in es[back:]), timeout=30)  # its feed is open
            card.feed.tap(READ)
            entries = cardemu.wait_for_log(card.log_path, lambda es: any(
                map(cardemu.is_read, es[back:])), timeout=30)
        finally:
            bench.close()  # ends the readers
            bench.wine.remove()  # a bench leaves the prefix's server running
    vanish = next(i for i, e in enumerate(entries) if e.get("line") == "vanish")
    assert cardemu.requests(entries[vanish:gone]) and all(
        map(removed, cardemu.requests(entries[vanish:gone])))
    # The first reader, bound to the card that vanished, keeps failing; the
    # second one reads the status and the key pressed since, not the lost one.
    after = cardemu.requests(entries[back:])
    assert any(map(removed, after))
    assert [e["value"] for e in after if cardemu.is_read(e)] == [READ]
    assert {e["verdict"] for e in after if not removed(e)} == {"ok"}
