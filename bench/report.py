#!/usr/bin/env python3
"""Prints the benchmark figures against their baselines and targets.

Reads the JSON files that scripts/bench.sh has Google Benchmark write (median aggregates of
repeated runs) and prints one table: figure, baseline, ours, ratio or value, target, met.
"""
import json
import re
import sys
from pathlib import Path

UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def load_medians(folder):
    medians = {}
    for path in sorted(Path(folder).glob("*.json")):
        for run in json.loads(path.read_text())["benchmarks"]:
            if run.get("aggregate_name", "median") != "median" or run.get("error_occurred"):
                continue
            name = re.sub(r"/(iterations:\d+|manual_time|repeats:\d+)", "", run["run_name"])
            run["ms"] = run["real_time"] * UNIT_MS[run["time_unit"]]
            run["cpu_ms"] = run["cpu_time"] * UNIT_MS[run["time_unit"]]
            medians[name] = run
    return medians


class Table:
    def __init__(self, medians):
        self.medians = medians
        self.rows = []

    def ms(self, name):
        run = self.medians.get(name)
        return None if run is None else run["ms"]

    def cpu_ms(self, name):
        run = self.medians.get(name)
        return None if run is None else run["cpu_ms"]

    def counter(self, name, key):
        run = self.medians.get(name)
        return None if run is None else run.get(key)

    def ratio(self, label, ours, baseline, limit):
        a, b = self.ms(ours), self.ms(baseline)
        if a is None or b is None:
            self.rows.append((label, "-", "-", "missing", f"<= {limit}", "?"))
            return
        r = a / b
        cpu = self.cpu_ms(ours) / self.cpu_ms(baseline)
        self.rows.append((label, f"{b:.3f} ms", f"{a:.3f} ms", f"{r:.2f} (cpu {cpu:.2f})",
                          f"<= {limit}", "yes" if r <= limit else "NO"))

    def value(self, label, shown, value, limit, unit):
        if value is None:
            self.rows.append((label, "-", "-", "missing", f"< {limit} {unit}", "?"))
            return
        self.rows.append((label, "-", shown, "-", f"< {limit} {unit}",
                          "yes" if value < limit else "NO"))

    def info(self, label, baseline, ours, note):
        self.rows.append((label, baseline, ours, note, "-", "-"))

    def print(self):
        header = ("benchmark", "baseline", "ours", "ratio", "target", "met")
        widths = [max(len(str(row[i])) for row in self.rows + [header]) for i in range(6)]
        for row in [header] + self.rows:
            print("  ".join(str(cell).ljust(width) for cell, width in zip(row, widths)))


def per_cell_us(table, name, size, empty_name=None):
    """Microseconds per cell, less the empty table's time when given."""
    t = table.ms(f"{name}/{size}")
    if t is None:
        return None
    if empty_name is not None:
        e = table.ms(empty_name)
        if e is None:
            return None
        t -= e
    return t * 1e3 / (size * size)


def growth(table, label, name, subtract_empty):
    empty = f"{name}/0" if subtract_empty else None
    figures = {size: per_cell_us(table, name, size, empty) for size in (100, 300, 1000)}
    if None in figures.values():
        table.rows.append((label, "-", "-", "missing", "linear", "?"))
        return
    shown = " / ".join(f"{figures[s] * 1e3:.1f}" for s in (100, 300, 1000))
    # Linear growth keeps the cost per cell from the medium to the large table; a rise by half
    # or more points to work that grows faster than the cells.
    r = figures[1000] / figures[300]
    table.rows.append((label, "ns/cell 100/300/1000", shown, f"{r:.2f} (1000 vs 300)",
                       "<= 1.5", "yes" if r <= 1.5 else "NO"))


def main(folder):
    t = Table(load_medians(folder))
    t.ratio("1 CellNumberText vs to_chars(fixed,3)+string", "BM_CellNumberText",
            "BM_ToCharsFixed3", 1.0)
    t.ratio("1 CellNumberText vs to_chars into buffer", "BM_CellNumberText",
            "BM_ToCharsFixed3Buffer", 1.0)
    t.ratio("1 NumberFromText vs from_chars", "BM_NumberFromText", "BM_FromChars", 1.0)
    t.ratio("1 same, both summing their results", "BM_NumberFromTextSummed",
            "BM_FromCharsSummed", 1.0)
    t.ratio("2 LoadTable 1000x1000", "BM_LoadTable/1000", "BM_LoadBaseline/1000", 1.5)
    t.ratio("2 StoreTable vs baseline, both with fsync", "BM_StoreTable/1000",
            "BM_StoreBaselineFsync/1000", 1.5)
    t.ratio("2 StoreTable vs baseline, neither fsyncs", "BM_StoreTableNoFsync/1000",
            "BM_StoreBaseline/1000", 1.5)
    t.ratio("2 same, both replacing by rename", "BM_StoreTableNoFsync/1000",
            "BM_StoreBaselineRename/1000", 1.5)
    share = t.counter("BM_StoreTable/1000", "fsync_share")
    if share is not None:
        t.info("2 share of StoreTable in fsync", "-", f"{share * 100:.1f} %", "-")
    # The window's baselines run in the window's own program, interleaved with it.
    t.ratio("3 window start-up vs LoadTable", "BM_WindowStartup/1000", "BM_LoadTableAlone/1000",
            2.0)
    t.ratio("3 window F2 save vs StoreTable", "BM_WindowSave/1000", "BM_StoreTableAlone/1000",
            2.0)
    key = t.ms("BM_WindowKeystroke/1000")
    t.value("3 keystroke in a cell", f"{key:.3f} ms" if key else "-", key, 1.0, "ms")
    delete = t.ms("BM_WindowDeleteGrade/1000")
    after = t.counter("BM_WindowDeleteGrade/1000", "after_answer_ms")
    shown = f"{delete:.1f} ms ({after:.1f} after Yes)" if delete and after else "-"
    t.value("3 delete a middle grade", shown, delete, 300, "ms")
    paint = t.ms("BM_WindowRepaint/1000")
    label = t.medians.get("BM_WindowRepaint/1000", {}).get("label", "")
    cpu = t.cpu_ms("BM_WindowRepaint/1000")
    t.value(f"3 repaint {label}", f"{paint:.2f} ms (cpu {cpu:.2f})" if paint else "-", paint, 16,
            "ms")
    per_cell = t.counter("BM_ResidentPerCell/1000", "bytes_per_cell")
    t.value("4 resident bytes per cell", f"{per_cell:.1f} B" if per_cell else "-",
            per_cell, 64.0001, "B")
    t.ratio("6 ISO 286 fill 1000x1000 vs LoadTable", "BM_IsoFillTable",
            "BM_IsoLoadTableBaseline", 1.0)
    # The window's clipboard commands and their undo, against LoadTable in the same program.
    for label, name in (("7 Ctrl+C of the whole table vs LoadTable", "BM_CopyWholeTable"),
                        ("7 Ctrl+V of a 1000x1000 block vs LoadTable", "BM_PasteAndUndo/0"),
                        ("7 undo of that paste vs LoadTable", "BM_PasteAndUndo/1")):
        t.ratio(label, name, "BM_LoadTableBaseline", 2.0)
    undo = t.ms("BM_UndoOneCell")
    t.value("7 undo of one cell edit", f"{undo:.4f} ms" if undo else "-", undo, 1.0, "ms")
    held = t.counter("BM_PasteUndoResident", "undo_MB")
    if held is not None:
        t.info("7 resident cost of undoing a full paste", "-", f"{held:.1f} MB", "-")
    for label, name, subtract in (("5 LoadTable", "BM_LoadTable", False),
                                  ("5 StoreTable", "BM_StoreTable", False),
                                  ("5 StoreTable without fsync", "BM_StoreTableNoFsync", False),
                                  ("5 window start-up less empty", "BM_WindowStartup", True),
                                  ("5 window save less empty", "BM_WindowSave", True),
                                  ("5 delete a grade", "BM_WindowDeleteGrade", False)):
        growth(t, label, name, subtract)
    for name in ("BM_WindowKeystroke", "BM_WindowRepaint"):
        shown = " / ".join(f"{t.ms(f'{name}/{s}') or 0:.3f}" for s in (100, 300, 1000))
        t.info(f"5 {name[3:]} ms at 100/300/1000", "-", shown, "-")
    tolerance_views(t)
    window_shapes(t)
    t.print()


def tolerance_views(t):
    """The status bar, zone panel, rounded-value record and printing on 1000 x 1000."""
    t.ratio("6 load with the rounded-cell sink", "BM_LoadWithRoundedSink/sink:1",
            "BM_LoadWithRoundedSink/sink:0", 1.1)
    for width in (0, 1600):
        name = f"BM_PanelRepaint/width:{width}"
        paint = t.ms(name)
        label = t.medians.get(name, {}).get("label", "")
        t.value(f"6 zone panel repaint, {label}", f"{paint:.3f} ms" if paint else "-", paint, 16,
                "ms")
    t.ratio("6 grid repaint, every cell marked", "BM_GridRepaintMarked/rounding:1",
            "BM_GridRepaintMarked/rounding:0", 1.5)
    for name, limit in (("BM_MoveCurrentCellWithPanel", 2.0), ("BM_KeystrokeWithPanel", 1.0)):
        ours, base = t.ms(f"{name}/panel:1"), t.ms(f"{name}/panel:0")
        shown = f"{ours:.3f} ms" if ours else "-"
        t.rows.append((f"6 {name[3:]}", f"{base:.3f} ms" if base else "-", shown, "-",
                       f"< {limit} ms", "?" if ours is None else ("yes" if ours < limit else "NO")))
    plain = t.counter("BM_RoundedValuesRecord/rounding:0", "bytes_per_cell")
    t.rows.append(("6 record bytes per cell, whole thousandths", "-",
                   "-" if plain is None else f"{plain:.3f} B", "-", "0 B",
                   "?" if plain is None else ("yes" if plain == 0 else "NO")))
    marked = t.counter("BM_RoundedValuesRecord/rounding:1", "bytes_per_marked_cell")
    t.value("6 record bytes per marked cell", "-" if marked is None else f"{marked:.2f} B", marked,
            24.0001, "B")
    pdf = t.ms("BM_PrintToPdf")
    size = t.counter("BM_PrintToPdf", "file_MB")
    pages = t.counter("BM_PrintToPdf", "pages")
    t.info("6 print 1000x1000 to PDF", "-",
           f"{pdf / 1e3:.1f} s, {size:.1f} MB, {pages:.0f} pages" if pdf and size else "-", "-")


def window_shapes(t):
    """The window on one interval of 1,000,000 grades and on 1,000,000 intervals of one grade."""
    for shape in ("1/1000000", "1000000/1"):
        t.ratio(f"8 window start-up {shape.replace('/', ' x ')} vs LoadTable",
                f"BM_ShapeStartup/{shape}", f"BM_ShapeLoadTableAlone/{shape}", 2.0)
    for label, name in (("8 delete a grade of 1 x 1000000", "BM_WideDeleteGrade"),
                        ("8 add a grade to 1 x 1000000", "BM_WideAddGrade"),
                        ("8 repaint of 1 x 1000000", "BM_WideRepaint")):
        ms = t.ms(name)
        t.info(label, "-", f"{ms:.2f} ms" if ms else "-", "-")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else ".")
