#!/usr/bin/env bash
# One editing session on the sample table, driven on a private X display with real key presses:
# a value pair typed into a cell and saved with F2, a grade added through its dialog and saved,
# one more edit left unsaved, and Exit with its question answered No, then Yes. The file's bytes
# are checked after each save and at the end: the saved edits are in it, the unsaved one is not,
# and every other field is the sample's.
#   test_editor_session.sh <editor program> <sample tolerance file>
set -euo pipefail
program=$1
sample=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x_session.sh
source "$here/x_session.sh"

main_title="Редактор файла допусков"
dialog_title="Добавление квалитета"
work=$e2e_scratch/work
copy_sample "$sample" "$work"
((intervals >= 2 && grades >= 1)) || fail "the sample has $intervals intervals and $grades grades"
new_grade=$((grades + 1))

step "start on the sample"
start_display 1280x800
start_editor "$program" "$work"
main=$(wait_window "$main_title")
focus_window "$main"  # the first activation loads the table
wait_focus "$main"

step "type a pair into the cell of the first grade and the second interval, save with F2"
# The current cell starts at the first grade and the first interval; Down moves one row. Typing
# opens the cell editor over the old text, Enter closes it. Commas are decimal points too.
cp "$table" "$e2e_scratch/before-save"
press Down
type_text "0,025 -0,01"
press Return
save_with_f2 "$table" "$e2e_scratch/before-save"
check --intervals "$intervals" --grades "$grades" --pair 1 2 0.025 -0.01

step "add the grade d9 through the menu Редактор > Добавить квалитет"
open_menu alt+Cyrillic_er "$main"
press Down Return  # the menu opens on its first item, Редактировать допуска
dialog=$(wait_window "$dialog_title")
wait_focus "$dialog"
type_text "D9"  # the entry turns it into lower case
press Return    # on to the value cells
pairs=()
for ((row = 1; row <= intervals; row++)); do
  first="0.$row"
  second="-0.00$row"
  type_text "$first $second"
  ((row < intervals)) && press Return  # Enter steps down the value cells
  pairs+=(--pair "$new_grade" "$row" "$first" "$second")
done
press alt+Cyrillic_es  # &Сохранить: appends the column to the table
press alt+Cyrillic_ve  # &Выход: nothing unsaved in the dialog, so no question
wait_window_gone "$dialog"
wait_focus "$main"

step "save the new grade with F2"
cp "$table" "$e2e_scratch/before-save"
save_with_f2 "$table" "$e2e_scratch/before-save"
check --intervals "$intervals" --grades "$new_grade" --pair 1 2 0.025 -0.01 \
  --name "$new_grade" "d9    " "${pairs[@]}"

step "edit the first cell without saving, choose Файл > Выход, answer No"
cp "$table" "$e2e_scratch/saved"
press Up
type_text "9 9"
press Return
open_menu alt+Cyrillic_ef "$main"
press Down Return  # &Файл holds &Сохранить, then &Выход
question=$(wait_other_window "$main_title" "$main")
press n
wait_window_gone "$question"
wait_focus "$main"
editor_running || fail "the editor ended although the question was answered No"

step "Файл > Выход again, answer Yes: the editor ends without writing"
open_menu alt+Cyrillic_ef "$main"
press Down Return
question=$(wait_other_window "$main_title" "$main")
press y
wait_editor_exit
cmp -s "$table" "$e2e_scratch/saved" || fail "the unsaved edit reached the file"
check --intervals "$intervals" --grades "$new_grade" --pair 1 2 0.025 -0.01 \
  --name "$new_grade" "d9    " "${pairs[@]}"
echo "PASS: edit, F2, add grade, exit question"
