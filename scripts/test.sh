#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
# CI builds treat warnings as errors; a user's build keeps them as warnings.
options=()
[ "${CI:-}" = true ] && options+=(-DTOL_WERROR=ON)
"$root/scripts/build.sh" "${options[@]}" "$@"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-$root/build}" --output-on-failure -j2
