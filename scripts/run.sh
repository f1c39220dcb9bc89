#!/usr/bin/env bash
# Installs what is missing, builds the editor alone (no tests or benchmarks), and starts it on a
# scratch copy of the sample table, so that trying the editor never changes the shipped file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target Toledit
scratch=${SCRATCH_DIR:-$(mktemp -d)}
cp "$root/examples/Zarava.win" "$scratch/Zarava.win"
echo "Editing $scratch/Zarava.win"
cd "$scratch"
exec "$build/app/Toledit"
