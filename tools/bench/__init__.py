"""Benchmarks of MarlowRemote.exe under Wine: key-to-application latency,
idle CPU cost, footprint and start-up time, each beside its goal or beside
TimerBaseline.exe (an empty 65 ms window timer). `python3 -m bench` with
tools/ on PYTHONPATH runs them (scripts/bench.sh does).
"""

BASELINE_EXE = "TimerBaseline.exe"
BASELINE_CLASS = "Marlow Timer Baseline"
