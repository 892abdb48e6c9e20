#!/usr/bin/env python3
"""Varnel's figures, as ratios measured in one run (a benchmark, not a test).

    tools/in-env python3 tools/bench/bench.py [--idle SECONDS] [--varnel FILE]

FILE: another build of varnel.exe to measure (an earlier one, say), in place
of build/win32/varnel.exe.

- size: the shipped program (build/win32/varnel.exe) against a bare window
  program built and linked the same way, with the same entry and no
  resources (build/win32/bare_window.exe);
- delay: from the start of the trigger minute to each command's arrival at
  the stand-in recorder, over the end-to-end runs (build/win32/e2e/results.json,
  written by the test command), against the two-second tick;
- start-up: from the same runs, how long Varnel's window took to come up
  and the user stand-in to find it, against the budget the runs have
  (tools/harness/job_run.py);
- idle: processor time used during a long idle wait, Varnel against the bare
  window program running the same two-second timer, both under Wine.
Run tools/setup-and-test first: it builds the program and the e2e results.
"""
import argparse
import json
import os
import statistics
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'harness'))
from wine import Wine  # noqa: E402

WIN32 = os.path.join(ROOT, 'build', 'win32')


def cpu_seconds(pid):
    """Time on the processor of a Linux process's threads, in seconds (the
    scheduler counts nanoseconds; the usual tick counts are too coarse here)."""
    total = 0
    for task in os.listdir('/proc/%d/task' % pid):
        total += int(open('/proc/%d/task/%s/schedstat' % (pid, task)).read().split()[0])
    return total / 1e9


def windows_process(wine, program):
    """The Linux process that runs PROGRAM (a file name) in this prefix: Wine
    starts it apart from the launcher that it hands back, a 32-bit one with
    the loader's path (and, under the emulator, the emulator's) before its
    own on its command line."""
    for pid in filter(str.isdigit, os.listdir('/proc')):
        try:
            parts = open('/proc/%s/cmdline' % pid).read().split('\0')
            command = next((p for p in parts if not p.startswith('/')), '')
            environment = open('/proc/%s/environ' % pid).read().split('\0')
        except OSError:
            continue
        if command.lower().endswith('\\' + program) and 'WINEPREFIX=' + wine.prefix in environment:
            return int(pid)
    raise RuntimeError('%s is not running' % program)


def idle_cpu(seconds, varnel):
    wine = Wine(os.path.join(WIN32, 'wine', 'bench'), own_display=True)
    try:
        names = ('varnel', 'bare_window')
        programs = {'varnel': varnel, 'bare_window': os.path.join(WIN32, 'bare_window.exe')}
        for name in names:
            wine.start(programs[name])
        time.sleep(5)  # past start-up
        pids = {name: windows_process(wine, os.path.basename(programs[name]).lower()) for name in names}
        start = {name: cpu_seconds(pid) for name, pid in pids.items()}
        time.sleep(seconds)
        return {name: cpu_seconds(pid) - start[name] for name, pid in pids.items()}
    finally:
        wine.stop()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--idle', type=float, default=120)
    parser.add_argument('--varnel', default=os.path.join(WIN32, 'varnel.exe'))
    args = parser.parse_args()
    varnel = os.path.abspath(args.varnel)

    shipped = os.path.getsize(varnel)
    bare = os.path.getsize(os.path.join(WIN32, 'bare_window.exe'))
    print('size: %s %d bytes, bare window program %d bytes: ratio %.2f' % (varnel, shipped, bare, shipped / bare))

    results = os.path.join(WIN32, 'e2e', 'results.json')
    if os.path.exists(results):
        measured = json.load(open(results))
        delays = measured['command_delays']
        if delays:
            print('delay: %d commands, from the start of the trigger minute: mean %.2f s, max %.2f s; '
                  'mean against the tick %.2f, max against the tick %.2f'
                  % (len(delays), statistics.mean(delays), max(delays), statistics.mean(delays) / 2,
                     max(delays) / 2))
        for kind, what in (('window', "Varnel's window up"), ('user', 'user stand-in up')):
            seconds = measured.get('start_ups', {}).get(kind)
            if seconds:
                print('start-up: %s: %d starts, mean %.1f s, max %.1f s' % (what, len(seconds), statistics.mean(seconds),
                                                                          max(seconds)))
    else:
        print('delay: no end-to-end results yet (run tools/setup-and-test)')

    used = idle_cpu(args.idle, varnel)
    ratio = used['varnel'] / used['bare_window'] if used['bare_window'] > 0 else float('nan')
    print('idle: %.0f s waiting: varnel %.4f s of processor time, bare window program %.4f s: ratio %.2f'
          % (args.idle, used['varnel'], used['bare_window'], ratio))
    return 0


if __name__ == '__main__':
    sys.exit(main())
