#!/usr/bin/env bash
# Builds the fuzz targets with clang into <build dir> and runs each on the committed seed
# corpus for <seconds> (default 12). New inputs go to <build dir>/corpus/<target>, never into
# the source tree; a crashing input is saved in <build dir>/artifacts and fails the run.
# Exits 77 (a skip for CTest) when clang or libFuzzer's runtime is missing.
# Extra arguments go to every fuzzer, e.g. -runs=10000000 for a long run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: run-fuzzers.sh <build dir> [seconds] [libFuzzer flags...]}
seconds=${2:-12}
shift $(( $# >= 2 ? 2 : 1 ))

compiler=$(command -v clang++ || command -v clang++-14 || true)
if [ -z "$compiler" ]; then
  echo "clang++ not found: fuzz targets skipped"
  exit 77
fi
runtime="$("$compiler" -print-resource-dir)/lib/linux/libclang_rt.fuzzer-x86_64.a"
if [ ! -f "$runtime" ]; then
  echo "libFuzzer runtime not found ($runtime): fuzz targets skipped"
  exit 77
fi

CXX=$compiler cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 >/dev/null

mkdir -p "$build/artifacts"
status=0
for target in load_table number_parser number_forms cell_words; do
  mkdir -p "$build/corpus/$target"
  echo "== $target"
  if ! "$build/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$target-" "$@" \
      "$build/corpus/$target" "$here/corpus/$target" >"$build/$target.log" 2>&1; then
    status=1
    grep -E -A3 "invariant broken|ERROR|runtime error|terminate called" "$build/$target.log" | head -20 || true
  fi
  grep -E "^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)|DONE" "$build/$target.log" || true
done
exit $status
