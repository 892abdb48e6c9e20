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


def show_new(run, shown, final=False):
    for t, line in run.timeline():
        if (t, line) not in shown and (final or run.now() - t > SETTLED):
            shown.add((t, line))
            print(line, flush=True)


# The night check's box is cancelled by then at the latest, well before the
# job's first step at 10:59.
NIGHT_CHECK_BY = hms(10, 58, 40)


def night_check(run, out):
    """While the job waits: the night check started beside it, its box read
    into the timeline and photographed, then cancelled; ended by
    NIGHT_CHECK_BY whatever it has done."""
    check = run.start('nightcheck.exe')
    run.notes.append((run.now(), 'run', 'night check started'))

    def read_and_cancel():
        try:
            place, box, text = run.box()
            for line in text.split('\n'):
                run.notes.append((run.now(), 'night check', line))
            screenshot = os.path.join(out, 'nightcheck.png')
            run.screenshot(screenshot, place)
            run.notes.append((run.now(), 'run', "screenshot of the night check's box: " + screenshot))
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


def whole_job(run, out):
    print('Running on display %s, Varnel\'s clock placed at %s.'
          % (run.wine.display, clock_text(clock_placed_for(CLICKS_BY))[:8]))
    print('Once everything has started, clicking REC hour down once, STOP hour down twice, at')
    print('%s: REC 11:00, STOP 11:00.' % clock_text(CLICKS_FROM)[:8])
    print('  expected: the night check, whose box is read and cancelled before 10:59;')
    print('  a sleep granted and, on the wake, the request to stay up made again;')
    print('  the start command during 10:59, the stop command during 11:01, then the encoder')
    print("  'lame' holds the job until it closes, then the yellow lamp and, twelve seconds")
    print('  later, the shutdown request (in Wine it ends only this run\'s own prefix).')
    # The alert pops up as recording starts; an encoder works on past the
    # stop; Windows puts the machine to sleep a moment after the clicks, and
    # the clock wakes it before the start.
    run.begin(('START_HOUR_DOWN', 'STOP_HOUR_DOWN', 'STOP_HOUR_DOWN'), CLICKS_FROM, CLICKS_BY,
              [('recorder',), ('alert', '--appear-after', '10:59:02'),
               ('encoder', '--title', 'lame', '--appear-after', '11:00:50', '--close-after', '11:01:10'),
               ('power', '--sleep-on', run.clicked_mark, '--asleep-for', 3)])
    shown, screenshot = set(), os.path.join(out, 'varnel.png')
    checking = threading.Thread(target=night_check, args=(run, out), daemon=True)
    checking.start()

    while run.exit_at is None:
        show_new(run, shown)
        closed = run.events('encoder', 'closed')
        # A moment after the encoder closes, all three lamps are lit.
        if closed and not os.path.exists(screenshot) and run.now() - closed[0][0] > 4:
            run.screenshot(screenshot)
            run.notes.append((run.now(), 'run', "screenshot of Varnel's window: " + screenshot))
        time.sleep(0.5)
    show_new(run, shown, final=True)


def plain(run, out):
    run.standin('recorder')
    print('Running on display %s:' % run.wine.display)
    print('  Varnel (build/win32/varnel.exe), and the stand-in recorder, which logs')
    print('  what it receives to %s.' % os.path.join(out, 'recorder.log'))
    print('Set REC and STOP on Varnel\'s window. Close the window or press Ctrl-C to stop.')
    run.start_varnel()
    shown = set()
    while run.exit_at is None:
        show_new(run, shown)
        time.sleep(0.5)
    show_new(run, shown, final=True)


def main():
    bin_dir = os.path.abspath(sys.argv[1])
    out = os.path.join(bin_dir, 'wine', 'run')
    run = JobRun(out, bin_dir, 'winxp', own_display=False)
    try:
        (plain if '--plain' in sys.argv[2:] else whole_job)(run, out)
        print('Logs: %s' % out)
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
