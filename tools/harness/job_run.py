"""One recording job under Wine, the pieces the end-to-end runs and the run
command are built from: the shipped Varnel and the stand-in programs
(tools/standins) in a prefix of their own, their clock placed, Varnel's
buttons clicked through its real controls (standin-user), and everything
they did read from outside: the stand-ins' logs, Varnel's exit, its window's
pixels and the calls Wine's relay log shows."""
import heapq
import os
import queue
import re
import shutil
import subprocess
import sys
import threading
import time

from wine import DAY, SCREEN, Clock, Wine, clock_text, hms, parse_clock

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, 'tests', 'contract'))
from contract import CONTRACT  # noqa: E402

_LAMPS = {'red': 'REC', 'blue': 'STOP', 'yellow': 'SHUTDOWN'}

# The calls of Varnel's that the relay log keeps. It reads the clock with
# `time` at its start and then on every handled tick: the ticks' marks,
# left out of the timeline.
RELAYED = ('ExitWindowsEx', 'OpenProcessToken', 'LookupPrivilegeValueA', 'AdjustTokenPrivileges',
           'SetForegroundWindow', 'PostMessageA', 'keybd_event', 'SetTimer', 'SetThreadExecutionState',
           'CreateWaitableTimerA', 'SetWaitableTimer', 'CancelWaitableTimer', 'OutputDebugStringA', 'time')
TICK_MARKS = ('time(',)
# One relayed call, 'SECONDS:THREAD:Call DLL.NAME(ARGS) ret=ADDRESS', stamped
# by Wine with the time since the machine started (its monotonic clock).
RELAY_LINE = re.compile(r'^(\d+\.\d+):\w+:Call \w+\.(\w+\([^)]*\)) ret=([0-9a-f]+)')
# Messages whose answers the timeline keeps, from the relay log's lines of
# Varnel's window procedure returning, 'SECONDS:THREAD:Ret  window proc
# ADDRESS (hwnd=H,msg=NAME,wp=W,lp=L) retval=R': each kept as the pseudo-call
# 'WndProc(NAME,W)=R'.
ANSWERED = ('WM_POWERBROADCAST',)
ANSWER_LINE = re.compile(r'^(\d+\.\d+):\w+:Ret  window proc ([0-9A-Fa-f]+) \(hwnd=\w+,msg=(\w+),wp=([0-9a-f]+),'
                         r'lp=[0-9a-f]+\) retval=([0-9a-f]+)')
# Calls made by Varnel's own code return into its image, at 0x400000; those
# Wine's modules make among themselves are left out.
IMAGE = (0x400000, 0x410000)
# Varnel posts the check box its tick (BM_SETCHECK, Windows' 0x00F1) once its
# window and all its controls are made: the window is up.
BM_SETCHECK = 0x00F1
CHECK_POST = ',%08x,' % BM_SETCHECK

# A Wine process has been seen to stall at its start under the load of many
# runs starting at once, each 32-bit program under the emulator, while
# another one started then goes through. A user stand-in that has not found
# Varnel's window, already up, this long after its start is taken for
# stalled and started again: twice the longest start seen (about 15 s on a
# slow emulating machine, under 2 s on others).
STALL = 30
# The night check's box comes up within this long of its start: its window
# is a system one, up faster than Varnel's (51 s seen at the slowest).
BOX_WAIT = 120
# From the clock's placing to the latest moment a run's clicks are written
# for: Varnel's window coming up with every scenario starting at once and the
# unit tests beside them (51 s seen on a slow emulating machine, under 5 s on
# others), one stalled start of the user stand-in and its start again, and
# 20 s to spare. The run command and every end-to-end run have this much:
# the most that one of them allows, whose window must open from 10:55 on
# (for REC 12:00) and be clicked by 10:56:58.
START_BUDGET = 117


def clock_placed_for(latest):
    """Where a run's clock is placed for clicks written for `latest`."""
    return latest - START_BUDGET
# When the buttons are clicked for a job whose REC is 11:00: after 10:57,
# the wake's moment for it, which a tick would otherwise move on as it goes
# by; and in time for a sleep to follow the clicks and for the tick they
# skip to come before 10:59.
CLICKS_FROM, CLICKS_BY = hms(10, 57, 2), hms(10, 58, 45)


def after(a, b):
    """Local time a comes after b, within half a day."""
    return 0 < (a - b) % DAY < DAY / 2


def _read_lines(stream, lines):
    for line in stream:
        lines.put(line)
    lines.put('')


class TooLate(Exception):
    """A run whose programs came up too late for what it is written for:
    it fails with this reason rather than check what it could not show."""


class JobRun:
    """Varnel (the shipped file, or another build of it) and the stand-ins in
    FOLDER (a prefix and a display of its own, or the caller's display with
    own_display False), Wine reporting the Windows version named to Varnel."""

    def __init__(self, folder, bin_dir, version, own_display=True, program='varnel.exe', screen=SCREEN):
        self.dir, self.bin, self.version, self.program = folder, bin_dir, version, program
        self.notes = []  # (time, who, what) of the harness's own doing
        self.clicks = 0  # Varnel's controls clicked so far
        self.processes = []
        self.varnel = None
        self.exit_status = None
        self.exit_at = None
        self.relay = []  # (time, call), in the log's order
        self.relay_read = 0
        self.relay_lock = threading.Lock()
        self.clock = None  # the real clock, until one is placed
        self.hwnd = self.client = None  # Varnel's window, once the user stand-in has found it
        self.boxes_read = set()  # the companions' boxes read, by handle
        # Seconds each program took to come up: Varnel's window from its
        # start, and each user stand-in's finding it, from its own.
        self.start_ups = {'window': [], 'user': []}
        # Made once Varnel's buttons are clicked (standin-power --sleep-on),
        # and set then.
        self.clicked_mark = os.path.join(folder, 'clicked')
        self.clicked = threading.Event()
        shutil.rmtree(folder, ignore_errors=True)
        self.wine = Wine(folder, own_display=own_display, screen=screen)
        self.wine.report_version(program, version)
        self.wine.relay_only(RELAYED)

    def place_clock(self, local):
        """From now on the programs started see local time `local`."""
        self.clock = Clock(local)

    def now(self):
        return self.clock.now() if self.clock else (time.time() - time.timezone) % 86400

    def wait_until(self, local):
        self.clock.wait_until(local)

    def seconds_until(self, local):
        """Seconds from now to local time `local`; 0 once it has gone by."""
        left = (local - self.now()) % DAY
        return left if left < DAY / 2 else 0

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

    def start_program(self):
        """Starts the program run (Varnel or the night check), its calls
        relayed, and times its end."""
        self.relay_path = os.path.join(self.dir, self.program + '.relay')
        self.varnel = self.start(self.program, relay_log=self.relay_path)
        threading.Thread(target=self.watch_varnel, daemon=True).start()

    def start_varnel(self, standins=(), by=None):
        """Starts Varnel, then the stand-ins (each a name and its options),
        and waits until Varnel's window is up, by local time `by` at the
        latest."""
        started = self.now()
        self.start_program()
        for name, *options in standins:
            self.standin(name, *options)
        while True:
            up = [t for t, c in self.relay_calls('PostMessageA') if CHECK_POST in c]
            if up:
                self.notes.append((up[0], 'harness', "Varnel's window up"))
                self.start_ups['window'].append(up[0] - started)
                return
            if self.exit_at is not None:
                raise TooLate('Varnel ended (status %s) before its window was up' % self.exit_status)
            if by is not None and after(self.now(), by):
                raise TooLate("Varnel's window not up by %s, the latest moment this run is written for"
                              % clock_text(by))
            time.sleep(0.1)

    def begin(self, clicks, earliest, latest, standins=()):
        """The common start of a job: the clock placed START_BUDGET before
        `latest`, Varnel and the stand-ins started, and Varnel's buttons
        clicked no earlier than `earliest` (local times). Raises TooLate
        when the window or the clicks come after `latest`."""
        self.place_clock(clock_placed_for(latest))
        self.notes.append((self.now(), 'harness', 'clock placed'))
        self.start_varnel(standins, by=latest)
        return self.click(*clicks, at=earliest, by=latest)

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
        """Reads the relay log's new whole lines, each at the local time of
        its call."""
        with self.relay_lock:
            try:
                with open(self.relay_path, 'rb') as log:
                    log.seek(self.relay_read)
                    text = log.read()
            except (OSError, AttributeError):
                return
            text = text[:text.rfind(b'\n') + 1]
            self.relay_read += len(text)
            now, since_boot = self.now(), time.clock_gettime(time.CLOCK_MONOTONIC_RAW)
            for line in text.decode('latin-1').splitlines():
                call, answer = RELAY_LINE.match(line), ANSWER_LINE.match(line)
                if call and IMAGE[0] <= int(call.group(3), 16) < IMAGE[1]:
                    stamp, kept = call.group(1), call.group(2)
                elif answer and IMAGE[0] <= int(answer.group(2), 16) < IMAGE[1] and answer.group(3) in ANSWERED:
                    stamp, kept = answer.group(1), 'WndProc(%s,%s)=%s' % answer.group(3, 4, 5)
                else:
                    continue
                self.relay.append((now - (since_boot - float(stamp)), kept))

    def relay_calls(self, name=''):
        """Varnel's calls so far (of one function, when named), and its
        window's answers to the messages kept (name 'WndProc'), in order."""
        self.scan_relay()
        return [(t, c) for t, c in self.relay if c.startswith(name + '(' if name else '')]

    def user(self, command, *args, at=None, by=None, what=None):
        """Plays the person (standin-user): at local time `at` (at once
        without), does the command to Varnel's window, noted as `what`.
        Returns the local time it was done and what it answered. A start
        that stalls is tried again; TooLate when done after `by`."""
        options = ('--at', clock_text(at)) if at is not None else ()
        for _ in range(3):
            started = self.now()
            process = self.wine.start(os.path.join(self.bin, 'standin-user.exe'), *options, command, *args,
                                      clock=self.clock, stdout=subprocess.PIPE, text=True)
            lines = queue.Queue()
            threading.Thread(target=_read_lines, args=(process.stdout, lines), daemon=True).start()
            try:
                where = lines.get(timeout=STALL).split()
                if not where:
                    raise TooLate('standin-user %s found no Varnel window' % command)
                self.hwnd, self.client = int(where[4], 16), tuple(int(n) for n in where[:4])
                self.start_ups['user'].append(self.now() - started)
                deadline = time.time() + (self.seconds_until(at) if at is not None else 0) + STALL
                while True:
                    stamp, _, said = lines.get(timeout=max(0, deadline - time.time())).strip().partition(' ')
                    if not stamp:
                        raise queue.Empty  # ended without doing it
                    if said.split(' ')[0] == command:
                        break
                    self.notes.append((parse_clock(stamp), 'user', said))
                break
            except queue.Empty:
                process.kill()
                self.notes.append((self.now(), 'harness', 'standin-user %s started at %s stalled; started again'
                                   % (command, clock_text(started))))
        else:
            raise TooLate('standin-user %s stalled three times' % command)
        process.wait()
        done, answer = parse_clock(stamp), said[len(command):].strip()
        self.notes.append((done, 'user', what or said))
        if by is not None and after(done, by):
            raise TooLate('%s at %s, after %s, the latest moment this run is written for'
                          % (what or command, clock_text(done), clock_text(by)))
        return done, answer

    def box(self, press=None, after=None, title=CONTRACT['NIGHT_CHECK_TITLE']):
        """Plays the person at a companion's box, the night check's unless
        another title is given (standin-user box): once a box is up (another
        than `after`), reads it and, with `press`, presses that button.
        Returns its window on screen (x, y, width, height), its handle and
        its text. A start that stalls is tried again."""
        options = ('--wait', BOX_WAIT, '--title', title) + (('--after', '%x' % after) if after else ())
        for _ in range(3):
            started = self.now()
            process = self.wine.start(os.path.join(self.bin, 'standin-user.exe'), *options, 'box',
                                      *([press] if press else []), clock=self.clock, stdout=subprocess.PIPE,
                                      text=True)
            try:
                out, _ = process.communicate(timeout=STALL + BOX_WAIT)
            except subprocess.TimeoutExpired:
                process.kill()
                process.communicate()
                self.notes.append((self.now(), 'harness', 'standin-user box started at %s stalled; started again'
                                   % clock_text(started)))
                continue
            lines = out.splitlines()
            if len(lines) < 2 or not lines[0].startswith('box '):
                raise TooLate('standin-user found no box titled %s' % title)
            fields = lines[0].split()
            text = lines[1][len('text '):].replace('\\n', '\n')
            handle = int(fields[5], 16)
            # Its first lines, once a box: the night check's two counts.
            if handle not in self.boxes_read:
                self.boxes_read.add(handle)
                self.notes.append((self.now(), 'user', 'read "%s": %s'
                                   % (title, ' / '.join(line for line in text.split('\n')[:2] if line))))
            if press:
                self.notes.append((self.now(), 'user', 'pressed %s' % press))
            return tuple(int(n) for n in fields[1:5]), handle, text
        raise TooLate('standin-user box stalled three times')

    def click(self, *names, at=None, by=None):
        """Clicks Varnel's controls (names after IDC_); returns when."""
        done, _ = self.user('click', *[CONTRACT['IDC_' + n] for n in names], at=at, by=by,
                            what='clicked ' + ' '.join(names))
        self.clicks += len(names)
        # What the stand-in playing Windows around a sleep waits for.
        open(self.clicked_mark, 'w').close()
        self.clicked.set()
        return done

    def screenshot(self, path, area=None):
        """Varnel's client area, or another (x, y, width, height) of the
        screen, as a PNG."""
        x, y, w, h = area or self.client
        subprocess.run(['import', '-display', self.wine.display, '-window', 'root', '-crop',
                        '%dx%d+%d+%d' % (w, h, x, y), path], check=True)

    def pixels(self, left, top, right, bottom):
        """The window's client pixels in a rectangle, as (r, g, b), row by row."""
        raw = subprocess.run(['import', '-display', self.wine.display, '-window', 'root', '-depth', '8', '-crop',
                              '%dx%d+%d+%d' % (right - left, bottom - top, self.client[0] + left,
                                               self.client[1] + top), 'rgb:-'],
                             capture_output=True).stdout
        return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]

    def lamp(self, colour):
        """True when the lamp shows in its colour on screen."""
        left, top, right, bottom = CONTRACT['RECT_LAMP_' + _LAMPS[colour]]
        x, y = (left + right) // 2, (top + bottom) // 2
        lit = self.pixels(x, y, x + 1, y + 1) == [CONTRACT['COLOUR_LAMP_' + _LAMPS[colour]]]
        self.notes.append((self.now(), 'screen', '%s lamp %s' % (colour, 'lit' if lit else 'not lit')))
        return lit

    def lamp_out(self, colour):
        """True when nothing of the lamp shows, not even its outline: its
        whole area as the background just left of it."""
        left, top, right, bottom = CONTRACT['RECT_LAMP_' + _LAMPS[colour]]
        area = self.pixels(left - 6, top, right, bottom)
        out = len(area) == (right - left + 6) * (bottom - top) and len(set(area)) == 1
        self.notes.append((self.now(), 'screen', '%s lamp %s' % (colour, 'out' if out else 'not out')))
        return out

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

    def wait_for_events(self, *events, timeout=STALL + BOX_WAIT):
        """Waits until each (stand-in, text) has been logged; TooLate when
        one has not by then."""
        deadline = time.time() + timeout
        while [e for e in events if not self.events(*e)]:
            if time.time() > deadline:
                raise TooLate('not logged in time: %s' % [e for e in events if not self.events(*e)])
            time.sleep(0.2)

    def logs(self):
        """The names of the stand-ins that have logged something so far."""
        return [name[:-4] for name in sorted(os.listdir(self.dir)) if name.endswith('.log')]

    def timeline(self):
        """Every event so far as (time, 'hh:mm:ss.mmm who: what'): each
        source's own lines in their own order, the sources merged by time."""
        sources = [sorted(self.notes, key=lambda note: note[0])]
        for name in self.logs():
            sources.append([(t, name, e) for t, e in self.events(name)])
        who = os.path.splitext(self.program)[0]
        varnel = [(t, who, c) for t, c in self.relay_calls() if not c.startswith(TICK_MARKS)]
        if self.exit_at is not None:
            varnel.append((self.exit_at, who, 'ended, status %s' % self.exit_status))
        sources.append(varnel)
        return [(t, '%s %s: %s' % (clock_text(t), who, what))
                for t, who, what in heapq.merge(*sources, key=lambda line: line[0])]

    def wait_for_end(self, timeout):
        deadline = time.time() + timeout
        while self.exit_at is None and time.time() < deadline:
            time.sleep(0.1)
        return self.exit_at is not None
