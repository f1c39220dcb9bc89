#!/usr/bin/env bash
# Runs the same benchmark programs from two Release builds (an older and a newer one) side by
# side and prints, per benchmark, the median wall and CPU time (and each counter) of both, with
# the newer-to-older ratio. The two builds' runs alternate, the order swapped every round, so a
# load that comes and goes on the machine lands on both alike.
#   scripts/bench-compare.sh OLD_BUILD NEW_BUILD [program ...] [-- benchmark options]
# Programs default to the four that both builds of the last comparison had. ROUNDS (3) rounds of
# BENCH_REPETITIONS (3) repetitions each; the medians are taken over all of them. A benchmark
# only one build has is listed with "-" on the other side.
set -euo pipefail
(($# >= 2)) || {
  sed -n '2,8p' "$0" >&2
  exit 2
}
declare -A build=([old]=$1 [new]=$2)
shift 2
programs=()
while (($#)) && [ "$1" != "--" ]; do
  programs+=("$1")
  shift
done
[ "${1:-}" = "--" ] && shift
((${#programs[@]})) || programs=(bench_number_text bench_table_file bench_main_window
  bench_window_memory)
rounds=${ROUNDS:-3}
repetitions=${BENCH_REPETITIONS:-3}
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

for program in "${programs[@]}"; do
  for side in old new; do
    [ -x "${build[$side]}/bench/$program" ] || {
      echo "no $program in ${build[$side]}/bench" >&2
      exit 1
    }
  done
done
echo "Load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((round = 1; round <= rounds; ++round)); do
  sides=(old new)
  ((round % 2)) || sides=(new old)
  for program in "${programs[@]}"; do
    for side in "${sides[@]}"; do
      sync  # the file benchmarks' write-back is not left to slow down the next run
      "${build[$side]}/bench/$program" --benchmark_repetitions="$repetitions" \
        --benchmark_out="$results/$side.$program.$round.json" --benchmark_out_format=json \
        "$@" >/dev/null 2>"$results/errors" || {
        cat "$results/errors" >&2
        exit 1
      }
    done
  done
done
echo "Load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

python3 - "$results" <<'EOF'
import json, re, statistics, sys
from collections import defaultdict
from pathlib import Path

UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
figures = {"old": defaultdict(lambda: defaultdict(list)), "new": defaultdict(lambda: defaultdict(list))}
order = []
for path in sorted(Path(sys.argv[1]).glob("*.json")):
    side = path.name.split(".")[0]
    for run in json.loads(path.read_text())["benchmarks"]:
        if run.get("run_type") != "iteration" or run.get("error_occurred"):
            continue
        name = re.sub(r"/(iterations:\d+|manual_time|repeats:\d+)", "", run["run_name"])
        if name not in order:
            order.append(name)
        unit = UNIT_MS[run["time_unit"]]
        figures[side][name]["wall ms"].append(run["real_time"] * unit)
        figures[side][name]["cpu ms"].append(run["cpu_time"] * unit)
        known = {"name", "family_index", "per_family_instance_index", "run_name", "run_type",
                 "repetitions", "repetition_index", "threads", "iterations", "real_time",
                 "cpu_time", "time_unit", "label"}
        for key, value in run.items():
            if key not in known and isinstance(value, (int, float)):
                figures[side][name][key].append(value)

def show(value):
    if value is None:
        return "-"
    return f"{value:.4g}"

print(f"{'benchmark':44} {'figure':20} {'before':>10} {'after':>10} {'ratio':>7}  runs")
for name in order:
    keys = list(dict.fromkeys(list(figures["old"][name]) + list(figures["new"][name])))
    for key in keys:
        before = figures["old"][name].get(key)
        after = figures["new"][name].get(key)
        b = statistics.median(before) if before else None
        a = statistics.median(after) if after else None
        ratio = f"{a / b:.3f}" if a is not None and b else "-"
        runs = f"{len(before or [])}/{len(after or [])}"
        print(f"{name:44} {key:20} {show(b):>10} {show(a):>10} {ratio:>7}  {runs}")
EOF
