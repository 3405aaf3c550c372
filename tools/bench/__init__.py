"""Benchmarks of MarlowRemote.exe under Wine: key-to-application latency,
idle CPU cost, memory and start-up time, each beside its goal and beside the
limit, MinimalReader.exe (the program's own card layer polled every 65 ms
and nothing else), with TimerBaseline.exe (an empty 65 ms window timer) as a
second reference. `python3 -m bench` with tools/ on PYTHONPATH runs them
(scripts/bench.sh does).
"""

BASELINE_EXE = "TimerBaseline.exe"
BASELINE_CLASS = "Marlow Timer Baseline"
READER_EXE = "MinimalReader.exe"
READER_CLASS = "Marlow Minimal Reader"
