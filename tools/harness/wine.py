#!/usr/bin/env python3
"""The one place where Windows programs are started for Varnel's tests, the
run command and the benchmark: a Wine prefix with its display, the Windows
version Wine reports to a program, the calls its relay log shows, and the
local clock a program sees. Runs inside the Wine environment (tools/in-env).

Everything Wine keeps lives in one folder of the build tree: a template
prefix made once (tools/install-deps's Wine copies its modules into every
prefix) and a state folder per user of it, whose prefix is a hard-linked copy.

    wine.py STATE [--clock WHEN | --zone TZ] PROGRAM [ARGS...]
                                                         run, with its status;
                                                         WHEN: HH:MM:SS, or
                                                         utc+H (H hours ahead);
                                                         TZ: a zone as the C
                                                         runtime reads it, e.g.
                                                         EST5EDT
    wine.py STATE --stop                                 end Wine and the display
"""
import fcntl
import os
import shutil
import subprocess
import sys
import time

WINE = '/usr/lib/wine/wine64'
WINESERVER = '/usr/lib/wine/wineserver'
DAY = 86400
MODULE_SUFFIXES = ('.dll', '.exe', '.drv', '.sys', '.ocx', '.cpl', '.acm', '.ax', '.tlb', '.ds', '.vxd',
                   '.dll16', '.exe16', '.drv16', '.mod16')


def hms(h, m, s=0.0):
    """The second of the day of h:m:s."""
    return h * 3600 + m * 60 + s


def clock_text(seconds):
    """hh:mm:ss.mmm of a second of the day."""
    seconds %= DAY
    return '%02d:%02d:%06.3f' % (seconds // 3600, seconds // 60 % 60, seconds % 60)


def parse_clock(text):
    h, m, s = text.split(':')
    return int(h) * 3600 + int(m) * 60 + float(s)


class Clock:
    """A local time of day placed with TZ: the C runtime (msvcrt) reads its
    zone from TZ, to the second, so a program started with it sees `local`
    now, and the time goes on from there."""

    def __init__(self, local):
        offset = int(round(local - time.time() % DAY)) % DAY
        self.offset = offset
        self.tz = 'XYZ-%d:%02d:%02d' % (offset // 3600, offset // 60 % 60, offset % 60)

    def now(self):
        return (time.time() + self.offset) % DAY

    def wait_until(self, local):
        while True:
            left = (local - self.now()) % DAY
            if left > DAY / 2 or left < 0.02:
                return
            time.sleep(min(left, 0.2))


class Locked:
    def __init__(self, path):
        self.path = path

    def __enter__(self):
        self.file = open(self.path, 'w')
        fcntl.flock(self.file, fcntl.LOCK_EX)

    def __exit__(self, *_):
        self.file.close()


def _quiet_env(prefix):
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG='-all',
               # No Mono or Gecko: nothing here needs them, and nothing may be downloaded.
               WINEDLLOVERRIDES='mscoree,mshtml=')
    env.pop('TZ', None)
    return env


SCREEN = '800x600'


class Wine:
    """A prefix of its own in STATE, on the caller's display (DISPLAY) or, when
    there is none or own_display is asked for, on a virtual one of the size
    given (WIDTHxHEIGHT)."""

    def __init__(self, state, own_display=False, set_up=True, screen=SCREEN):
        self.screen = screen
        self.state = os.path.abspath(state)
        self.prefix = os.path.join(self.state, 'prefix')
        self.template = os.path.join(os.path.dirname(self.state), 'template')
        self.env = _quiet_env(self.prefix)
        if not set_up:
            return
        os.makedirs(self.state, exist_ok=True)
        with Locked(os.path.join(self.state, 'lock')):
            self.display = os.environ.get('DISPLAY') if not own_display else None
            if not self.display:
                self.display = self._virtual_display()
            if not os.path.exists(self.prefix):
                self._copy_template()
        self.env = dict(_quiet_env(self.prefix), DISPLAY=self.display)

    def _virtual_display(self):
        pid_file, display_file = (os.path.join(self.state, n) for n in ('xvfb.pid', 'display'))
        try:
            os.kill(int(open(pid_file).read()), 0)
            return open(display_file).read().strip()
        except (OSError, ValueError):
            pass
        # -displayfd: Xvfb picks a free display number and tells it.
        read, write = os.pipe()
        xvfb = subprocess.Popen(['Xvfb', '-displayfd', str(write), '-screen', '0', self.screen + 'x24', '-nolisten', 'tcp'],
                                pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                start_new_session=True)
        os.close(write)
        with os.fdopen(read) as pipe:
            display = ':' + pipe.readline().strip()
        open(pid_file, 'w').write(str(xvfb.pid))
        open(display_file, 'w').write(display)
        return display

    def _copy_template(self):
        # Each is made under another name and renamed once complete, so that
        # one cut short is made again rather than used.
        with Locked(self.template + '.lock'):
            if not os.path.exists(self.template):
                making = self.template + '.making'
                shutil.rmtree(making, ignore_errors=True)
                env = _quiet_env(making)
                env.pop('DISPLAY', None)
                subprocess.run([WINE, 'wineboot', '-i'], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                subprocess.run([WINESERVER, '-w'], env=env)
                os.rename(making, self.template)
        copying = self.prefix + '.copying'
        shutil.rmtree(copying, ignore_errors=True)
        shutil.rmtree(self.prefix, ignore_errors=True)
        # The modules, nine tenths of a prefix and never written, are shared
        # as hard links; everything else is copied, for Wine writes some files
        # in place (the registry, for one) and must not write the template's.
        for folder, folders, files in os.walk(self.template):
            into = os.path.join(copying, os.path.relpath(folder, self.template))
            os.makedirs(into, exist_ok=True)
            for name in files + [f for f in folders if os.path.islink(os.path.join(folder, f))]:
                source, target = os.path.join(folder, name), os.path.join(into, name)
                if os.path.islink(source):
                    os.symlink(os.readlink(source), target)
                elif name.lower().endswith(MODULE_SUFFIXES):
                    os.link(source, target)
                else:
                    shutil.copy2(source, target)
        os.rename(copying, self.prefix)

    def reg(self, key, value, data):
        subprocess.run([WINE, 'reg', 'add', key, '/v', value, '/d', data, '/f'], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        subprocess.run([WINESERVER, '-w'], env=self.env)

    def report_version(self, program, version):
        """Wine tells this program (a file name) it runs on `version` (win95, nt40, ...)."""
        self.reg('HKCU\\Software\\Wine\\AppDefaults\\' + program, 'Version', version)

    def relay_only(self, calls):
        """Relay logs show only these calls (names, without their DLL)."""
        self.reg('HKCU\\Software\\Wine\\Debug', 'RelayInclude', ';'.join(calls))

    def start(self, program, *args, clock=None, zone=None, relay_log=None, **popen):
        """Starts a program with its local clock placed, or in a time zone
        (TZ, e.g. EST5EDT) on the real clock."""
        env = dict(self.env)
        if clock is not None:
            zone = clock.tz
        if zone is not None:
            env['TZ'] = zone
        popen.setdefault('stdout', subprocess.DEVNULL)
        popen.setdefault('stderr', subprocess.DEVNULL)
        if relay_log is not None:
            env['WINEDEBUG'] = '+timestamp,+relay'
            popen['stderr'] = open(relay_log, 'w')
        return subprocess.Popen([WINE, program] + [str(a) for a in args], env=env, **popen)

    def wait_idle(self):
        subprocess.run([WINESERVER, '-w'], env=self.env)

    def stop(self):
        subprocess.run([WINESERVER, '-k'], env=self.env, stderr=subprocess.DEVNULL)
        try:
            os.kill(int(open(os.path.join(self.state, 'xvfb.pid')).read()), 9)
        except (OSError, ValueError):
            pass
        for name in ('xvfb.pid', 'display'):
            if os.path.exists(os.path.join(self.state, name)):
                os.remove(os.path.join(self.state, name))


def main(argv):
    state, rest = argv[0], argv[1:]
    if rest == ['--stop']:
        Wine(state, set_up=False).stop()
        return 0
    wine = Wine(state)
    clock = zone = None
    if rest[:1] == ['--clock']:
        when, rest = rest[1], rest[2:]
        ahead = float(when[4:]) * 3600 if when.startswith('utc+') else None
        clock = Clock(time.time() % DAY + ahead if ahead is not None else parse_clock(when))
    elif rest[:1] == ['--zone']:
        zone, rest = rest[1], rest[2:]
    return wine.start(rest[0], *rest[1:], clock=clock, zone=zone, stdout=None, stderr=None).wait()


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
