#!/usr/bin/env python3
"""Runs a command and prints what it cost: "wall_s peak_kb cpu_s thread_s".

cpu_s is user + sys of the command and everything it waited for; thread_s is
the CPU time of its busiest thread: the main thread's (cpu_s minus what the
other threads had used when last seen) or another's, whichever is more. The
threads are sampled every 20 ms from /proc, so the main thread's time errs on
the high side by at most a sample's worth.

On a shared machine wall time depends on the load; CPU time does not, and
with thread_s it says what the command needs on two idle cores: at least
cpu_s / 2 (two cores share the work) and at least thread_s (a thread's work
is serial), so max(cpu_s / 2, thread_s).

    bench/cpu-times.py COMMAND [ARG...]    (stdout and stderr of COMMAND are discarded)
"""
import os
import subprocess
import sys
import time

TICKS = os.sysconf("SC_CLK_TCK")


def thread_ticks(pid):
    """utime + stime of every thread of pid but the main one, by thread id."""
    found = {}
    try:
        tids = os.listdir(f"/proc/{pid}/task")
    except OSError:
        return found
    for tid in tids:
        if tid == str(pid):
            continue
        try:
            with open(f"/proc/{pid}/task/{tid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        found[tid] = int(fields[11]) + int(fields[12])  # utime, stime after the name
    return found


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    start = time.monotonic()
    child = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    others = {}
    while True:
        pid, status, usage = os.wait4(child.pid, os.WNOHANG)
        if pid != 0:
            break
        others.update(thread_ticks(child.pid))
        time.sleep(0.02)
    wall = time.monotonic() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed ({os.waitstatus_to_exitcode(status)}): {' '.join(sys.argv[1:])}")
    cpu = usage.ru_utime + usage.ru_stime
    main_cpu = max(0.0, cpu - sum(others.values()) / TICKS)
    busiest = max([main_cpu] + [ticks / TICKS for ticks in others.values()])
    print(f"{wall:.2f} {usage.ru_maxrss} {cpu:.2f} {busiest:.2f}")


if __name__ == "__main__":
    main()
