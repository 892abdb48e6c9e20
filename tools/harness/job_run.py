"""One recording job under Wine, the pieces the end-to-end runs and the run
command are built from: the shipped Varnel and the stand-in programs
(tools/standins) in a prefix of their own, their clock placed, Varnel's
buttons clicked through its real controls (standin-user), and everything
they did read from outside: the stand-ins' logs, Varnel's exit, its window's
pixels and the calls Wine's relay log shows."""
import os
import re
import shutil
import subprocess
import sys
import threading
import time

from wine import Clock, Wine, clock_text, parse_clock

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, 'tests', 'contract'))
from contract import CONTRACT  # noqa: E402

_LAMPS = {'red': 'REC', 'blue': 'STOP', 'yellow': 'SHUTDOWN'}

# The calls of Varnel's that the relay log keeps.
RELAYED = ('ExitWindowsEx', 'OpenProcessToken', 'LookupPrivilegeValueA', 'AdjustTokenPrivileges',
           'SetForegroundWindow')


class JobRun:
    """Varnel and the stand-ins in FOLDER (a prefix and a display of its own,
    or the caller's display with own_display False), Wine reporting the
    Windows version named to Varnel."""

    def __init__(self, folder, bin_dir, version, own_display=True):
        self.dir, self.bin, self.version = folder, bin_dir, version
        self.notes = []
        self.processes = []
        self.varnel = None
        self.exit_status = None
        self.exit_at = None
        self.relay_seen = {}
        self.clock = None  # the real clock, until one is placed
        shutil.rmtree(folder, ignore_errors=True)
        self.wine = Wine(folder, own_display=own_display)
        self.wine.report_version('varnel.exe', version)
        self.wine.relay_only(RELAYED)

    def place_clock(self, local):
        """From now on the programs started see local time `local`."""
        self.clock = Clock(local)

    def now(self):
        return self.clock.now() if self.clock else (time.time() - time.timezone) % 86400

    def wait_until(self, local):
        self.clock.wait_until(local)

    def close(self, remove):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
        self.wine.stop()
        if remove:
            shutil.rmtree(self.dir, ignore_errors=True)

    # --- the programs -----------------------------------------------------
    def start(self, program, *args, **options):
        process = self.wine.start(os.path.join(self.bin, program), *args, clock=self.clock, **options)
        self.processes.append(process)
        return process

    def standin(self, name, *options):
        """Starts a stand-in logging to NAME.log; encoders are named encoder*."""
        program = 'standin-encoder.exe' if name.startswith('encoder') else 'standin-%s.exe' % name
        return self.start(program, '--log', os.path.join(self.dir, name + '.log'), *options)

    def start_varnel(self):
        self.relay_path = os.path.join(self.dir, 'varnel.relay')
        self.varnel = self.start('varnel.exe', relay_log=self.relay_path)
        threading.Thread(target=self.watch_varnel, daemon=True).start()
        where = self.user('where').split()
        self.hwnd = int(where[4], 16) if len(where) == 5 else None
        self.client = tuple(int(n) for n in where[:4]) if where else None

    def watch_varnel(self):
        """Times Varnel's end and the relay lines of interest as they appear."""
        while True:
            status = self.varnel.poll()
            self.scan_relay()
            if status is not None:
                self.exit_status, self.exit_at = status, self.now()
                return
            time.sleep(0.05)

    def scan_relay(self):
        try:
            text = open(self.relay_path).read()
        except (OSError, AttributeError):
            return
        for line in re.findall(r'Call (?:user32|advapi32|KERNEL32|kernel32)\.(\w+\([^)]*\))', text):
            self.relay_seen.setdefault(line, self.now())

    def relay_calls(self, name):
        self.scan_relay()
        return sorted(((t, c) for c, t in self.relay_seen.items() if c.startswith(name + '(')))

    def user(self, *args):
        # Under the load of many runs starting at once, a Wine process has
        # been seen to stall at its start; another one goes through.
        for _ in range(3):
            process = self.wine.start(os.path.join(self.bin, 'standin-user.exe'), *args, clock=self.clock,
                                      stdout=subprocess.PIPE, text=True)
            try:
                return process.communicate(timeout=20)[0].strip()
            except subprocess.TimeoutExpired:
                process.kill()
                self.notes.append('%s standin-user %s stalled; tried again' % (clock_text(self.now()), args[0]))
        return ''

    def click(self, *names):
        self.user('click', *[CONTRACT['IDC_' + n] for n in names])
        self.notes.append('%s clicked %s' % (clock_text(self.now()), ' '.join(names)))

    def screenshot(self, path):
        """Varnel's client area as a PNG."""
        x, y, w, h = self.client
        subprocess.run(['import', '-display', self.wine.display, '-window', 'root', '-crop',
                        '%dx%d+%d+%d' % (w, h, x, y), path], check=True)

    def lamp(self, colour):
        """True when the lamp shows in its colour on screen."""
        left, top, right, bottom = CONTRACT['RECT_LAMP_' + _LAMPS[colour]]
        x, y = (left + right) // 2, (top + bottom) // 2
        raw = subprocess.run(['import', '-display', self.wine.display, '-window', 'root', '-depth', '8', '-crop',
                              '1x1+%d+%d' % (self.client[0] + x, self.client[1] + y), 'rgb:-'],
                             capture_output=True).stdout
        return tuple(raw[:3]) == CONTRACT['COLOUR_LAMP_' + _LAMPS[colour]]

    # --- what the stand-ins logged --------------------------------------
    def events(self, name, text=''):
        path = os.path.join(self.dir, name + '.log')
        if not os.path.exists(path):
            return []
        found = []
        for line in open(path):
            stamp, _, event = line.rstrip('\n').partition(' ')
            if text in event:
                found.append((parse_clock(stamp), event))
        return found

    def timeline(self):
        """Every event so far, in time order, as 'hh:mm:ss.mmm who: what'."""
        lines = []
        for name in sorted(os.listdir(self.dir)):
            if name.endswith('.log'):
                lines += ['%s %s: %s' % (clock_text(t), name[:-4], e) for t, e in self.events(name[:-4])]
        lines += ['%s varnel: %s' % (clock_text(t), c) for c, t in self.relay_seen.items()]
        if self.exit_at is not None:
            lines.append('%s varnel: ended, status %s' % (clock_text(self.exit_at), self.exit_status))
        return sorted(lines)

    def wait_for_end(self, timeout):
        deadline = time.time() + timeout
        while self.exit_at is None and time.time() < deadline:
            time.sleep(0.1)
        return self.exit_at is not None
