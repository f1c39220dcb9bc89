#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench/ or $BUILD_DIR), runs them all with repetitions
# ($BENCH_REPETITIONS, 5 by default) and prints every figure against its baseline and target.
# Further arguments go to every benchmark program, e.g. --benchmark_filter=Load.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
repetitions=${BENCH_REPETITIONS:-5}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target bench_number_text bench_table_file bench_main_window \
  bench_window_memory bench_iso286 bench_first_paint_minimal bench_first_paint_same_shape bench_tolerance_views \
  bench_spreadsheet bench_window_shapes Toledit
results="$build/bench-results"
rm -rf "$results"
mkdir -p "$results"
echo "Load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
for program in bench_number_text bench_table_file bench_main_window bench_window_memory \
  bench_iso286 bench_tolerance_views bench_spreadsheet bench_window_shapes; do
  # The file benchmarks leave hundreds of megabytes to be written out; flushed first, that
  # write-back does not run beside the next program and slow it down.
  sync
  runs=$repetitions
  [ "$program" = bench_window_memory ] && runs=3
  [ "$program" = bench_tolerance_views ] && runs=3
  [ "$program" = bench_window_shapes ] && runs=3
  "$build/bench/$program" --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
    --benchmark_enable_random_interleaving=true \
    --benchmark_out="$results/$program.json" --benchmark_out_format=json "$@"
done
echo "Load average after the run: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 "$root/bench/report.py" "$results"
echo "Start-up to the first painted frame:"
python3 "$root/bench/first_paint.py" "$build/app/Toledit" "$build/bench/bench_first_paint_minimal" \
  "$root/examples/Zarava.win" 20 "$build/bench/bench_first_paint_same_shape"
