#!/usr/bin/env python3
"""Checks a tolerance file byte by byte against a reference file and a list of expected changes.

    check_table.py <file> <reference> [--grades M] [--intervals N] [--rounded]
                   [--pair GRADE INTERVAL FIRST SECOND]... [--name GRADE TEXT]...

The file is parsed by its layout: int32 N, int32 M (little-endian), N binary64 bounds, M
six-byte Windows-1251 names, then for each grade (column 1..M) and within it each interval
(row 1..N) two binary64 values. Grades and intervals count from 1 as the grid's columns and
rows do. Every value named by --pair must be the binary64 nearest to its decimal text, bit for
bit; every name given by --name must be its six bytes. Every other bound, name and value pair
that exists in both files must equal the reference's, bit for bit, and the file must be at
least as long as its counts say and as the reference (a save never shrinks the file). With
--rounded the reference's values are taken as the editor saves them after loading: each shown
with at most three decimals, rounded half away from zero from its 18 significant digits, and
read back. Prints each difference with its offset, what was expected and what was found.
"""

import argparse
import decimal
import struct
import sys


class Table:
    def __init__(self, data):
        if len(data) < 8:
            raise ValueError(f"{len(data)} bytes, too short for the two counts")
        self.data = data
        self.n, self.m = struct.unpack_from("<ii", data, 0)
        if self.n < 0 or self.m < 0:
            raise ValueError(f"negative counts N={self.n} M={self.m}")
        self.size = 8 + 8 * self.n + 6 * self.m + 16 * self.n * self.m
        if len(data) < self.size:
            raise ValueError(f"{len(data)} bytes, but N={self.n} M={self.m} need {self.size}")

    def bound_offset(self, interval):
        return 8 + 8 * (interval - 1)

    def name_offset(self, grade):
        return 8 + 8 * self.n + 6 * (grade - 1)

    def pair_offset(self, grade, interval):
        return 8 + 8 * self.n + 6 * self.m + 16 * (self.n * (grade - 1) + (interval - 1))

    def bound(self, interval):
        return self.data[self.bound_offset(interval):][:8]

    def name(self, grade):
        return self.data[self.name_offset(grade):][:6]

    def pair(self, grade, interval):
        return self.data[self.pair_offset(grade, interval):][:16]


def binary64(text):
    return struct.pack("<d", float(text))


def rounded_value(raw):
    """The binary64 of a value's cell text: 18 significant digits, then three decimals."""
    value = decimal.Decimal(struct.unpack("<d", raw)[0])
    if value == 0:
        return struct.pack("<d", 0.0)
    context = decimal.Context(prec=18, rounding=decimal.ROUND_HALF_EVEN)
    digits = context.plus(value)
    shown = digits.quantize(decimal.Decimal("0.001"), rounding=decimal.ROUND_HALF_UP)
    return struct.pack("<d", float(shown) if shown != 0 else 0.0)


def rounded_pair(raw):
    return rounded_value(raw[:8]) + rounded_value(raw[8:])


def show_pair(raw):
    first, second = struct.unpack("<dd", raw)
    return f"{first!r} {second!r} ({raw.hex()})"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("file")
    parser.add_argument("reference")
    parser.add_argument("--grades", type=int)
    parser.add_argument("--intervals", type=int)
    parser.add_argument("--rounded", action="store_true")
    parser.add_argument("--pair", nargs=4, action="append", default=[],
                        metavar=("GRADE", "INTERVAL", "FIRST", "SECOND"))
    parser.add_argument("--name", nargs=2, action="append", default=[], metavar=("GRADE", "TEXT"))
    args = parser.parse_args()

    with open(args.file, "rb") as f:
        data = f.read()
    with open(args.reference, "rb") as f:
        reference_data = f.read()
    try:
        table = Table(data)
        reference = Table(reference_data)
    except ValueError as error:
        print(f"FAIL: {error}", file=sys.stderr)
        return 1

    failures = []
    if args.intervals is not None and table.n != args.intervals:
        failures.append(f"offset 0: interval count {table.n}, expected {args.intervals}")
    if args.grades is not None and table.m != args.grades:
        failures.append(f"offset 4: grade count {table.m}, expected {args.grades}")
    if len(data) < len(reference_data):
        failures.append(f"the file shrank from {len(reference_data)} to {len(data)} bytes")
    if failures:  # the offsets below depend on the counts
        print("\n".join("FAIL: " + f for f in failures), file=sys.stderr)
        return 1

    expected_pairs = {}
    for grade, interval, first, second in args.pair:
        expected_pairs[(int(grade), int(interval))] = binary64(first) + binary64(second)
    expected_names = {}
    for grade, text in args.name:
        encoded = text.encode("cp1251")
        if len(encoded) != 6:
            print(f"FAIL: --name {text!r} is not six bytes", file=sys.stderr)
            return 2
        expected_names[int(grade)] = encoded

    for interval in range(1, table.n + 1):
        if interval <= reference.n and table.bound(interval) != reference.bound(interval):
            failures.append(f"offset {table.bound_offset(interval)}: bound {interval} is "
                            f"{table.bound(interval).hex()}, expected {reference.bound(interval).hex()}")
    for grade in range(1, table.m + 1):
        expected = expected_names.get(grade, reference.name(grade) if grade <= reference.m else None)
        if expected is not None and table.name(grade) != expected:
            failures.append(f"offset {table.name_offset(grade)}: name of grade {grade} is "
                            f"{table.name(grade)!r}, expected {expected!r}")
        for interval in range(1, table.n + 1):
            expected = expected_pairs.get((grade, interval))
            if expected is None and grade <= reference.m and interval <= reference.n:
                expected = reference.pair(grade, interval)
                if args.rounded:
                    expected = rounded_pair(expected)
            if expected is not None and table.pair(grade, interval) != expected:
                failures.append(f"offset {table.pair_offset(grade, interval)}: pair ({grade}, "
                                f"{interval}) is {show_pair(table.pair(grade, interval))}, "
                                f"expected {show_pair(expected)}")
    for grade, interval in expected_pairs:
        if not (1 <= grade <= table.m and 1 <= interval <= table.n):
            failures.append(f"pair ({grade}, {interval}) is outside the {table.m} x {table.n} table")
    for grade in expected_names:
        if not 1 <= grade <= table.m:
            failures.append(f"name of grade {grade} is outside the table's {table.m} grades")

    if failures:
        print("\n".join("FAIL: " + f for f in failures), file=sys.stderr)
        return 1
    print(f"{args.file}: N={table.n} M={table.m}, {len(data)} bytes, as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
