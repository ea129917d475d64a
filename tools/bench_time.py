#!/usr/bin/env python3
"""Times shell commands side by side for the benchmark.

    bench_time.py RUNS NAME=COMMAND [NAME=COMMAND ...]

Runs every command once as a warm-up, then RUNS rounds in which each command
runs once, in turn, so that a noisy machine slows all of them alike. Prints one
line per command: NAME, the median time in seconds and the peak resident
memory of its process in KiB (the largest over all runs). The time is wall
time, or with BENCH_CLOCK=cpu the process's CPU time (user + system, from
wait4, its waited-for children included), which a shared virtual machine
disturbs far less.
"""
import os
import resource
import statistics
import subprocess
import sys
import time


def run(command):
    start = time.perf_counter()
    pid = subprocess.Popen(["/bin/bash", "-c", "exec " + command]).pid
    _, status, usage = os.wait4(pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"bench_time: command failed: {command}")
    if os.environ.get("BENCH_CLOCK") == "cpu":
        elapsed = usage.ru_utime + usage.ru_stime
    return elapsed, usage.ru_maxrss


def main():
    runs = int(sys.argv[1])
    commands = [arg.split("=", 1) for arg in sys.argv[2:]]
    times = {name: [] for name, _ in commands}
    peak = {name: 0 for name, _ in commands}
    for _, command in commands:
        run(command)
    for _ in range(runs):
        for name, command in commands:
            elapsed, rss = run(command)
            times[name].append(elapsed)
            peak[name] = max(peak[name], rss)
    for name, _ in commands:
        print(f"{name} {statistics.median(times[name]):.6f} {peak[name]}")


if __name__ == "__main__":
    main()
