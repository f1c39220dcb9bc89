#!/usr/bin/env bash
# Builds the project with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan (or
# $BUILD_DIR) and runs the whole test suite there. A sanitizer finding fails its test: undefined
# behaviour halts the process, and every leak is reported except those of the toolkit's and the
# system's libraries listed, each with its reason, in scripts/lsan.supp.
# Arguments go to ctest (e.g. -R test_number_text).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build-asan}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOL_SANITIZE=ON
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_invalid_pointer_pairs=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
ctest --test-dir "$BUILD_DIR" --output-on-failure -j2 "$@"
