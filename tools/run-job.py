#!/usr/bin/env python3
"""Shows Varnel at work under Wine, with the stand-in outside programs beside
it (tools/setup-and-run runs this inside the Wine environment).

    run-job.py BUILD_DIR           a whole job in about five minutes: Varnel's
                                   clock placed with time for a slow start,
                                   its buttons clicked two minutes before
                                   REC, the night check while the job waits,
                                   a timeline and screenshots
    run-job.py BUILD_DIR --plain   Varnel on the real clock with your own times,
                                   and the stand-in recorder for it to drive

What it prints and keeps is in BUILD_DIR/wine/run/: the timeline of what
each program received or did (timeline.txt), the night check's text
(nightcheck.txt), screenshots of the night check's box (nightcheck.png) and
of Varnel's window with its lamps lit (varnel.png), and the programs' logs.
"""
import os
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), 'harness'))
from job_run import CLICKS_BY, CLICKS_FROM, CONTRACT, JobRun, TooLate, clock_placed_for  # noqa: E402
from wine import clock_text, hms  # noqa: E402


# Lines reach the timeline a moment after they happened (the logs are read
# twice a second): each is printed once it is this old, so in its place.
SETTLED = 1.5
# Where nothing else was printed for this long, a line says what the run
# waits for: starting Wine's programs, under an emulator, can take minutes.
QUIET = 25

START = 'command wParam=%d lParam=0' % CONTRACT['CMD_REC_START']
STOP = 'command wParam=%d lParam=0' % CONTRACT['CMD_REC_STOP']


class Printer:
    """Prints the run's timeline as its lines settle, and what the run waits
    for whenever it has been quiet a while; keeps every line printed."""

    def __init__(self, run, waiting_for):
        self.run, self.waiting_for = run, waiting_for
        self.shown, self.printed_at = set(), time.time()
        self.done = threading.Event()
        self.thread = threading.Thread(target=self._print, daemon=True)
        self.thread.start()

    def say(self, line):
        print(line, flush=True)
        self.printed_at = time.time()

    def _new(self, final=False):
        for t, line in self.run.timeline():
            if (t, line) not in self.shown and (final or self.run.now() - t > SETTLED):
                self.shown.add((t, line))
                self.say(line)

    def _print(self):
        while not self.done.wait(0.5):
            self._new()
            if time.time() - self.printed_at > QUIET:
                now = clock_text(self.run.now())[:8] if self.run.clock else time.strftime('%H:%M:%S')
                self.say('%s ... waiting for %s' % (now, self.waiting_for()))

    def finish(self, timeline_file=None):
        self.done.set()
        self.thread.join()
        self._new(final=True)
        if timeline_file:
            with open(timeline_file, 'w') as out:
                out.writelines(line + '\n' for _, line in self.run.timeline())


# The night check's box is cancelled by then at the latest, well before the
# job's first step at 10:59.
NIGHT_CHECK_BY = hms(10, 58, 40)


def night_check(run, out):
    """While the job waits: the night check started beside it, its box read
    (its counts into the timeline, its text into nightcheck.txt) and
    photographed, then cancelled; ended by NIGHT_CHECK_BY whatever it has
    done."""
    check = run.start('nightcheck.exe')
    run.notes.append((run.now(), 'run', 'night check started'))

    def read_and_cancel():
        try:
            place, _, text = run.box()
            open(os.path.join(out, 'nightcheck.txt'), 'w').write(text + '\n')
            run.screenshot(os.path.join(out, 'nightcheck.png'), place)
            run.box(press=CONTRACT['NIGHT_CHECK_CANCEL'])
        except TooLate as late:
            run.notes.append((run.now(), 'run', 'the night check: %s' % late))
    reader = threading.Thread(target=read_and_cancel, daemon=True)
    reader.start()
    reader.join(run.seconds_until(NIGHT_CHECK_BY))
    try:
        check.wait(timeout=5)
        run.notes.append((run.now(), 'run', 'night check ended, status %d (its problems)' % check.returncode))
    except subprocess.TimeoutExpired:
        check.kill()
        run.notes.append((run.now(), 'run', 'night check not done by %s: ended' % clock_text(NIGHT_CHECK_BY)))


def where_drawn(run):
    return ('your display %s' % run.wine.display if os.environ.get('DISPLAY')
            else 'a virtual display (Xvfb %s), not on your screen' % run.wine.display)


def whole_job(run, out):
    print('Varnel\'s clock is placed at %s; its windows are drawn on %s.'
          % (clock_text(clock_placed_for(CLICKS_BY))[:8], where_drawn(run)))
    print('Once everything has started, clicking REC hour down once, STOP hour down twice, at')
    print('%s: REC 11:00, STOP 11:00.' % clock_text(CLICKS_FROM)[:8])
    print('  expected: the night check, whose box is read and cancelled before 10:59;')
    print('  a sleep granted and, on the wake, the request to stay up made again;')
    print('  the start command during 10:59, the stop command during 11:01, then the encoder')
    print("  'lame' holds the job until it closes, then the yellow lamp and, twelve seconds")
    print('  later, the shutdown request (in Wine it ends only this run\'s own prefix).')
    print('Starting Wine and the programs: under an emulator, a minute or two.', flush=True)

    def waiting_for():
        if run.clock is None:
            return 'the Wine prefix'
        if not any(what == "Varnel's window up" for _, _, what in run.notes):
            return "Varnel's window to open under Wine"
        if not run.clicks:
            return 'the clicks at %s' % clock_text(CLICKS_FROM)[:8]
        if not run.events('recorder', START):
            return 'the start command during 10:59'
        if not run.events('recorder', STOP):
            return 'the stop command during 11:01'
        if not run.events('encoder', 'closed'):
            return "the encoder 'lame' to close"
        return 'the shutdown request'
    printer = Printer(run, waiting_for)

    # The alert pops up as recording starts; an encoder works on past the
    # stop; Windows puts the machine to sleep a moment after the clicks, and
    # the clock wakes it before the start.
    try:
        run.begin(('START_HOUR_DOWN', 'STOP_HOUR_DOWN', 'STOP_HOUR_DOWN'), CLICKS_FROM, CLICKS_BY,
                  [('recorder',), ('alert', '--appear-after', '10:59:02'),
                   ('encoder', '--title', 'lame', '--appear-after', '11:00:50', '--close-after', '11:01:10'),
                   ('power', '--sleep-on', run.clicked_mark, '--asleep-for', 3)])
        screenshot = os.path.join(out, 'varnel.png')
        checking = threading.Thread(target=night_check, args=(run, out), daemon=True)
        checking.start()
        while run.exit_at is None:
            closed = run.events('encoder', 'closed')
            # A moment after the encoder closes, all three lamps are lit.
            if closed and not os.path.exists(screenshot) and run.now() - closed[0][0] > 4:
                run.screenshot(screenshot)
                run.notes.append((run.now(), 'run', "screenshot of Varnel's window: " + screenshot))
            time.sleep(0.5)
    finally:
        printer.finish(os.path.join(out, 'timeline.txt'))


def plain(run, out):
    run.standin('recorder')
    print('On %s:' % where_drawn(run))
    print('  Varnel (build/win32/varnel.exe), and the stand-in recorder, which logs')
    print('  what it receives to %s.' % os.path.join(out, 'recorder.log'))
    print('Set REC and STOP on Varnel\'s window. Close the window or press Ctrl-C to stop.')
    run.start_varnel()
    printer = Printer(run, lambda: "Varnel's times")
    try:
        while run.exit_at is None:
            time.sleep(0.5)
    finally:
        printer.finish(os.path.join(out, 'timeline.txt'))


def main():
    bin_dir = os.path.abspath(sys.argv[1])
    out = os.path.join(bin_dir, 'wine', 'run')
    run = JobRun(out, bin_dir, 'winxp', own_display=False)
    try:
        (plain if '--plain' in sys.argv[2:] else whole_job)(run, out)
        print('The timeline, the night check\'s text and the screenshots: %s' % out)
    except KeyboardInterrupt:
        pass
    except TooLate as late:
        print('Started too late to show a whole job: %s' % late)
        return 1
    finally:
        run.close(remove=False)
    return 0


if __name__ == '__main__':
    sys.exit(main())
