#!/usr/bin/env python3
"""Finds a plug-in entry in a screenshot of Ardour 7's mixer window.

Usage: find_entry.py MIXER.xwd N
Prints "X Y", the middle of the N-th (from 1) plug-in entry from the top in
the leftmost strip's processor box, or exits 1 when there is none.
Ardour's default theme fills plug-in entries with a dark red gradient whose
top row is about (121, 56, 56), its fader entry blue; runs of such rows in one
column are the entries.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xwdpng  # noqa: E402


def is_entry_red(p):
    r, g, b = p
    return r >= 80 and r - g >= 35 and abs(g - b) <= 8


def entries_in_column(rows, x, height):
    runs, start = [], None
    for y in range(height):
        red = is_entry_red(rows[y][3 * x:3 * x + 3])
        if red and start is None:
            start = y
        elif not red and start is not None:
            if 10 <= y - start <= 40:
                runs.append((start, y))
            start = None
    return runs


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    width, height, rows = xwdpng.read_xwd(sys.argv[1])
    n = int(sys.argv[2])
    # the first column from the left with at least n entries; then step a few
    # pixels right so that the click lands inside the entry, clear of its LED
    for x in range(width):
        runs = entries_in_column(rows, x, height)
        if len(runs) >= n:
            top, bottom = runs[n - 1]
            print(x + 30, (top + bottom) // 2)
            return
    sys.exit(1)


if __name__ == "__main__":
    main()
