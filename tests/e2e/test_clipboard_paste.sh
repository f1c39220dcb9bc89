#!/usr/bin/env bash
# The clipboard between the editor and another X client (xclip standing in for a spreadsheet):
# a block of four numbers a row, as a spreadsheet in a Russian locale copies two grades, is put
# on the clipboard, pasted with Ctrl+V at the first value cell and saved with F2; the file's
# bytes hold the pasted pairs and the sample's other values. Then Ctrl+A, Ctrl+C hands the
# whole table, labels included, to the other client.
#   test_clipboard_paste.sh <editor program> <sample tolerance file>
set -euo pipefail
program=$1
sample=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x_session.sh
source "$here/x_session.sh"
command -v xclip >/dev/null || fail "xclip is not installed (scripts/install-deps.sh installs it)"

main_title="Редактор файла допусков"
work=$e2e_scratch/work
copy_sample "$sample" "$work"
((intervals >= 2 && grades >= 2)) || fail "the sample has $intervals intervals and $grades grades"

step "start on the sample"
start_display 1280x800
start_editor "$program" "$work"
main=$(wait_window "$main_title")
focus_window "$main"
wait_focus "$main"

step "another client owns the clipboard with a spreadsheet block"
# In the foreground (-quiet) xclip keeps its own process id; it ends when the editor takes the
# clipboard over, or with the display.
printf '0,025\t-0,01\t0,03\t-0,02\r\n0,04\t0\t1,5\t-1,5\r\n' |
  xclip -selection clipboard -in -quiet >/dev/null 2>&1 &
xclip_pid=$!
deadline=$((SECONDS + $(stretched 5)))
until [[ $(xclip -selection clipboard -out 2>/dev/null || true) == 0,025* ]]; do
  ((SECONDS < deadline)) || fail "xclip does not hold the clipboard"
  sleep 0.1
done

step "Ctrl+V at the first value cell, then F2"
cp "$table" "$e2e_scratch/before-save"
press ctrl+v
save_with_f2 "$table" "$e2e_scratch/before-save"
check --intervals "$intervals" --grades "$grades" \
  --pair 1 1 0.025 -0.01 --pair 2 1 0.03 -0.02 --pair 1 2 0.04 0 --pair 2 2 1.5 -1.5

step "Ctrl+A, Ctrl+C: the other client reads the table with its labels"
press ctrl+a ctrl+c
copied=""
deadline=$((SECONDS + $(stretched 5)))
until [[ $copied == *"До "* ]]; do
  ((SECONDS < deadline)) || fail "the clipboard holds no copy of the table: \"${copied:0:80}\""
  sleep 0.1
  copied=$(timeout 5 xclip -selection clipboard -out 2>/dev/null || true)
done
header=${copied%%$'\n'*}
[[ $header == "     мм  "$'\t'* ]] || fail "the copy starts with \"${header:0:40}\", not the corner label"
rows=$(printf '%s\n' "$copied" | wc -l)
((rows == intervals + 1)) || fail "the copy has $rows rows, not $((intervals + 1))"
second=$(printf '%s\n' "$copied" | sed -n 2p)
[[ $second == *$'\t'"0"[.,]"025 -0"[.,]"01"$'\t'"0"[.,]"03 -0"[.,]"02"$'\t'* ]] ||
  fail "the first interval's row reads \"${second:0:80}\""
kill "$xclip_pid" 2>/dev/null || true  # gone already once the editor owns the clipboard
echo "PASS: paste from another client, F2, copy to another client"
