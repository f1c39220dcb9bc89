#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy at the root, tests/.clang-tidy for the test slots) over every
# C++ source of the build in build/ (or $BUILD_DIR), with its compile_commands.json. Generated
# files (moc output) are not checked. Exits non-zero when a check reports anything.
#   scripts/lint.sh [source regex]      e.g. scripts/lint.sh 'toolkit/'
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
[ -f "$build/compile_commands.json" ] || "$root/scripts/build.sh"
filter=${1:-}
sources="^$root/(app|data|toolkit|ui|tools|tests|bench|scripts)/(?!.*_autogen).*${filter}.*\\.cpp\$"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# -Wno-error: a CI build's -Werror would make clang's own warnings, which are not this check's
# business (the compiler's are, in the build), into errors.
run-clang-tidy -p "$build" -j 2 -quiet -extra-arg=-Wno-error "$sources" >"$log" 2>&1 || true
# Findings in our own files only: the generated moc files under the build tree are not ours.
if grep -E '^/.*: (warning|error):' "$log" | grep -v "^$build/" | sort -u | grep .; then
  echo "clang-tidy reported the findings above" >&2
  exit 1
fi
echo "clang-tidy: no findings"
