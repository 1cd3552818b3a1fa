#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora: for each parser, files of the
program's own kind (as the generators make them) and the damaged forms the
readers must survive. Inputs a fuzz run once found are kept beside this
script in regressions/<target>/ and copied in too.

Same input, same files.

Usage: make_corpus.py <corpus folder>"""
import os
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tools', 'gen'))
import make_hsdpa_modules  # noqa: E402

BOM = b'\xff\xfe'


def u16(text):
    return BOM + text.encode('utf-16-le')


def history(lines, count=None):
    count = len(lines) if count is None else count
    return u16('%d _\r\n' % count + ''.join(line + ' _\r\n' for line in lines))


def language(tables):
    text = ''
    for table in tables:
        text += '%d _\r\n' % len(table) + ''.join(line + ' _\r\n' for line in table)
    return u16(text)


MONITORS = ['DISPLAY\\KOR1366', 'DISPLAY\\SAM0A7B', 'DISPLAY\\DEL4071']
TABLES = [['LCD', 'CRT', 'LCD+CRT'], ['800 x 600', '1024 x 768'], ['Presentation'], ['Options', 'Hint']]

SEEDS = {
    'fuzz_utf16': {
        'text': u16('Monitor \u00e9\u4e2d'),
        'empty': b'',
        'bom-only': BOM,
        'odd': BOM + b'a\x00b',
        'no-bom': 'plain'.encode('utf-16-le'),
        'surrogates': BOM + b'\x3d\xd8\x00\xde\x00\xd8',
    },
    'fuzz_display_history': {
        'good': history(MONITORS),
        'empty-history': history([]),
        'count-too-large': history(MONITORS, 40),
        'count-negative': history(MONITORS, -1),
        'no-ending': u16('2 _\r\nDISPLAY\\KOR1366 _\r\nDISPLAY\\SAM0A7B'),
        'long-line': history(['M' * 10000]),
        'nul-inside': history(['DISP\x00LAY']),
        'odd': history(MONITORS)[:-1],
        'no-bom': history(MONITORS)[2:],
        'bom-only': BOM,
    },
    'fuzz_language_texts': {
        'good': language(TABLES),
        'empty': b'',
        'bom-only': BOM,
        'count-too-large': u16('9 _\r\nLCD _\r\n'),
        'no-ending': u16('1 _\r\nLCD\r\n'),
        'long-line': language([['x' * 5000], [], [], []]),
        'odd': language(TABLES)[:-1],
        'no-bom': language(TABLES)[2:],
    },
    'fuzz_modem_list': {
        'good': make_hsdpa_modules.contents(),
        'empty': b'',
        'no-count': b'VID_1E0E&PID_6772\n',
        'negative': b'-3\nA\n',
        'huge-count': b'99999999999999999999\nA\n',
        'short': b'5\nA\nB\n',
        'long-fragment': b'1\n' + b'V' * 300 + b'\n',
        'nul': b'1\nVID\x00PID\n',
        'utf16': '2\r\nVID_1\r\nVID_2\r\n'.encode('utf-16-le'),
        'ctrl-z': b'2\nA\x1aB\n',
    },
}


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    for target, seeds in SEEDS.items():
        folder = os.path.join(root, target)
        os.makedirs(folder, exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(folder, 'seed-' + name), 'wb') as out:
                out.write(data)
        kept = os.path.join(HERE, 'regressions', target)
        if os.path.isdir(kept):
            for name in sorted(os.listdir(kept)):
                shutil.copyfile(os.path.join(kept, name), os.path.join(folder, 'regression-' + name))


if __name__ == '__main__':
    main()
