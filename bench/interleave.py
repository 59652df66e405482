#!/usr/bin/env python3
"""Times commands as whole processes, taking turns run by run so that a
change in the machine's load falls on all of them alike; prints the median
and quartiles of each and each median's ratio to the first command's.

Usage: interleave.py [--runs N] [--warmup N] -- CMD1 -- CMD2 [-- CMD3 ...]
Each CMD is a command line, split on blanks (no shell)."""
import os
import statistics
import sys
import time


def run(argv):
    start = time.perf_counter_ns()
    pid = os.posix_spawnp(argv[0], argv, os.environ)
    _, status = os.waitpid(pid, 0)
    took = time.perf_counter_ns() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"interleave: {' '.join(argv)} failed ({status})")
    return took / 1e6


def main(args):
    runs, warmup = 300, 10
    while args and args[0] != "--":
        opt = args.pop(0)
        if opt == "--runs":
            runs = int(args.pop(0))
        elif opt == "--warmup":
            warmup = int(args.pop(0))
        else:
            sys.exit(__doc__)
    commands = [c.split() for c in " ".join(args).split("--") if c.strip()]
    if len(commands) < 2:
        sys.exit(__doc__)
    times = [[] for _ in commands]
    for i in range(warmup + runs):
        for c, argv in enumerate(commands):
            t = run(argv)
            if i >= warmup:
                times[c].append(t)
    base = statistics.median(times[0])
    for argv, t in zip(commands, times):
        q = statistics.quantiles(t, n=4)
        med = statistics.median(t)
        print(f"{med:7.2f} ms median ({q[0]:.2f}..{q[2]:.2f}), "
              f"{med / base:4.2f}x   {' '.join(argv)}")


if __name__ == "__main__":
    main(sys.argv[1:])
