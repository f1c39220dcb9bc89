#!/usr/bin/env python3
"""Start-up to the first painted frame: the editor on the sample table against a minimal Qt
Widgets program, run alternately in one session on the offscreen platform with the same fonts.

Each run is timed from just before exec to the frame the program reports (the first paint of
the loaded, width-fitted grid; the minimal program's window), both on CLOCK_MONOTONIC, and
its resident memory is taken at that frame.
  first_paint.py <Toledit> <minimal program> <sample Zarava.win> [runs]
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
    done = subprocess.run(command, cwd=cwd, env=env, capture_output=True, text=True, timeout=60)
    words = [line.split() for line in done.stdout.splitlines() if line.startswith("first-paint")]
    if done.returncode != 0 or not words:
        sys.exit(f"{command[0]} gave no first-paint line (exit {done.returncode}): {done.stderr}")
    painted_ns, rss_kb = int(words[0][1]), int(words[0][2])
    return (painted_ns - start) / 1e6, rss_kb


def main():
    editor, minimal, sample = sys.argv[1:4]
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 20
    with tempfile.TemporaryDirectory() as work:
        shutil.copy(sample, os.path.join(work, "Zarava.win"))
        programs = {"editor on the sample": [editor], "minimal Qt Widgets": [minimal]}
        for command in programs.values():  # once each untimed: libraries and fonts in the cache
            one_run(command, work)
        results = {name: [] for name in programs}
        for _ in range(runs):
            for name, command in programs.items():
                results[name].append(one_run(command, work))
    medians = {}
    print(f"{'program':24} {'median ms':>10} {'min ms':>8} {'max ms':>8} {'RSS MiB':>8}")
    for name, samples in results.items():
        times = [t for t, _ in samples]
        rss = statistics.median(r for _, r in samples) / 1024
        medians[name] = statistics.median(times)
        print(f"{name:24} {medians[name]:10.1f} {min(times):8.1f} {max(times):8.1f} {rss:8.1f}")
    ratio = medians["editor on the sample"] / medians["minimal Qt Widgets"]
    verdict = "met" if ratio <= TARGET_RATIO else "NOT met"
    print(f"ratio of medians {ratio:.2f} (target <= {TARGET_RATIO}: {verdict}), {runs} runs each")


if __name__ == "__main__":
    main()
