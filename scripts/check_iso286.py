#!/usr/bin/env python3
"""Check iso286_limit_deviations.csv against the ISO 286-1 rules.

Every cell of the CSV is recomputed from two small tables of the
ISO 286-1 system of limits and fits:

  * the standard tolerance grades (IT6, IT7, IT8, IT9, IT11), and
  * the fundamental deviations of the letters used (f, g, k, m, n, p, r, s
    for shafts; the holes F, G, K, N, P follow from them by the
    standard's general and special rules, with the delta values for grade 7),

and the result is compared with the CSV.  Values are handled as exact
decimals in micrometres; the CSV holds millimetres.

Run:  python3 scripts/check_iso286.py [path/to/iso286_limit_deviations.csv]
      (without an argument it checks examples/iso286_limit_deviations.csv)
Exit status 0 when every cell agrees, 1 otherwise.
"""

import csv
import os
import sys
from decimal import Decimal

# Upper bounds (mm) of the nominal size intervals: "over 0 up to 3",
# "over 3 up to 6", ... "over 400 up to 500".
BOUNDS = [3, 6, 10, 18, 30, 50, 80, 120, 180, 250, 315, 400, 500]

# ISO 286-1, standard tolerance grades, micrometres, one value per interval.
IT = {
    6: [6, 8, 9, 11, 13, 16, 19, 22, 25, 29, 32, 36, 40],
    7: [10, 12, 15, 18, 21, 25, 30, 35, 40, 46, 52, 57, 63],
    8: [14, 18, 22, 27, 33, 39, 46, 54, 63, 72, 81, 89, 97],
    9: [25, 30, 36, 43, 52, 62, 74, 87, 100, 115, 130, 140, 155],
    11: [60, 75, 90, 110, 130, 160, 190, 220, 250, 290, 320, 360, 400],
}

# ISO 286-1, delta values for grade 7 (used for K, M, N up to grade 8 and
# P to ZC up to grade 7).  For sizes above 3 mm delta = IT7 - IT6; for
# sizes up to 3 mm it is 0.  Checked against IT below.
DELTA7 = [0, 4, 6, 7, 8, 9, 11, 13, 15, 17, 20, 21, 23]

# ISO 286-1, fundamental deviations of shafts, micrometres.
# f, g: upper deviation es.  k (grades 4 to 7), m, n, p: lower deviation ei.
FD_SHAFT = {
    'f': [-6, -10, -13, -16, -20, -25, -30, -36, -43, -50, -56, -62, -68],
    'g': [-2, -4, -5, -6, -7, -9, -10, -12, -14, -15, -17, -18, -20],
    'k': [0, 1, 1, 1, 2, 2, 2, 3, 3, 4, 4, 4, 5],
    'm': [2, 4, 6, 7, 8, 9, 11, 13, 15, 17, 20, 21, 23],
    'n': [4, 8, 10, 12, 15, 17, 20, 23, 27, 31, 34, 37, 40],
    'p': [6, 12, 15, 18, 22, 26, 32, 37, 43, 50, 56, 62, 68],
}

# r and s change inside some of the intervals above, so ISO 286-1 gives them
# per sub-range: (upper bound of the sub-range in mm, ei in micrometres).
# The CSV uses, for each interval, the sub-range that ends at the interval's
# upper bound (e.g. 65-80 for the interval 50-80).
FD_SUBRANGES = {
    'r': [(3, 10), (6, 15), (10, 19), (18, 23), (30, 28), (50, 34),
          (65, 41), (80, 43), (100, 51), (120, 54),
          (140, 63), (160, 65), (180, 68),
          (200, 77), (225, 80), (250, 84),
          (280, 94), (315, 98), (355, 108), (400, 114),
          (450, 126), (500, 132)],
    's': [(3, 14), (6, 19), (10, 23), (18, 28), (30, 35), (50, 43),
          (65, 53), (80, 59), (100, 71), (120, 79),
          (140, 92), (160, 100), (180, 108),
          (200, 122), (225, 130), (250, 140),
          (280, 158), (315, 170), (355, 190), (400, 208),
          (450, 232), (500, 252)],
}


def ei_subrange(letter, i):
    """Fundamental deviation of r or s for the sub-range ending at BOUNDS[i]."""
    for upper, value in FD_SUBRANGES[letter]:
        if upper == BOUNDS[i]:
            return value
    raise KeyError((letter, BOUNDS[i]))


def half_it(grade, i):
    """+-IT/2 for JS/js.  ISO 286-1: for grades 7 to 11 an odd IT value (in
    micrometres) is replaced by the even value immediately below, so the
    deviations are whole micrometres; other grades keep the exact half."""
    t = IT[grade][i]
    if 7 <= grade <= 11 and t % 2 == 1:
        t -= 1
    return Decimal(t) / 2


def expected(cls, i):
    """(upper, lower) limit deviation in micrometres for class cls, interval i."""
    letter, grade = cls.rstrip('0123456789'), int(cls.lstrip('ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz'))
    t = IT[grade][i]
    # ---- holes ----
    if letter == 'H':                       # EI = 0
        return t, 0
    if letter in ('F', 'G'):                # EI = -es of the shaft letter (general rule)
        ei_hole = -FD_SHAFT[letter.lower()][i]
        return ei_hole + t, ei_hole
    if letter == 'JS':
        h = half_it(grade, i)
        return h, -h
    if letter in ('K', 'N'):                # grades <= 8: ES = -ei + delta (special rule)
        assert grade == 7, 'only grade 7 delta is tabulated here'
        es_hole = -FD_SHAFT[letter.lower()][i] + DELTA7[i]
        return es_hole, es_hole - t
    if letter == 'P':                       # grades <= 7: ES = -ei + delta (special rule)
        assert grade == 7
        es_hole = -FD_SHAFT['p'][i] + DELTA7[i]
        return es_hole, es_hole - t
    # ---- shafts ----
    if letter == 'h':                       # es = 0
        return 0, -t
    if letter in ('f', 'g'):                # es = fundamental deviation
        es = FD_SHAFT[letter][i]
        return es, es - t
    if letter == 'js':
        h = half_it(grade, i)
        return h, -h
    if letter == 'k':
        assert 4 <= grade <= 7, 'k table above is for grades 4 to 7'
        ei = FD_SHAFT['k'][i]
        return ei + t, ei
    if letter in ('m', 'n', 'p'):
        ei = FD_SHAFT[letter][i]
        return ei + t, ei
    if letter in ('r', 's'):
        ei = ei_subrange(letter, i)
        return ei + t, ei
    raise KeyError(cls)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, '..', 'examples', 'iso286_limit_deviations.csv')
    path = sys.argv[1] if len(sys.argv) > 1 else default
    errors = []

    # Internal consistency of the rule tables themselves.
    for name, table in list(IT.items()) + list(FD_SHAFT.items()) + [('delta7', DELTA7)]:
        if len(table) != len(BOUNDS):
            errors.append(f'table {name}: {len(table)} values, expected {len(BOUNDS)}')
    for i in range(1, len(BOUNDS)):
        if DELTA7[i] != IT[7][i] - IT[6][i]:
            errors.append(f'delta7 up to {BOUNDS[i]} mm is {DELTA7[i]}, IT7-IT6 is {IT[7][i] - IT[6][i]}')

    with open(path, newline='') as fh:
        reader = csv.reader(fh)
        header = next(reader)
        rows = list(reader)

    if header[0] != 'upper_bound_mm':
        errors.append(f'first column is {header[0]!r}, expected upper_bound_mm')
    body = header[1:]
    if len(body) % 2:
        errors.append('odd number of deviation columns')
    classes = []
    for k in range(0, len(body) - 1, 2):
        up, lo = body[k], body[k + 1]
        if not (up.endswith('_upper') and lo.endswith('_lower') and up[:-6] == lo[:-6]):
            errors.append(f'columns {up!r}, {lo!r} are not a <class>_upper/<class>_lower pair')
            continue
        classes.append(up[:-6])
    if len(set(classes)) != len(classes):
        errors.append('a class appears twice')

    bounds = [r[0] for r in rows]
    if bounds != [str(b) for b in BOUNDS]:
        errors.append(f'upper_bound_mm column is {bounds}, expected {BOUNDS}')

    checked = 0
    for i, row in enumerate(rows[:len(BOUNDS)]):
        if len(row) != len(header):
            errors.append(f'row {i + 2}: {len(row)} fields, header has {len(header)}')
            continue
        for c_idx, cls in enumerate(classes):
            raw_up, raw_lo = row[1 + 2 * c_idx], row[2 + 2 * c_idx]
            try:
                got_up = Decimal(raw_up) * 1000
                got_lo = Decimal(raw_lo) * 1000
            except Exception:
                errors.append(f'{cls} up to {BOUNDS[i]} mm: not a number: {raw_up!r}, {raw_lo!r}')
                continue
            want_up, want_lo = expected(cls, i)
            if got_up != want_up or got_lo != want_lo:
                errors.append(f'{cls} up to {BOUNDS[i]} mm: csv {raw_up}/{raw_lo} mm, '
                              f'rule gives {Decimal(want_up) / 1000}/{Decimal(want_lo) / 1000} mm')
            if not got_up > got_lo:
                errors.append(f'{cls} up to {BOUNDS[i]} mm: upper {raw_up} is not above lower {raw_lo}')
            checked += 2

    if errors:
        for e in errors:
            print('FAIL', e)
        print(f'{len(errors)} problem(s); {checked} values checked in {path}')
        return 1
    print(f'OK: {len(classes)} classes x {len(BOUNDS)} size intervals = {checked} values '
          f'agree with the ISO 286-1 rules ({", ".join(classes)})')
    return 0


if __name__ == '__main__':
    sys.exit(main())
