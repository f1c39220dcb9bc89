#!/usr/bin/env python3
"""Start-up to the first painted frame: the editor on the sample table against a minimal Qt
Widgets program, run alternately in one session on the offscreen platform with the same fonts.

Each run is timed from just before exec to the frame the program reports (the first paint of
the loaded, width-fitted grid; the minimal program's window), both on CLOCK_MONOTONIC, and
its resident memory is taken at that frame. The processor time of the whole process (user and
system) is given beside it: on a machine busy with other work it varies less than the wall
time.
A plain Qt window of the editor's shape (menus, buttons, a table of the sample's size, a
status bar), when given, runs beside them: what Qt itself takes to show such a window.
  first_paint.py <Toledit> <minimal program> <sample Zarava.win> [runs] [same-shape program]
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

TARGET_RATIO = 1.3


def one_run(command, cwd):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", TOL_FIRST_PAINT_REPORT="1")
    start = time.monotonic_ns()
    child = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, text=True)
    out = child.stdout.read()
    _, status, usage = os.wait4(child.pid, 0)
    child.returncode = os.waitstatus_to_exitcode(status)
    words = [line.split() for line in out.splitlines() if line.startswith("first-paint")]
    if child.returncode != 0 or not words:
        sys.exit(f"{command[0]} gave no first-paint line (exit {child.returncode})")
    painted_ns, rss_kb = int(words[0][1]), int(words[0][2])
    return (painted_ns - start) / 1e6, rss_kb, (usage.ru_utime + usage.ru_stime) * 1e3


def main():
    editor, minimal, sample = (os.path.abspath(path) for path in sys.argv[1:4])
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 20
    same_shape = os.path.abspath(sys.argv[5]) if len(sys.argv) > 5 else None
    with tempfile.TemporaryDirectory() as work:
        shutil.copy(sample, os.path.join(work, "Zarava.win"))
        programs = {"editor on the sample": [editor], "minimal Qt Widgets": [minimal]}
        if same_shape:
            programs["Qt window of its shape"] = [same_shape]
        for command in programs.values():  # once each untimed: libraries and fonts in the cache
            one_run(command, work)
        results = {name: [] for name in programs}
        for _ in range(runs):
            for name, command in programs.items():
                results[name].append(one_run(command, work))
    medians, cpu = {}, {}
    print(f"{'program':22} {'median ms':>9} {'min ms':>7} {'max ms':>7} {'CPU ms':>7} {'RSS MiB':>8}")
    for name, samples in results.items():
        times = [t for t, _, _ in samples]
        rss = statistics.median(r for _, r, _ in samples) / 1024
        medians[name] = statistics.median(times)
        cpu[name] = statistics.median(c for _, _, c in samples)
        print(f"{name:22} {medians[name]:9.1f} {min(times):7.1f} {max(times):7.1f} "
              f"{cpu[name]:7.1f} {rss:8.1f}")
    editor, minimal = "editor on the sample", "minimal Qt Widgets"
    ratio = medians[editor] / medians[minimal]
    verdict = "met" if ratio <= TARGET_RATIO else "NOT met"
    print(f"ratio of median times {ratio:.2f} (target <= {TARGET_RATIO}: {verdict}); "
          f"of CPU times {cpu[editor] / cpu[minimal]:.2f}; {runs} runs each, "
          f"load average {os.getloadavg()[0]:.1f}")
    if same_shape:
        shape = "Qt window of its shape"
        print(f"editor against the Qt window of its shape: {medians[editor] / medians[shape]:.2f} "
              f"(CPU {cpu[editor] / cpu[shape]:.2f}); that window against the minimal program: "
              f"{medians[shape] / medians[minimal]:.2f}")


if __name__ == "__main__":
    main()
