# Helpers for driving the editor on a real X display; sourced by the end-to-end tests.
#
# start_display starts a private Xvfb (the server picks a free display number, so tests can run
# side by side); start_editor runs the editor in a directory; the wait_* functions poll with a
# deadline instead of sleeping. A watchdog kills the editor and the server once the run has
# taken E2E_LIMIT seconds (60 by default, stretched as below), so a hanging editor fails the
# test quickly, and the EXIT trap removes everything the run started. Every helper reports
# through fail, which names the step that went wrong.
#
# E2E_TIME_FACTOR, a whole number (1 by default), stretches every wait and the default
# E2E_LIMIT for a build that runs the editor several times slower, such as the sanitized one.

e2e_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_TIME_FACTOR=${E2E_TIME_FACTOR:-1}
if ! [[ $E2E_TIME_FACTOR =~ ^[1-9][0-9]{0,2}$ ]]; then
  echo "E2E_TIME_FACTOR must be a whole number from 1 to 999, not \"$E2E_TIME_FACTOR\"" >&2
  exit 1
fi
E2E_LIMIT=${E2E_LIMIT:-$((60 * E2E_TIME_FACTOR))}
e2e_scratch=$(mktemp -d)
e2e_xvfb_pid=
e2e_editor_pid=
e2e_watchdog_pid=
e2e_step="start"

e2e_cleanup() {
  local pid
  for pid in "$e2e_editor_pid" "$e2e_watchdog_pid" "$e2e_xvfb_pid"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
  done
  [ -n "$e2e_xvfb_pid" ] && wait "$e2e_xvfb_pid" 2>/dev/null
  rm -rf "$e2e_scratch"
}
trap e2e_cleanup EXIT

# On a failure, E2E_ARTIFACTS (a directory) receives a picture of the screen when ImageMagick's
# import is at hand.
fail() {
  echo "FAIL ($e2e_step): $*" >&2
  if [ -n "${E2E_ARTIFACTS:-}" ] && [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
    mkdir -p "$E2E_ARTIFACTS"
    import -window root "$E2E_ARTIFACTS/$(basename "$0" .sh).png" 2>/dev/null &&
      echo "screen: $E2E_ARTIFACTS/$(basename "$0" .sh).png" >&2
  fi
  if [ -s "$e2e_scratch/editor.log" ]; then
    echo "--- editor output:" >&2
    cat "$e2e_scratch/editor.log" >&2
  fi
  exit 1
}

# Prints $1 seconds stretched by E2E_TIME_FACTOR.
stretched() { echo $(($1 * E2E_TIME_FACTOR)); }

step() {
  e2e_step=$1
  echo "step at ${SECONDS}s: $1"
}

require_tools() {
  local tool
  for tool in Xvfb xkbcomp xdotool python3; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh installs it)"
  done
}

# Copies the sample tolerance file to Zarava.win in a new folder (the argument), sets table to
# the copy and intervals and grades to the sample's counts.
copy_sample() {
  e2e_sample=$1
  mkdir "$2"
  table=$2/Zarava.win
  cp "$e2e_sample" "$table"
  read -r intervals grades < <(python3 -c '
import struct, sys
print(*struct.unpack("<ii", open(sys.argv[1], "rb").read(8)))' "$e2e_sample")
}

# Checks the copy's bytes against the sample's with the given changes; values with more than
# three decimals in the sample are saved as shown, rounded to three.
check() {
  python3 "$e2e_here/check_table.py" "$table" "$e2e_sample" --rounded "$@" ||
    fail "the file's bytes are wrong"
}

# Starts Xvfb at the given screen size and exports DISPLAY.
start_display() {
  local size=${1:-1280x800}
  require_tools
  local displayfile=$e2e_scratch/display
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$displayfile" \
    >"$e2e_scratch/xvfb.log" 2>&1 &
  e2e_xvfb_pid=$!
  local limit
  limit=$(stretched 15)
  local deadline=$((SECONDS + limit))
  until [ -s "$displayfile" ]; do
    kill -0 "$e2e_xvfb_pid" 2>/dev/null || fail "Xvfb ended: $(cat "$e2e_scratch/xvfb.log")"
    ((SECONDS < deadline)) || fail "Xvfb gave no display number within $limit s"
    sleep 0.1
  done
  export DISPLAY=:$(tr -d '\n' <"$displayfile")
  add_cyrillic_keys
}

# Puts the Cyrillic letters the tests press (a test pressing another one adds it here) on keys
# that carry nothing in the display's US keyboard map, so that they are in the map the editor
# reads at its start. A letter missing from the map is bound by xdotool to a spare key for the
# moment of the press and unbound right after; an editor that handles the press after the
# unbinding (a slow build, a busy machine) finds no letter on that key, and the press is lost.
add_cyrillic_keys() {
  xkbcomp -w 0 - "$DISPLAY" <<'KEYMAP' || fail "cannot load the keyboard map with Cyrillic keys"
xkb_keymap {
  xkb_keycodes { include "evdev+aliases(qwerty)" };
  xkb_types { include "complete" };
  xkb_compat { include "complete" };
  xkb_symbols {
    include "pc+us+inet(evdev)"
    key <FK19> { [ Cyrillic_ve, Cyrillic_VE ] };
    key <FK24> { [ Cyrillic_er, Cyrillic_ER ] };
    key <I230> { [ Cyrillic_es, Cyrillic_ES ] };
    key <I248> { [ Cyrillic_ef, Cyrillic_EF ] };
  };
  xkb_geometry { include "pc(pc105)" };
};
KEYMAP
}

# Starts the editor in directory $2 (its tolerance file is looked up there), with the further
# arguments as its command line.
start_editor() {
  local program directory=$2
  program=$(realpath "$1")
  local arguments=("${@:3}")
  mkdir -p "$e2e_scratch/runtime"
  chmod 700 "$e2e_scratch/runtime"
  (cd "$directory" && QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$e2e_scratch/runtime" \
    exec "$program" "${arguments[@]}" >"$e2e_scratch/editor.log" 2>&1) &
  e2e_editor_pid=$!
  start_watchdog
}

# Ends the editor and the server once the run has taken E2E_LIMIT seconds, which makes every
# later wait fail at once. Killed itself, it takes its timer along, so nothing outlives the run.
start_watchdog() {
  local left=$((E2E_LIMIT - SECONDS))
  ((left > 0)) || left=1
  (
    trap 'kill "$nap" 2>/dev/null; exit 0' TERM
    sleep "$left" >/dev/null &
    nap=$!
    wait "$nap"
    echo "watchdog: the run took more than $E2E_LIMIT s; ending the editor" >&2
    kill -KILL "$e2e_editor_pid" 2>/dev/null
    kill "$e2e_xvfb_pid" 2>/dev/null
  ) >/dev/null &
  e2e_watchdog_pid=$!
}

editor_running() { kill -0 "$e2e_editor_pid" 2>/dev/null; }

# The program's shown windows: its forms, message boxes and open drop-down menus. Windows are
# found by the program's window class; a drop-down's name is not always readable to xdotool.
shown_windows() { xdotool search --onlyvisible --classname '^toledit$' 2>/dev/null || true; }

# Prints the id of a shown window of the program other than the windows $2... (ids), polling for
# up to $1 seconds; returns 1 when none comes.
poll_new_window() {
  local limit=$1 id
  shift
  local deadline=$((SECONDS + limit))
  while :; do
    id=$(shown_windows | grep -vxF "$(printf '%s\n' "$@")" | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    editor_running || return 1
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# Prints the id of a shown window titled exactly $1, waiting up to $2 seconds.
wait_window() {
  local title=$1 limit=${2:-$(stretched 15)} id
  local deadline=$((SECONDS + limit))
  while :; do
    for id in $(shown_windows); do
      [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$title" ] && { echo "$id"; return 0; }
    done
    editor_running || fail "the editor ended while waiting for the window \"$title\""
    ((SECONDS < deadline)) || fail "no window \"$title\" within $limit s"
    sleep 0.1
  done
}

# Prints the id of a shown window titled exactly $1 other than window $2 (a message box with the
# main window's caption), waiting up to $3 seconds.
wait_other_window() {
  local title=$1 except=$2 limit=${3:-$(stretched 15)} id
  local deadline=$((SECONDS + limit))
  while :; do
    for id in $(shown_windows); do
      [ "$id" != "$except" ] && [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$title" ] &&
        { echo "$id"; return 0; }
    done
    editor_running || fail "the editor ended while waiting for a second window \"$title\""
    ((SECONDS < deadline)) || fail "no second window \"$title\" within $limit s"
    sleep 0.1
  done
}

# Opens a menu of window $2 by its accelerator key $1 and waits for the drop-down. The key is
# pressed again when no drop-down shows, a guard against a press lost on its way; a menu that
# never opens still fails the run.
open_menu() {
  local key=$1 window=$2 try
  for try in 1 2 3; do
    press "$key"
    poll_new_window "$(stretched 3)" "$window" >/dev/null && return 0
    editor_running || fail "the editor ended while opening a menu with $key"
  done
  fail "no drop-down menu after pressing $key three times"
}

# Waits until no visible window $1 remains.
wait_window_gone() {
  local id=$1 limit=${2:-$(stretched 15)}
  local deadline=$((SECONDS + limit))
  while shown_windows | grep -qx "$id"; do
    ((SECONDS < deadline)) || fail "window $id still shown after $limit s"
    sleep 0.1
  done
}

# Waits until the keyboard focus is in window $1 (the server reports the top-level window,
# since the toolkit keeps the focus there and routes keys to its controls itself).
wait_focus() {
  local id=$1 limit=${2:-$(stretched 15)}
  local deadline=$((SECONDS + limit))
  until [ "$(xdotool getwindowfocus 2>/dev/null)" = "$id" ]; do
    editor_running || fail "the editor ended while waiting for the focus in window $id"
    ((SECONDS < deadline)) || fail "window $id did not get the focus within $limit s"
    sleep 0.1
  done
}

# Gives window $1 the keyboard focus; no window manager runs, so the server's focus is set
# directly and the toolkit sees its window activated. Callers wait for what the activation
# brings (the focus staying there, or a message box taking it).
focus_window() {
  xdotool windowfocus "$1" || fail "cannot focus window $1"
}

# Waits for the editor to end and checks its exit status is 0.
wait_editor_exit() {
  local limit=${1:-$(stretched 15)}
  local deadline=$((SECONDS + limit))
  while editor_running; do
    ((SECONDS < deadline)) || fail "the editor did not end within $limit s"
    sleep 0.1
  done
  local status=0
  wait "$e2e_editor_pid" || status=$?
  e2e_editor_pid=
  [ "$status" -eq 0 ] || fail "the editor ended with status $status"
}

# Presses F2 (or the key $3) and waits until file $1 differs from file $2 (the save landed). The
# key is pressed again when nothing changed after a few seconds, as open_menu presses its key
# again; saving twice is harmless.
save_with_f2() {
  local file=$1 before=$2 key=${3:-F2} try deadline
  for try in 1 2 3; do
    press "$key"
    deadline=$((SECONDS + $(stretched 5)))
    while cmp -s "$file" "$before"; do
      editor_running || fail "the editor ended before $file changed"
      ((SECONDS < deadline)) || continue 2
      sleep 0.1
    done
    return 0
  done
  fail "$file did not change after $key pressed three times"
}

# Types text $1 into the focused window, key by key.
type_text() { xdotool type --delay 20 -- "$1" || fail "cannot type \"$1\""; }

# Presses the keys named by the arguments (X key names: Return, Down, alt+Cyrillic_er, ...).
press() { xdotool key --delay 30 "$@" || fail "cannot press $*"; }
