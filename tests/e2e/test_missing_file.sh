#!/usr/bin/env bash
# Started in a directory without the tolerance file, the editor shows one error box captioned
# "Ошибка" once its window is activated, ends after OK with status 0, and creates no file.
#   test_missing_file.sh <editor program>
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x_session.sh
source "$here/x_session.sh"

work=$e2e_scratch/empty
mkdir "$work"

step "start without a tolerance file"
start_display 1280x800
start_editor "$program" "$work"
main=$(wait_window "Редактор файла допусков")
focus_window "$main"

step "the error box"
box=$(wait_window "Ошибка")
wait_focus "$box"
press Return  # OK

step "the editor ends"
wait_editor_exit
[ -z "$(ls -A "$work")" ] || fail "the editor left files behind: $(ls -A "$work")"
echo "PASS: missing file reported, editor ended"
