#!/usr/bin/env python3
"""Writes hsdpaModules.dat, the list of built-in 3G modems the wireless key
looks for among the present USB devices.

ANSI text: the number of modems on the first line, then one identifier part
per line, each a vendor and product part of a USB hardware path. The first
modem is the special one of the two-radio notebooks (its product number
6772 gives the two-choice wireless toggle); the second is an ordinary one.
Same input, same bytes.

Usage: make_hsdpa_modules.py <output folder>"""
import os
import sys

MODULES = [
    'VID_1E0E&PID_6772',  # the special module
    'VID_12D1&PID_1404',
]


def contents():
    for part in MODULES:
        assert 0 < len(part) <= 127 and part.isascii() and not any(c.isspace() for c in part)
    return ('%d\n' % len(MODULES) + ''.join(part + '\n' for part in MODULES)).encode('ascii')


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(os.path.join(sys.argv[1], 'hsdpaModules.dat'), 'wb') as out:
        out.write(contents())


if __name__ == '__main__':
    main()
