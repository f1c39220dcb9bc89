#!/usr/bin/env bash
# Takes docs/screenshot.png: the editor on the sample table on a private 1280x800 Xvfb screen,
# captured with ImageMagick's import. No window manager runs, so the window is given the whole
# screen the way maximizing would, and it shows without a title bar.
#   scripts/screenshot.sh [editor program] [output.png]
#
# Installs what it needs (xvfb, xdotool, imagemagick, fonts-liberation) with apt-get, as root
# or through sudo.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/app/Toledit}")
output=$(realpath -m "${2:-$root/docs/screenshot.png}")
[ -x "$program" ] || { echo "no editor at $program; build it first (scripts/build.sh)" >&2; exit 1; }
"$root/scripts/install-deps.sh" imagemagick fonts-liberation

scratch=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

# Polls (0.1 s steps, at most $1 seconds) until the command in the other arguments succeeds.
wait_for() {
  local limit=$1
  shift
  local deadline=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || { echo "timed out waiting for: $*" >&2; cat "$scratch/editor.log" >&2; exit 1; }
    sleep 0.1
  done
}

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
pids+=($!)
wait_for 15 test -s "$scratch/display"
export DISPLAY=:$(tr -d '\n' <"$scratch/display")

mkdir -p "$scratch/work" "$scratch/runtime"
chmod 700 "$scratch/runtime"
cp "$root/examples/Zarava.win" "$scratch/work/"
# Russian number forms: the decimal separator of the regional settings is the comma.
(cd "$scratch/work" && exec env LC_NUMERIC=ru_RU.UTF-8 \
  QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$scratch/runtime" "$program" >"$scratch/editor.log" 2>&1) &
pids+=($!)

# The main window: found by the program's window class and told by its caption, which xdotool
# reads reliably with getwindowname (its search by a Cyrillic name is not).
main_window() {
  local id
  for id in $(xdotool search --onlyvisible --classname '^toledit$' 2>/dev/null); do
    [ "$(xdotool getwindowname "$id")" = "Редактор файла допусков" ] && { echo "$id"; return 0; }
  done
  return 1
}
wait_for 15 main_window
window=$(main_window)
xdotool windowmove --sync "$window" 0 0 windowsize --sync "$window" 1280 800
# The focus activates the window, which loads the table.
xdotool windowfocus --sync "$window"
# A moment for the loaded table to be painted.
sleep 1
mkdir -p "$(dirname "$output")"
import -window root "$output"
echo "wrote $output"
