#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor on a scratch copy of the sample table,
# so that trying the editor never changes the shipped file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
scratch=${SCRATCH_DIR:-$(mktemp -d)}
cp "$root/examples/Zarava.win" "$scratch/Zarava.win"
echo "Editing $scratch/Zarava.win"
cd "$scratch"
exec "${BUILD_DIR:-$root/build}/app/Toledit"
