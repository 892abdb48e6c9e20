#!/usr/bin/env python3
"""Whole jobs, end to end: the shipped program under Wine with the stand-in
recorder, alert and encoders, its clock placed about two minutes before the
moment its buttons are clicked (time for every program to start, even
under the emulator with one start stalled: job_run.START_BUDGET), the
clicks held back to that moment, a minute or two before the minute that
matters, and everything observed from outside (tools/harness/job_run.py).
The person's other actions and the sleep are timed by the stand-ins
themselves, started well ahead. A run whose programs come up too late for
its moments fails, saying so. Across the scenarios Wine reports every
Windows version Varnel is made for.

Checked: the stand-ins' logs, the exit status, pixels of the window, and
Wine's relay log of Varnel's calls and of its window's answers to power
messages: the calls to stay up and to wake as the window opens, after each
click, the start, a sleep and the stop. Wine reports Windows 95, 98, Me,
NT 4.0, 2000, XP, 7, 10 and 11 across them. The shutdown under NT 4.0 has
two encoders one after another: Windows is asked to shut down once, six
ticks after the yellow lamp lights, and the lamp is out while the second
runs. Three runs are of varnel-observed.exe, the same objects linked the
same way with their run-time lookups answered as the reported Windows
would (tests/e2e/observed.cpp): under Windows 95 the job runs without the
power calls; under 7 and 10 each wake's due time is checked on the placed
clock, as the wake moves on and across midnight.

The tenth run is the companions': nightcheck.exe on a 640 x 480 screen
beside a stand-in Varnel window and an encoder window titled "Lame", with
no recorder. The user stand-in reads its box (a Problem for the recorder,
and one for the encoders naming "Lame"); the recorder starts and "Lame"
closes; Retry brings a box without them, "Every night: no problem." on
mains; Cancel ends it with the count shown as its exit status. Then
lastnight.exe in the same prefix, on Wine's empty System log: its box says
that nothing was recorded, and that this Windows does not record which
programs use the sound input; its exit status is 0. What Wine answers the
night check: the power plan cannot be read (PowerGetActiveScheme is not
implemented), so wake timers and sign-in are Checks; a wake-up timer is
taken with error 722, so waking is a Problem; mains power, no lid, no
Modern Standby and no screen saver chosen are Fine.

Every scenario runs at once, each in its own Wine prefix on its own virtual
display; the companions' starts once every job has had its clicks, so that
it does not slow their starts. Runs inside the Wine environment
(tools/in-env).

    e2e.py BUILD_DIR [--only NAME ...] [--keep] [--timelines] [--results FILE]

--timelines prints every scenario's timeline, not only a failed one's (and
keeps their folders, as --keep does).
"""
import argparse
import json
import os
import re
import subprocess
import sys
import threading
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tools', 'harness'))
sys.path.insert(0, os.path.join(HERE, '..', 'contract'))
from contract import CONTRACT  # noqa: E402
from job_run import CHECK_POST, CLICKS_BY, CLICKS_FROM, START_BUDGET, JobRun, TooLate  # noqa: E402
from wine import DAY, clock_text, hms  # noqa: E402

TICK = CONTRACT['TICK_MS'] / 1000
# A command goes out on the first handled tick of its minute: within a tick
# of the minute's start, plus the time Wine takes to deliver and log it.
FIRST_TICK_SLACK = TICK + 2.5


class Scenario(JobRun):
    """A job run that collects what it found wrong."""

    def __init__(self, name, bin_dir, work, version, program, screen):
        self.name = name
        self.failures = []
        # Wakes set by a tick, beyond those of the opening, the clicks, the
        # start and a sleep: each time a wake's moment, or a watched minute,
        # goes by with the machine awake.
        self.moved_wakes = 0
        JobRun.__init__(self, os.path.join(work, name), bin_dir, version, program=program, screen=screen)

    def expect(self, condition, what):
        if not condition:
            self.failures.append(what)
        return condition

    def end_by(self, local):
        """Waits for Varnel's end, until local time `local` at the latest."""
        return self.wait_for_end(self.seconds_until(local))

    def expect_once_within(self, name, text, start, width, what):
        """Exactly one event, arriving within [start, start + width] (local time)."""
        found = self.events(name, text)
        if self.expect(len(found) == 1, '%s: expected exactly one "%s", got %d' % (what, text, len(found))):
            t = found[0][0]
            self.expect(start <= t <= start + width, '%s: "%s" at %s, expected within %s + %.1f s'
                        % (what, text, clock_text(t), clock_text(start), width))
            return t
        return None


# What the stand-ins log as they receive Varnel's commands and keys.
START = 'command wParam=%d lParam=0' % CONTRACT['CMD_REC_START']
STOP = 'command wParam=%d lParam=0' % CONTRACT['CMD_REC_STOP']
SPACE_DOWN = 'keydown vk=0x%02X scan=0x%02X' % (CONTRACT['ALERT_KEY'], CONTRACT['ALERT_SCAN_CODE'])
SPACE_UP = 'keyup vk=0x%02X scan=0x%02X' % (CONTRACT['ALERT_KEY'], CONTRACT['ALERT_SCAN_CODE'])


def job_until_encoders(s, ticked, recorder_options=(), encoder_options=None, more=()):
    """The common first half: REC 11:00 and STOP 11:00, set before 10:59.

    The recorder starts at 10:59 and stops at 11:01; the alert shows as the
    recording starts; an encoder window lingers past the stop."""
    standins = [('recorder',) + tuple(recorder_options), ('alert', '--appear-after', '10:59:02'),
                ('encoder',) + tuple(encoder_options or ('--title', 'lame', '--appear-after', '11:00:50',
                                                         '--close-after', '11:01:10'))] + list(more)
    s.begin(('START_HOUR_DOWN', 'STOP_HOUR_DOWN', 'STOP_HOUR_DOWN') + (() if ticked else ('SHUTDOWN_CHECK',)),
            CLICKS_FROM, CLICKS_BY, standins)


def check_start_and_alert(s):
    s.expect_once_within('recorder', START, hms(10, 59), FIRST_TICK_SLACK, 'start')
    s.expect(len(s.events('alert', SPACE_DOWN)) == 1 and len(s.events('alert', SPACE_UP)) == 1,
             'the alert got one Space press and release with scan code 0x45')
    s.expect(len(s.events('alert', 'key')) == 2, 'the alert got no other key')
    s.expect(not s.events('recorder', 'key'), 'the recorder got no key')


AWAKE = 'SetThreadExecutionState(%08x)' % CONTRACT['EXECUTION_STATE']
WM_COMMAND = 0x0111  # Windows' own
START_POST = ',%08x,%08x,00000000)' % (WM_COMMAND, CONTRACT['CMD_REC_START'])
STOP_POST = ',%08x,%08x,00000000)' % (WM_COMMAND, CONTRACT['CMD_REC_STOP'])
# A wake: no period, no completion routine, and resuming the machine.
WAKE_ARGS = ',00000000,00000000,00000000,00000001)'


# What the stand-in playing Windows logs as it sends its news of a sleep.
QUERY, SUSPEND, RESUME = 'PBT_APMQUERYSUSPEND', 'PBT_APMSUSPEND', 'PBT_APMRESUMEAUTOMATIC'
PBT_EVENTS = (0x0000, 0x0004, 0x0012)  # Windows' own values of the three, in the order sent


def check_power(s):
    """Where Windows has the calls, the window asks to stay awake and sets
    its wake as it opens, after its timer and before its message loop (whose
    first message the check box's posted tick is), and asks again after every
    wake. The wake is set again after every click, the start command and the
    news of a sleep, and by a tick as its moment goes by, and cancelled after
    the stop, on one timer made once. Where Windows lacks them (the observed
    build told it runs on Windows 95), none is called."""
    calls = [c for _, c in s.relay_calls()]
    suspends, resumes = (s.events('power', 'sending ' + n) for n in (SUSPEND, RESUME))

    def where(start, text=''):
        return [i for i, c in enumerate(calls) if c.startswith(start) and text in c]
    asked, made, wakes, cancels = (where(n) for n in ('SetThreadExecutionState(', 'CreateWaitableTimerA(',
                                                      'SetWaitableTimer(', 'CancelWaitableTimer('))
    if s.program == OBSERVED and s.version == 'win95':
        s.expect(not (asked or made or wakes or cancels), 'no power calls on Windows 95, got %d'
                 % len(asked + made + wakes + cancels))
        return
    if not s.expect([calls[i] for i in asked] == [AWAKE] * (1 + len(resumes)), '%s as the window opens and after '
                    'each of %d wakes, got %s' % (AWAKE, len(resumes), [calls[i] for i in asked])):
        return
    timer, check = where('SetTimer('), where('PostMessageA(', CHECK_POST)
    if not s.expect(len(made) == 1 and wakes and timer and check, 'one timer made and a wake set, got %d and %d'
                    % (len(made), len(wakes))):
        return
    s.expect(timer[0] < asked[0] < made[0] < wakes[0] < check[0],
             'as the window opens: its timer, the awake request, then the wake')
    s.expect(all(calls[i].endswith(WAKE_ARGS) for i in wakes), 'every wake absolute, once, resuming the machine')
    handles = {calls[i].split('(')[1].split(',')[0].rstrip(')') for i in wakes + cancels}
    s.expect(len(handles) == 1, 'one timer for every wake and cancel, got %s' % sorted(handles))
    start, stop = where('PostMessageA(', START_POST), where('PostMessageA(', STOP_POST)
    expected = 1 + s.clicks + len(start[:1]) + len(suspends) + s.moved_wakes
    s.expect(len(wakes) == expected, '%d wakes: at the opening, after %d clicks, the start command (%d) and %d sleeps, '
             'and %d moved on by the tick, got %d' % (expected, s.clicks, len(start[:1]), len(suspends),
                                                    s.moved_wakes, len(wakes)))
    if start:
        s.expect([i for i in wakes if i > start[0]], 'the wake set again after the start command')
    if stop:
        s.expect(len(cancels) == 1 and cancels[0] > stop[0] and not [i for i in wakes if i > stop[0]],
                 'the wake cancelled once after the stop, and not set again')
    else:
        s.expect(not cancels, 'no wake cancelled without a stop')


def check_wake_times(s, expected):
    """The observed build's due times: each the local wake moment named (on
    the placed clock), the first such moment after the call, in UTC.
    Returns the local times of the calls."""
    shown = [(t, re.search(r'wake due ([0-9a-f]{16}) now ([0-9a-f]{16})', c))
             for t, c in s.relay_calls('OutputDebugStringA')]
    seen = [(t, filetime_seconds(m.group(1)), filetime_seconds(m.group(2))) for t, m in shown if m]
    local = [clock_text(due + s.clock.offset)[:8] for _, due, _ in seen]
    if s.expect(local == expected, 'wakes due at %s, got %s' % (expected, local)):
        for _, due, now in seen:
            s.expect(0 <= due - now < DAY, 'the wake at %s is the next one, not a day late (%.0f s ahead)'
                     % (clock_text(due + s.clock.offset), due - now))
    return [t for t, _, _ in seen]


def check_sleep(s):
    """Windows' news of a sleep and an automatic wake, sent from outside:
    each answered TRUE by Varnel's window (its relay log) and so received
    (the stand-in's log), the query thus granted; the wake set again as the
    machine goes to sleep, and the machine asked again to stay up as it
    wakes, within a tick."""
    answers = [c for _, c in s.relay_calls('WndProc')]
    expected = ['WndProc(WM_POWERBROADCAST,%08x)=%08x' % (event, CONTRACT['POWER_ANSWER']) for event in PBT_EVENTS]
    s.expect(answers == expected, "Varnel's window answered %s, got %s" % (expected, answers))
    for name in (QUERY, SUSPEND, RESUME):
        received = '%s answered %d' % (name, CONTRACT['POWER_ANSWER'])
        s.expect(len(s.events('power', received)) == 1, 'the stand-in: "%s", log: %s'
                 % (received, [e for _, e in s.events('power', name)]))
    sent = {name: [t for t, _ in s.events('power', 'sending ' + name)] for name in (SUSPEND, RESUME)}
    if not s.expect(sent[SUSPEND] and sent[RESUME], 'the sleep and the wake were sent'):
        return
    asked = [t for t, _ in s.relay_calls('SetThreadExecutionState')]
    s.expect(len(asked) == 2 and -0.5 <= asked[-1] - sent[RESUME][0] <= TICK,
             'asked again to stay up within a tick of the wake (%s), got %s'
             % (clock_text(sent[RESUME][0]), [clock_text(t) for t in asked]))
    s.expect([t for t, _ in s.relay_calls('SetWaitableTimer') if -0.5 <= t - sent[SUSPEND][0] <= TICK],
             'the wake set again as the machine goes to sleep')


def filetime_seconds(text):
    """Seconds since 1970 (UTC) of a FILETIME in hex."""
    return int(text, 16) / 1e7 - 11644473600


def check_stop(s):
    t = s.expect_once_within('recorder', STOP, hms(11, 1), FIRST_TICK_SLACK, 'stop')
    own = [c for _, c in s.relay_calls('SetForegroundWindow') if int(c[len('SetForegroundWindow('):-1], 16) == s.hwnd]
    s.expect(own, "Varnel's own window brought to the front at the stop")
    return t


def check_end_after_encoder(s):
    """Status 0, on the first tick after the last encoder window closed."""
    closed = s.events('encoder', 'closed')
    if s.expect(closed and s.exit_at is not None, 'the encoder closed and Varnel ended'):
        s.expect(0 <= s.exit_at - closed[0][0] <= FIRST_TICK_SLACK,
                 'ended on the first tick after the encoder closed (%.1f s after)' % (s.exit_at - closed[0][0]))
    s.expect(s.exit_status == 0, 'exit status 0, got %s' % s.exit_status)


def scenario_whole_job(s):
    # Put to sleep while the job waits, once it is set, and woken by the
    # clock before it starts.
    job_until_encoders(s, ticked=False, more=[('power', '--sleep-on', s.clicked_mark, '--asleep-for', 6)])
    s.wait_until(hms(10, 59, 6))
    s.expect(s.lamp('red'), 'red lamp lit after the start')
    s.wait_until(hms(11, 1, 6))
    s.expect(s.lamp('blue'), 'blue lamp lit after the stop')
    s.expect(s.exit_at is None, 'no end while the encoder window lingers')
    s.wait_for_end(40)
    check_start_and_alert(s)
    check_stop(s)
    check_end_after_encoder(s)
    s.expect(not s.relay_calls('ExitWindowsEx'), 'no shutdown with the box unticked')
    check_sleep(s)


def shutdown_job(s, flags, token_calls, second_encoder=None):
    job_until_encoders(s, ticked=True)
    encoders = ['encoder']
    if second_encoder:
        s.standin('encoder2', *second_encoder)
        encoders.append('encoder2')
    s.end_by(hms(11, 2, 5))
    check_start_and_alert(s)
    check_stop(s)
    closes = [s.events(name, 'closed') for name in encoders]
    exits = s.relay_calls('ExitWindowsEx')
    if s.expect(all(closes) and len(exits) == 1, 'one shutdown request, after every encoder closed'):
        when, call = exits[0]
        s.expect(call == 'ExitWindowsEx(%08x,00000000)' % flags, 'shutdown flags %d, got %s' % (flags, call))
        # Yellow lamp on the first tick after the last close, then six handled ticks.
        delay = when - max(c[0][0] for c in closes)
        s.expect(6 * TICK - 0.5 <= delay <= 7 * TICK + 1.5,
                 'shutdown six ticks after the yellow lamp (%.1f s after the last encoder closed)' % delay)
    # The token is opened for adjusting privileges and querying, no more.
    token = [c for c in ('OpenProcessToken', 'LookupPrivilegeValueA', 'AdjustTokenPrivileges')
             if [call for _, call in s.relay_calls(c) if c != 'OpenProcessToken' or ',%08x,' % CONTRACT['TOKEN_ACCESS'] in call]]
    s.expect(bool(token) == token_calls, 'token calls: expected %s, got %s' % (token_calls, token))
    s.expect(s.exit_status == 0, 'exit status 0, got %s' % s.exit_status)


# Two encoders one after another, as a recorder or a batch file starts them:
# the second opens three ticks after the first has closed, and closes
# fourteen seconds later.
SECOND_ENCODER = ('--title', 'gogo', '--appear-after', '11:01:16', '--close-after', '11:01:30')


def scenario_shutdown_nt(s):
    def first_seen(name, text):
        found = []
        while not found and s.exit_at is None:
            time.sleep(0.2)
            found = s.events(name, text)
        return found[0][0] if found else None

    def yellow_lamp():
        closed = first_seen('encoder', 'closed')
        if closed is None:
            return
        s.wait_until(closed + TICK + 1.5)
        s.expect(s.lamp('yellow'), 'yellow lamp lit once the first encoder is gone')
        opened = first_seen('encoder2', 'appeared')
        if opened is None:
            return
        s.wait_until(opened + TICK + 1.5)
        s.expect(s.lamp_out('yellow'), 'yellow lamp out, by pixel, while the second encoder runs')
        s.expect(s.lamp('red') and s.lamp('blue'), 'red and blue lamps still lit')
        closed = first_seen('encoder2', 'closed')
        if closed is None:
            return
        s.wait_until(closed + TICK + 1.5)
        s.expect(s.lamp('yellow'), 'yellow lamp lit again once the second encoder is gone')
    watcher = threading.Thread(target=yellow_lamp)
    watcher.start()
    shutdown_job(s, flags=CONTRACT['SHUTDOWN_FLAGS_NT'], token_calls=True, second_encoder=SECOND_ENCODER)
    watcher.join()


def scenario_shutdown_95(s):
    shutdown_job(s, flags=CONTRACT['SHUTDOWN_FLAGS_95'], token_calls=False)


def scenario_recorder_late(s):
    s.begin(('START_HOUR_DOWN', 'STOP_HOUR_DOWN', 'STOP_HOUR_DOWN', 'SHUTDOWN_CHECK'), CLICKS_FROM, CLICKS_BY,
            [('recorder', '--appear-after', '11:00:30')])
    s.moved_wakes = 1  # 10:59 gone by without the start: woken for 11:01 instead
    s.end_by(hms(11, 1, 35))
    s.expect(not s.events('recorder', START), 'no start command')
    s.expect_once_within('recorder', STOP, hms(11, 1), FIRST_TICK_SLACK, 'stop')
    s.expect(s.exit_status == 0 and s.exit_at is not None and s.exit_at - hms(11, 1) < 10,
             'the job went on to its end (status %s)' % s.exit_status)


def scenario_midnight(s):
    # From 23:55 on the defaults are REC 01:00 and STOP 02:00: both to 00:00,
    # clicked as for 11:00, thirteen hours later.
    later = hms(13, 0)
    s.begin(('START_HOUR_DOWN', 'STOP_HOUR_DOWN', 'STOP_HOUR_DOWN', 'SHUTDOWN_CHECK'), CLICKS_FROM + later,
            CLICKS_BY + later, [('recorder',)])
    s.end_by(hms(0, 1, 35))
    s.expect_once_within('recorder', START, hms(23, 59), FIRST_TICK_SLACK, 'start across midnight')
    s.expect_once_within('recorder', STOP, hms(0, 1), FIRST_TICK_SLACK, 'stop after midnight')
    s.expect(s.exit_status == 0, 'exit status 0, got %s' % s.exit_status)
    # Opened: for 00:59, the minute before REC 01:00, tomorrow. After each
    # click, for 23:59, too late for two minutes ahead; after the start, for
    # 00:01, the minute after STOP, tomorrow, likewise.
    check_wake_times(s, ['00:57:00'] + ['23:59:00'] * 4 + ['00:01:00'])


def scenario_wake_moves_on(s):
    # Clicked before the wake's moment for REC 11:00 (10:57), with STOP
    # 11:05 and no recorder: the wake moves on as its moment and then the
    # start's minute go by; closed once it has.
    # The window opens from 10:55 on, for REC 12:00 to be shown.
    clicked = s.begin(('START_HOUR_DOWN', 'STOP_HOUR_DOWN', 'STOP_HOUR_DOWN', 'STOP_MIN_UP'), None, hms(10, 56, 58))
    s.moved_wakes = 2
    s.user('close', at=hms(11, 0, FIRST_TICK_SLACK + 0.5), by=hms(11, 0, 30))
    s.wait_for_end(20)
    s.expect(clicked < hms(10, 57), 'clicked by %s, before the wake for REC 11:00 is due at 10:57' % clock_text(clicked))
    # Opened at 10:55: REC 12:00, so 11:57. Each click: 10:57, two minutes
    # before 10:59. As 10:57 passes: 10:59 itself. As 10:59 passes without
    # a start: 11:04, two minutes before 11:06, the minute after STOP.
    times = check_wake_times(s, ['11:57:00'] + ['10:57:00'] * 4 + ['10:59:00', '11:04:00'])
    if len(times) == 7:
        for t, moment in ((times[5], hms(10, 57)), (times[6], hms(11, 0))):
            s.expect(moment <= t <= moment + FIRST_TICK_SLACK, 'moved on by the first tick after %s, at %s'
                     % (clock_text(moment), clock_text(t)))
    s.expect(s.exit_status == 0, 'status 0 after the window was closed, got %s' % s.exit_status)


def scenario_stop_moved(s):
    # REC 11:00, STOP 11:05; at 11:01:00.3 STOP goes back to 11:00, in time
    # for the stop within the minute's first ticks.
    s.begin(('START_HOUR_DOWN', 'STOP_HOUR_DOWN', 'STOP_HOUR_DOWN', 'STOP_MIN_UP', 'SHUTDOWN_CHECK'), CLICKS_FROM,
            CLICKS_BY, [('recorder',)])
    clicked = s.click('STOP_MIN_DOWN', at=hms(11, 1, 0.3), by=hms(11, 1, 1.5))
    s.wait_for_end(30)
    s.expect_once_within('recorder', START, hms(10, 59), FIRST_TICK_SLACK, 'start')
    t = s.expect_once_within('recorder', STOP, hms(11, 1), 6, 'stop at the new time')
    if t is not None:
        # The tick right after the click is skipped: the stop comes on the next one.
        s.expect(t - clicked >= TICK - 0.3, 'the tick after the click was skipped (stop %.1f s after it)' % (t - clicked))
        s.expect(t - clicked <= 2 * TICK + 2.0, 'stop on the tick after the skipped one (%.1f s after)' % (t - clicked))
    s.expect(s.exit_status == 0, 'exit status 0, got %s' % s.exit_status)


def scenario_closed_mid_job(s):
    s.begin(('START_HOUR_DOWN', 'STOP_HOUR_DOWN', 'STOP_HOUR_DOWN'), CLICKS_FROM, CLICKS_BY,
            [('recorder',), ('encoder', '--title', 'lame')])
    closed_at, _ = s.user('close', at=hms(10, 59, 10), by=hms(10, 59, 40))
    s.wait_for_end(20)
    s.expect(s.exit_status == 0, 'status 0 after the window was closed, got %s' % s.exit_status)
    s.wait_until(hms(11, 1, 8))
    s.expect(len(s.events('recorder', 'command')) == 1, 'only the start command, nothing after the close')
    s.expect(all(t < closed_at for t, _ in s.events('recorder', 'command')), 'nothing sent after the close')
    s.expect(not s.relay_calls('ExitWindowsEx'), 'no shutdown')


def scenario_hung(s):
    # The recorder stops pumping from 11:00:55 to 11:01:13; the encoder
    # window hangs from 11:00:55 to 11:01:25 and closes as it recovers.
    job_until_encoders(s, ticked=False, recorder_options=('--hang-at', '11:00:55', '--hang-for', 18),
                       encoder_options=('--title', 'lame', '--appear-after', '11:00:50', '--hang-at', '11:00:55',
                                        '--hang-for', 30, '--close-after', '11:01:20'))
    pinged, answer = s.user('ping', at=hms(11, 1, 5), by=hms(11, 1, 12))
    s.expect(answer == '1', 'Varnel answers while the recorder and the encoder hang')
    s.expect(not [t for t, _ in s.events('recorder', STOP) if t <= pinged],
             'the hung recorder had not yet taken the command when Varnel answered')
    s.wait_for_end(60)
    t = s.events('recorder', STOP)
    s.expect(len(t) == 1, 'the stop command reached the recorder once it recovered')
    check_end_after_encoder(s)


NIGHT_CHECK = 'nightcheck.exe'
LAST_NIGHT = 'lastnight.exe'
TOPICS = [v for k, v in CONTRACT.items() if k.startswith('TOPIC_')]
EVERY_NIGHT_TOPICS = CONTRACT['EVERY_NIGHT_TOPICS']


def paragraph(text, topic):
    """The night check's paragraph on a topic, '' when there is none."""
    found = [line for line in text.split('\n') if line.partition(': ')[2].startswith(topic + ': ')]
    return found[0] if len(found) == 1 else ''


def verdict(text, topic):
    return paragraph(text, topic).partition(': ')[0]


def count_line(night, problems):
    """A night's count line, naming its problem topics."""
    if not problems:
        return '%s: %s' % (night, CONTRACT['COUNT_NONE'])
    number = CONTRACT['COUNT_ONE'] if len(problems) == 1 else '%d%s' % (len(problems), CONTRACT['COUNT_MANY'])
    return '%s: %s (%s).' % (night, number, CONTRACT['TOPICS_SEPARATOR'].join(problems))


def check_night_check_box(s, text, place, what):
    """The box on this 640 x 480 screen: the two count lines, each night's
    paragraphs after a blank line, every topic once and in order, and the
    line that says where to read more; each count naming its night's
    problems. Returns the number of problems."""
    x, y, width, height = place
    s.expect(x >= 0 and y >= 0 and x + width <= 640 and y + height <= 480,
             '%s: the box within the 640 x 480 screen, got %dx%d at %d,%d' % (what, width, height, x, y))
    lines = text.split('\n')
    every, topics = EVERY_NIGHT_TOPICS, len(TOPICS)
    paragraphs = lines[3:3 + every] + lines[4 + every:4 + topics]
    openings = [line.split(': ')[:2] for line in paragraphs]
    verdicts = [CONTRACT[k] for k in ('VERDICT_PROBLEM', 'VERDICT_CHECK', 'VERDICT_FINE')]
    s.expect(len(lines) == topics + 6 and lines[2] == lines[3 + every] == lines[4 + topics] == ''
             and lines[-1] == CONTRACT['NIGHT_CHECK_MORE']
             and [t for _, t in openings] == TOPICS and all(v in verdicts for v, _ in openings),
             '%s: the counts, then each night\'s topics in order, then where to read more, got %s' % (what, lines))
    problems = [t for v, t in openings if v == CONTRACT['VERDICT_PROBLEM']]
    counts = [count_line(CONTRACT['EVERY_NIGHT'], [t for t in problems if TOPICS.index(t) < every]),
              count_line(CONTRACT['NIGHT_ASLEEP'], [t for t in problems if TOPICS.index(t) >= every])]
    s.expect(lines[:2] == counts, '%s: the counts %s for the paragraphs, got %s' % (what, counts, lines[:2]))
    return len(problems)


def scenario_night_check(s):
    # A prefix of its own with stand-ins only: Varnel's window (the check
    # sees only its class) and an encoder titled "lame" in other capitals,
    # as a folder of that name would be; no recorder yet.
    encoder_closes = os.path.join(s.dir, 'close-encoder')
    s.standin('varnel')
    s.standin('encoder', '--title', 'Lame', '--close-on', encoder_closes)
    s.wait_for_events(('varnel', 'appeared'), ('encoder', 'appeared'))
    s.start_program()
    place, first, text = s.box()
    check_night_check_box(s, text, place, 'first box')
    s.expect(verdict(text, CONTRACT['TOPIC_RECORDER']) == CONTRACT['VERDICT_PROBLEM'],
             'first box: a Problem for the recorder, which is not running; got "%s"'
             % paragraph(text, CONTRACT['TOPIC_RECORDER']))
    encoders = paragraph(text, CONTRACT['TOPIC_ENCODERS'])
    s.expect(verdict(text, CONTRACT['TOPIC_ENCODERS']) == CONTRACT['VERDICT_PROBLEM'] and '"Lame"' in encoders,
             'first box: a Problem for the encoders naming "Lame", got "%s"' % encoders)
    s.first_box = text

    # The recorder starts, "Lame" closes; then Retry.
    s.standin('recorder')
    open(encoder_closes, 'w').close()
    s.wait_for_events(('recorder', 'appeared'), ('encoder', 'closed'))
    s.box(press=CONTRACT['NIGHT_CHECK_RETRY'])
    place, second, text = s.box(after=first)
    problems = check_night_check_box(s, text, place, 'box after Retry')
    for topic in ('TOPIC_RECORDER', 'TOPIC_VARNEL', 'TOPIC_ENCODERS'):
        s.expect(verdict(text, CONTRACT[topic]) not in ('', CONTRACT['VERDICT_PROBLEM']),
                 'box after Retry: no Problem for %s, got "%s"' % (CONTRACT[topic], paragraph(text, CONTRACT[topic])))
    # A machine on mains with the recorder running and no encoder: nothing
    # would stop a night left on. (A developer's laptop on battery has its
    # power problem.)
    if verdict(text, CONTRACT['TOPIC_POWER']) == CONTRACT['VERDICT_FINE']:
        s.expect(text.split('\n')[0] == count_line(CONTRACT['EVERY_NIGHT'], []),
                 'box after Retry, on mains: "%s", got "%s"' % (count_line(CONTRACT['EVERY_NIGHT'], []),
                                                               text.split('\n')[0]))
    s.second_box = text

    s.box(press=CONTRACT['NIGHT_CHECK_CANCEL'], after=first)
    s.expect(s.wait_for_end(30), 'the night check ended on Cancel')
    s.expect(s.exit_status == problems, 'exit status %s, the %d problems the last box counted'
             % (s.exit_status, problems))
    # It sent the recorder nothing it would act on: no command, no key, and
    # no post but of a registered message; nor anything brought to the front.
    s.expect(not s.events('recorder', 'command') and not s.events('recorder', 'key'),
             'the recorder got no command and no key, got %s' % s.events('recorder'))
    posts = [c for _, c in s.relay_calls('PostMessageA')]
    s.expect(posts and all(int(c.split(',')[1], 16) >= 0xC000 for c in posts),
             'only registered messages posted, got %s' % posts)
    s.expect(not s.relay_calls('SetForegroundWindow') and not s.relay_calls('keybd_event'),
             'nothing brought to the front, no key')

    # Last night, in the same prefix: Wine's System log is empty, and its
    # registry holds no record of the sound input.
    last_night = s.start(LAST_NIGHT)
    _, _, text = s.box(press=CONTRACT['LAST_NIGHT_OK'], title=CONTRACT['LAST_NIGHT_TITLE'])
    s.last_night_box = text
    lines = text.splitlines()
    s.expect(lines[:2] and lines[0].startswith(CONTRACT['LAST_NIGHT_NOTHING']) and
             lines[1:2] == [CONTRACT['LAST_NIGHT_NO_SOUND_RECORD']] and text.endswith(CONTRACT['LAST_NIGHT_CANNOT_TELL']),
             'last night: "%s...", "%s", then what it cannot tell; got "%s"' %
             (CONTRACT['LAST_NIGHT_NOTHING'], CONTRACT['LAST_NIGHT_NO_SOUND_RECORD'], text))
    try:
        status = last_night.wait(timeout=30)
    except subprocess.TimeoutExpired:
        status = 'none: still running'
    s.expect(status == 0, 'last night ended with status 0, got %s' % status)


# Name, the Windows version Wine reports to Varnel, what the scenario does,
# and the program run: the shipped file, or the same objects linked the same
# way with their run-time lookups answered as the reported Windows would
# (Windows 95 lacks the power calls) and the wakes' due times shown
# (tests/e2e/observed.cpp).
# Started a few seconds apart, the longest first.
SHIPPED, OBSERVED = 'varnel.exe', 'varnel-observed.exe'
SCENARIOS = [
    ('wake_moves_on', 'win7', scenario_wake_moves_on, OBSERVED),
    ('shutdown_nt', 'nt40', scenario_shutdown_nt, SHIPPED),
    ('shutdown_95', 'win95', scenario_shutdown_95, OBSERVED),
    ('hung', 'winxp', scenario_hung, SHIPPED),
    ('whole_job', 'win98', scenario_whole_job, SHIPPED),
    ('closed_mid_job', 'win11', scenario_closed_mid_job, SHIPPED),
    ('recorder_late', 'winme', scenario_recorder_late, SHIPPED),
    ('stop_moved', 'win2k', scenario_stop_moved, SHIPPED),
    ('midnight', 'win10', scenario_midnight, OBSERVED),
    ('night_check', 'win10', scenario_night_check, NIGHT_CHECK),
]


# Scenarios whose commands go out on the first handled tick of their minute.
ON_TIME = ('whole_job', 'shutdown_nt', 'shutdown_95', 'recorder_late', 'midnight')


def run(name, version, body, program, bin_dir, work, keep, results, clicked, jobs_clicked):
    s = None
    try:
        if program == NIGHT_CHECK:
            # Its prefix too is made only once every job has had its clicks
            # (or START_BUDGET after, whichever is first): Wine's start-up is
            # heavy, and the jobs' starts have a budget.
            deadline = time.time() + START_BUDGET + 30
            for job in jobs_clicked:
                job.wait(max(0, deadline - time.time()))
        s = Scenario(name, bin_dir, work, version, program, '640x480' if program == NIGHT_CHECK else '800x600')
        s.clicked = clicked
        try:
            body(s)
        except TooLate as late:
            s.failures.append('started too late: %s' % late)
            return
        late = ['%s: %s' % (n, e) for n in s.logs() for _, e in s.events(n, 'started after its moment')]
        if not s.expect(not late, 'started too late: %s' % '; '.join(late)):
            return
        if program != NIGHT_CHECK:
            check_power(s)
        if name[len('e2e-'):] in ON_TIME:
            # Seconds from the start of the trigger minute to the command's arrival.
            s.delays = [t % 60 for text in (START, STOP) for t, _ in s.events('recorder', text)]
    except Exception:
        if s is None:
            print('%s could not be set up:\n%s' % (name, traceback.format_exc()))
            return
        s.failures.append('crashed: ' + traceback.format_exc())
    finally:
        clicked.set()  # or never will be: the night check goes on
        if s is not None:
            s.scan_relay()
            results[name] = s
            s.close(remove=not keep and not s.failures)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('bin')
    parser.add_argument('--only', nargs='*')
    parser.add_argument('--keep', action='store_true')
    parser.add_argument('--timelines', action='store_true')
    parser.add_argument('--results')
    args = parser.parse_args()
    bin_dir = os.path.abspath(args.bin)
    # Beside the other Wine prefixes of the build, whose template they share.
    work = os.path.join(bin_dir, 'wine')

    chosen = [s for s in SCENARIOS if not args.only or s[0] in args.only]
    results = {}
    clicked = {n: threading.Event() for n, _, _, _ in chosen}
    jobs_clicked = [clicked[n] for n, _, _, p in chosen if p != NIGHT_CHECK]
    threads = [threading.Thread(target=run, args=('e2e-' + n, v, b, p, bin_dir, work, args.keep or args.timelines,
                                                  results, clicked[n], jobs_clicked))
               for n, v, b, p in chosen]
    for t in threads:
        t.start()
        time.sleep(5)  # Wine's start-up is heavy: not all at once
    for t in threads:
        t.join()

    failed = 0
    delays = []
    start_ups = {'window': [], 'user': []}
    for name, _, _, _ in chosen:
        s = results.get('e2e-' + name)
        if s is None:
            failed += 1
            print('FAILED: %s: not set up' % name)
            continue
        status = 'ok' if not s.failures else 'FAILED'
        print('%s: %s (Wine version %s, %s)' % (status, name, s.version, s.program))
        for f in s.failures:
            print('    - ' + f)
        failed += bool(s.failures)
        if s.failures or args.timelines:
            print('    timeline:')
            for _, line in s.timeline():
                print('      ' + line)
        for box, name in (('first_box', 'the night check, first box'), ('second_box', 'the night check, box after '
                          'Retry'), ('last_night_box', 'last night')):
            if hasattr(s, box) and (s.failures or args.timelines):
                print('    %s:\n%s' % (name, '\n'.join(
                    '      ' + line for line in getattr(s, box).split('\n'))))
        delays += getattr(s, 'delays', [])
        for kind, seconds in s.start_ups.items():
            start_ups[kind] += seconds
    if args.results:
        os.makedirs(os.path.dirname(os.path.abspath(args.results)), exist_ok=True)
        json.dump({'command_delays': delays, 'start_ups': start_ups}, open(args.results, 'w'))
    print('%d passed, %d failed' % (len(chosen) - failed, failed))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
