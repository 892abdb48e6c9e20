#!/usr/bin/env python3
"""The shutdown request, for real under Wine, as each Windows family: the
probe runs in a throwaway prefix (a request ends every process of its
prefix) with Wine reporting the version named, and the relay log shows the
calls the probe made.

    shutdown_families.py PROBE_EXE WINE_FOLDER
"""
import os
import re
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tools', 'harness'))
sys.path.insert(0, os.path.join(HERE, '..', 'contract'))
import wine as harness  # noqa: E402
from contract import CONTRACT  # noqa: E402

WATCHED = ('GetVersionExA', 'OpenProcessToken', 'LookupPrivilegeValueA', 'AdjustTokenPrivileges', 'ExitWindowsEx')
TOKEN_CALLS = ['OpenProcessToken', 'LookupPrivilegeValueA', 'AdjustTokenPrivileges']

# Wine's version, the flags expected, whether the privilege is asked for first.
ROWS = [
    ('win95', CONTRACT['SHUTDOWN_FLAGS_95'], False),
    ('win98', CONTRACT['SHUTDOWN_FLAGS_95'], False),
    ('nt40', CONTRACT['SHUTDOWN_FLAGS_NT'], True),
    ('winxp', CONTRACT['SHUTDOWN_FLAGS_NT'], True),
]


def probe_calls(probe, folder, version):
    wine = harness.Wine(os.path.join(folder, 'shutdown-' + version))
    try:
        wine.relay_only(WATCHED)
        program = os.path.join(wine.state, 'probe-%s.exe' % version)
        shutil.copy(probe, program)
        wine.report_version(os.path.basename(program), version)
        log = os.path.join(wine.state, 'relay.log')
        wine.start(program, relay_log=log).wait(timeout=60)
        # The request goes on ending the prefix's processes after the probe returns.
        wine.wait_idle()
        calls = re.findall(r'^[0-9a-f]+:Call \w+\.(\w+)\(([^)]*)\)', open(log).read(), re.M)
        # Wine's own start-up opens the token too, with other access rights.
        return [(name, args) for name, args in calls
                if name in WATCHED and (name != 'OpenProcessToken' or ',%08x,' % CONTRACT['TOKEN_ACCESS'] in args)]
    finally:
        wine.stop()
        shutil.rmtree(wine.state, ignore_errors=True)


def main():
    probe, folder = sys.argv[1], sys.argv[2]
    failures = 0
    for version, flags, asks_privilege in ROWS:
        calls = probe_calls(probe, folder, version)
        names = [name for name, _ in calls if name != 'GetVersionExA']
        expected = (TOKEN_CALLS if asks_privilege else []) + ['ExitWindowsEx']
        exits = [args for name, args in calls if name == 'ExitWindowsEx']
        if names == expected and exits == ['%08x,00000000' % flags]:
            print('ok: %s: ExitWindowsEx(%#x), privilege asked for: %s' % (version, flags, asks_privilege))
        else:
            failures += 1
            print('FAILED: %s: expected %s with flags %#x; the probe made:' % (version, expected, flags))
            for name, args in calls:
                print('    %s(%s)' % (name, args))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
