#!/usr/bin/env python3
"""Packs the release a user downloads: the shipped programs and their
guide, as the same bytes on every build of the same commit, and beside the
zip SHA256SUMS, the SHA-256 of each program and of the zip, one line each,
as `sha256sum -c` reads it.

    make-release.py OUT.zip README_TXT PROGRAM.exe...

The guide is kept with Unix line ends and packed with Windows ones, for
Notepad. Every entry gets the same attributes, in a fixed order, and the
date of the commit built (in UTC, whatever the builder's time zone), or
a fixed date outside a git checkout.
"""
import hashlib
import os
import subprocess
import sys
import time
import zipfile

FALLBACK_DATE = (2026, 1, 1, 0, 0, 0)


def release_date():
    try:
        stamp = subprocess.run(['git', '-C', os.path.dirname(os.path.abspath(__file__)), 'log', '-1', '--format=%ct'],
                               capture_output=True, text=True, check=True).stdout.strip()
        return time.gmtime(int(stamp))[:6]
    except (OSError, ValueError, subprocess.CalledProcessError):
        return FALLBACK_DATE


def add(archive, name, data, date):
    entry = zipfile.ZipInfo(name, date)
    entry.compress_type = zipfile.ZIP_DEFLATED
    entry.create_system = 0  # MS-DOS: no Unix permissions in the entry
    entry.external_attr = 0x20  # the archive bit, as Windows sets it
    archive.writestr(entry, data, compresslevel=9)


def main():
    out, readme, exes = sys.argv[1], sys.argv[2], sys.argv[3:]
    text = open(readme, 'rb').read().replace(b'\r\n', b'\n').replace(b'\n', b'\r\n')
    date = release_date()
    programs = [(os.path.basename(exe), open(exe, 'rb').read()) for exe in exes]
    with zipfile.ZipFile(out, 'w') as archive:
        for name, data in programs:
            add(archive, name, data, date)
        add(archive, 'readme.txt', text, date)
    # Named without folders, for the files as the user has them side by side.
    sums = ''.join('%s  %s\n' % (hashlib.sha256(data).hexdigest(), name)
                   for name, data in programs + [(os.path.basename(out), open(out, 'rb').read())])
    open(os.path.join(os.path.dirname(os.path.abspath(out)), 'SHA256SUMS'), 'w', newline='\n').write(sums)
    return 0


if __name__ == '__main__':
    sys.exit(main())
