#!/usr/bin/env python3
"""Packs the release a user downloads: the shipped program and its guide,
as the same bytes on every build of the same sources.

    make-release.py VARNEL_EXE README_TXT OUT.zip

The guide is kept with Unix line ends and packed with Windows ones, for
Notepad. Every entry gets the same date and attributes, in a fixed order.
"""
import sys
import zipfile

DATE = (1980, 1, 1, 0, 0, 0)  # the earliest a zip can hold


def add(archive, name, data):
    entry = zipfile.ZipInfo(name, DATE)
    entry.compress_type = zipfile.ZIP_DEFLATED
    entry.create_system = 0  # MS-DOS: no Unix permissions in the entry
    entry.external_attr = 0x20  # the archive bit, as Windows sets it
    archive.writestr(entry, data, compresslevel=9)


def main():
    exe, readme, out = sys.argv[1:4]
    text = open(readme, 'rb').read().replace(b'\r\n', b'\n').replace(b'\n', b'\r\n')
    with zipfile.ZipFile(out, 'w') as archive:
        add(archive, 'varnel.exe', open(exe, 'rb').read())
        add(archive, 'readme.txt', text)
    return 0


if __name__ == '__main__':
    sys.exit(main())
