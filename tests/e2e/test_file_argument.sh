#!/usr/bin/env bash
# Started from another folder on DIR/Zarava.win, the editor loads that file, saves an edit into
# it with Ctrl+S and ends with Ctrl+Q; the folder it was started in stays empty. The window has
# the class the menu entry names (StartupWMClass) and an icon.
#   test_file_argument.sh <editor program> <sample tolerance file>
set -euo pipefail
program=$1
sample=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x_session.sh
source "$here/x_session.sh"

tables=$e2e_scratch/tables
elsewhere=$e2e_scratch/elsewhere
mkdir "$elsewhere"
copy_sample "$sample" "$tables"

step "start in another folder on DIR/Zarava.win"
start_display 1280x800
start_editor "$program" "$elsewhere" "$table"
main=$(wait_window "Zarava.win — Редактор файла допусков")
focus_window "$main"
wait_focus "$main"

step "the window carries the menu entry's window class and an icon"
xprop -id "$main" WM_CLASS | grep -q '"Toledit"$' || fail "WM_CLASS is not Toledit: $(xprop -id "$main" WM_CLASS)"
# Read whole before matching: grep -q would stop reading the large icon property early, and
# under pipefail xprop's broken pipe would count as a failure.
icon=$(xprop -id "$main" _NET_WM_ICON)
grep -q 'Icon (' <<<"$icon" || fail "the window has no icon"

step "type a pair into the first cell, save with Ctrl+S"
cp "$table" "$e2e_scratch/before-save"
type_text "0,5 -0,25"
press Return
save_with_f2 "$table" "$e2e_scratch/before-save" ctrl+s
check --intervals "$intervals" --grades "$grades" --pair 1 1 0.5 -0.25

step "end with Ctrl+Q: nothing unsaved, no question"
press ctrl+q
wait_editor_exit
[ -z "$(ls -A "$elsewhere")" ] || fail "the editor left files in its folder: $(ls -A "$elsewhere")"
[ "$(ls -A "$tables")" = "Zarava.win" ] || fail "files beside the table: $(ls -A "$tables")"
echo "PASS: DIR/Zarava.win from another folder, Ctrl+S, Ctrl+Q"
