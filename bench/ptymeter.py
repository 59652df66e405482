#!/usr/bin/env python3
"""Measures a full-screen program from outside, through a pseudo-terminal.

Starts COMMAND on a new pseudo-terminal of the given size and TERM, then per
run: the time until the READY text has been drawn (or, without --ready,
until the program ends), the bytes the program writes in answer to each of
the --keys, the time from the last of the --exit-keys to the program's end,
and its peak resident memory before the exit keys. Writes one JSON object to standard output:

  {"command": [...], "runs": [{"startup_ms", "ready_bytes", "key_bytes",
   "last_key_to_exit_ms", "peak_rss_kb", "status", "problem"}, ...],
   "summary": {NAME: {"median", "min", "max", "count"}, ...}}

"key_bytes_median" in the summary is the median over the runs of each run's
median bytes per key. A program's answer to a key is taken as complete when
it has written nothing for --quiet-ms: this is a meter for benchmarks, where
such a settle is acceptable, not for tests.

Keys: space-separated; <Up> <Down> <Left> <Right> <Enter> <Esc> <Tab>
<BTab> <F1>..<F6> <PgUp> <PgDn> <Space>, or literal characters; a "*N"
suffix repeats a key (<Down>*7). Arrows follow the cursor-key mode the
program selects, as a terminal would.
"""

import argparse
import errno
import fcntl
import json
import os
import re
import select
import signal
import statistics
import struct
import sys
import termios
import time

CSI_KEYS = {"Up": "A", "Down": "B", "Right": "C", "Left": "D"}
FIXED_KEYS = {
    "Enter": b"\r", "Esc": b"\x1b", "Tab": b"\t", "BTab": b"\x1b[Z",
    "Space": b" ", "PgUp": b"\x1b[5~", "PgDn": b"\x1b[6~",
    "F1": b"\x1bOP", "F2": b"\x1bOQ", "F3": b"\x1bOR", "F4": b"\x1bOS",
    "F5": b"\x1b[15~", "F6": b"\x1b[17~",
}
# Escape sequences and the character-set shifts, removed before the ready
# text is looked for: a program may colour part of it.
CONTROL = re.compile(rb"\x1b\[[0-?]*[ -/]*[@-~]|\x1b\][^\x07\x1b]*(?:\x07|\x1b\\)"
                     rb"|\x1b[()][0-9A-Za-z]|\x1b[=>78cDEHMNO]|[\x0e\x0f]")
APP_CURSOR_ON = b"\x1b[?1h"
APP_CURSOR_OFF = b"\x1b[?1l"


def parse_keys(spec):
    """The keys of a --keys text, each as a name or a literal character."""
    keys = []
    for token in spec.split():
        count = 1
        m = re.fullmatch(r"(.+)\*(\d+)", token)
        if m:
            token, count = m.group(1), int(m.group(2))
        if token.startswith("<") and token.endswith(">"):
            name = token[1:-1]
            if name not in CSI_KEYS and name not in FIXED_KEYS:
                raise ValueError(f"unknown key {token}")
            keys += [name] * count
        else:
            keys += list(token) * count
    return keys


class Session:
    """One run of the program on its own pseudo-terminal."""

    def __init__(self, argv, env, cols, rows):
        self.app_cursor = False
        self.tail = b""
        master, slave = os.openpty()
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", rows, cols, 0, 0))
        # posix_spawn, not fork: the program starts without first being a
        # copy of this meter, which is both slower and counted in its memory.
        # In its own session, opening the terminal makes it the controlling
        # one; both descriptors of openpty() close on exec.
        self.start = time.monotonic()
        self.pid = os.posix_spawnp(
            argv[0], argv, env, setsid=True,
            file_actions=[(os.POSIX_SPAWN_OPEN, 0, os.ttyname(slave), os.O_RDWR, 0),
                          (os.POSIX_SPAWN_DUP2, 0, 1), (os.POSIX_SPAWN_DUP2, 0, 2)])
        os.close(slave)
        self.fd = master
        self.status = None

    def key_bytes(self, name):
        if name in CSI_KEYS:
            return (b"\x1bO" if self.app_cursor else b"\x1b[") + CSI_KEYS[name].encode()
        if name in FIXED_KEYS:
            return FIXED_KEYS[name]
        return name.encode()

    def read(self, timeout):
        """Bytes written within `timeout` seconds; None at the end."""
        ready, _, _ = select.select([self.fd], [], [], max(timeout, 0))
        if not ready:
            return b""
        try:
            data = os.read(self.fd, 65536)
        except OSError as e:
            if e.errno == errno.EIO:
                return None
            raise
        if not data:
            return None
        # The cursor-key mode may be split over two reads.
        seen = self.tail + data
        on, off = seen.rfind(APP_CURSOR_ON), seen.rfind(APP_CURSOR_OFF)
        if on != off:
            self.app_cursor = on > off
        self.tail = seen[-8:]
        return data

    def wait_text(self, text, timeout):
        """(milliseconds, bytes) when `text` has been drawn, else (None, bytes)."""
        shown, total = b"", 0
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            data = self.read(deadline - time.monotonic())
            if data is None:
                break
            total += len(data)
            shown = CONTROL.sub(b"", shown[-4096:] + data)
            if text in shown:
                return (time.monotonic() - self.start) * 1000, total
        return None, total

    def drain(self, quiet, timeout):
        """Bytes written until the program is quiet for `quiet` seconds."""
        total = 0
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            data = self.read(min(quiet, deadline - time.monotonic()))
            if not data:
                break
            total += len(data)
        return total

    def peak_kb(self):
        """The program's peak resident memory so far, from /proc (kB).

        Not ru_maxrss: the kernel counts in it the memory of the process
        the program was spawned from."""
        try:
            with open(f"/proc/{self.pid}/status") as f:
                for line in f:
                    if line.startswith("VmHWM:"):
                        return int(line.split()[1])
        except (OSError, ValueError, IndexError):
            pass
        return None

    def send(self, name):
        os.write(self.fd, self.key_bytes(name))

    def wait_exit(self, timeout):
        """Milliseconds until the program ends, or None when it does not."""
        start = time.monotonic()
        deadline = start + timeout
        while time.monotonic() < deadline:
            if self.read(min(0.05, deadline - time.monotonic())) is None or self.poll():
                if self.status is None:
                    self.reap(block=True)
                return (time.monotonic() - start) * 1000
        return None

    def poll(self):
        return self.reap(block=False)

    def reap(self, block):
        if self.status is not None:
            return True
        pid, status = os.waitpid(self.pid, 0 if block else os.WNOHANG)
        if pid == 0:
            return False
        self.status = os.waitstatus_to_exitcode(status)
        return True

    def close(self):
        if self.status is None:
            for sig in (signal.SIGTERM, signal.SIGKILL):
                try:
                    os.kill(self.pid, sig)
                except ProcessLookupError:
                    break
                if self.wait_exit(1.0) is not None:
                    break
            self.reap(block=True)
        os.close(self.fd)


def one_run(args, keys, exit_keys, env):
    s = Session(args.command, env, args.cols, args.rows)
    run = {"startup_ms": None, "ready_bytes": 0, "key_bytes": [],
           "last_key_to_exit_ms": None, "peak_rss_kb": None, "status": None,
           "problem": None}
    try:
        if args.ready:
            ms, total = s.wait_text(args.ready.encode(), args.timeout)
            run["ready_bytes"] = total
            if ms is None:
                run["problem"] = f"{args.ready!r} not drawn within {args.timeout} s"
                return run
            run["startup_ms"] = ms
            run["ready_bytes"] += s.drain(args.quiet_ms / 1000, args.timeout)
        else:
            ms = s.wait_exit(args.timeout)
            run["startup_ms"] = None if ms is None else (time.monotonic() - s.start) * 1000
        quiet = args.quiet_ms / 1000
        for k in keys:
            s.send(k)
            run["key_bytes"].append(s.drain(quiet, args.timeout))
        run["peak_rss_kb"] = s.peak_kb()
        for i, k in enumerate(exit_keys):
            s.send(k)
            if i + 1 < len(exit_keys):
                s.drain(quiet, args.timeout)
        if exit_keys and args.exit_wait > 0:
            run["last_key_to_exit_ms"] = s.wait_exit(args.exit_wait)
            if run["last_key_to_exit_ms"] is None:
                run["problem"] = f"still running {args.exit_wait} s after the exit keys"
    finally:
        s.close()
        run["status"] = s.status
    return run


def summary(runs):
    def stats(values):
        values = [v for v in values if v is not None]
        if not values:
            return None
        return {"median": statistics.median(values), "min": min(values),
                "max": max(values), "count": len(values)}
    out = {}
    for name in ("startup_ms", "ready_bytes", "last_key_to_exit_ms", "peak_rss_kb"):
        out[name] = stats([r[name] for r in runs])
    out["key_bytes_median"] = stats([statistics.median(r["key_bytes"])
                                     for r in runs if r["key_bytes"]])
    return out


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--repeat", type=int, default=10, help="measured runs")
    p.add_argument("--warmup", type=int, default=1, help="runs before, not counted")
    p.add_argument("--ready", help="text whose drawing ends the start-up")
    p.add_argument("--keys", default="", help="keys to measure, one by one")
    p.add_argument("--exit-keys", default="", help="keys that end the program")
    p.add_argument("--exit-wait", type=float, default=5.0,
                   help="seconds to wait for the end after the exit keys (0: do not)")
    p.add_argument("--env", action="append", default=[], metavar="NAME=VALUE")
    p.add_argument("--term", default="xterm-256color")
    p.add_argument("--cols", type=int, default=80)
    p.add_argument("--rows", type=int, default=24)
    p.add_argument("--quiet-ms", type=float, default=60,
                   help="silence that ends the answer to a key")
    p.add_argument("--timeout", type=float, default=10, help="seconds for any one step")
    p.add_argument("--indent", type=int, default=2)
    p.add_argument("command", nargs=argparse.REMAINDER)
    args = p.parse_args()
    if args.command and args.command[0] == "--":
        args.command = args.command[1:]
    if not args.command:
        p.error("no command")
    try:
        keys, exit_keys = parse_keys(args.keys), parse_keys(args.exit_keys)
    except ValueError as e:
        p.error(str(e))
    env = dict(os.environ, TERM=args.term)
    for item in args.env:
        name, _, value = item.partition("=")
        env[name] = value
    runs = []
    for i in range(args.warmup + args.repeat):
        run = one_run(args, keys, exit_keys, env)
        if i >= args.warmup:
            runs.append(run)
        if run["problem"]:
            print(f"ptymeter: {args.command[0]}: run {i + 1}: {run['problem']}", file=sys.stderr)
    result = {"command": args.command, "runs": runs, "summary": summary(runs)}
    json.dump(result, sys.stdout, indent=args.indent or None)
    sys.stdout.write("\n")
    return 1 if any(r["problem"] for r in runs) else 0


if __name__ == "__main__":
    sys.exit(main())
