#!/usr/bin/env python3
"""Writes the table of the qmxtool setup test with Python's csv module, and
what the position report must then say: 300 units of a 30 x 40 map whose
hexes carry the new module's names ("0712": column 7, row 12). Units are
named by name and by number in turn, hexes by name and by "column,row" (which
csv quotes), and stacks form where several units share a hex.
    python3 setup-table.py TABLE.csv EXPECTED.txt"""
import csv
import sys

table, expected = sys.argv[1], sys.argv[2]
with open(table, 'w', newline='') as t, open(expected, 'w', newline='') as e:
    w = csv.writer(t)
    w.writerow(['unit', 'hex', 'step'])
    for n in range(1, 301):
        column, row = (n * 7) % 30 + 1, (n * 13) % 40 + 1
        unit = 'Unit %d' % n if n % 2 else str(n)
        hex_ = '%02d%02d' % (column, row) if n % 3 else '%d,%d' % (column, row)
        w.writerow([unit, hex_, 1])
        e.write('Unit %d\t%02d%02d\n' % (n, column, row))
