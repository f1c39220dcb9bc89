#!/usr/bin/env bash
# A real spreadsheet between an export and an import: LibreOffice Calc, set to an English and
# then a Russian locale, opens the CSV tolcsv wrote ("," with points, ";" with decimal commas),
# keeps it as .ods with every value a number, and writes it back as CSV; the import of that
# gives the sample's bytes again. Skipped (exit 77) when LibreOffice is not installed.
#   test_spreadsheet_round_trip.sh <tolcsv program> <sample tolerance file>
set -euo pipefail
tolcsv=$1
sample=$2
soffice=$(command -v soffice || command -v libreoffice || true)
if [ -z "$soffice" ]; then
  echo "SKIP: LibreOffice is not installed (apt-get install libreoffice-calc-nogui runs this test)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home
mkdir "$HOME"
fail() {
  echo "FAIL ($1 locale): $2" >&2
  exit 1
}

read -r intervals grades < <(python3 -c '
import struct, sys
print(*struct.unpack("<ii", open(sys.argv[1], "rb").read(8)))' "$sample")

# round_trip <locale> <separator's character code> [tolcsv export option]
round_trip() {
  local locale=$1 separator=$2 option=${3:-}
  local dir=$work/$locale
  mkdir -p "$dir/profile/user" "$dir/ods" "$dir/back"
  cat >"$dir/profile/user/registrymodifications.xcu" <<XCU
<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Setup/L10N"><prop oor:name="ooSetupSystemLocale" oor:op="fuse"><value>$locale</value></prop></item>
</oor:items>
XCU
  local calc=("$soffice" "-env:UserInstallation=file://$dir/profile" --headless)
  # shellcheck disable=SC2086  # the option is one word or none
  "$tolcsv" export "$sample" "$dir/table.csv" $option || fail "$locale" "the export failed"
  # Filter options: separator, quote ("), UTF-8 (76), from line 1; on writing, the values
  # themselves rather than their shown form.
  timeout 120 "${calc[@]}" --infilter="CSV:$separator,34,76,1" --convert-to ods \
    --outdir "$dir/ods" "$dir/table.csv" >/dev/null 2>&1 || fail "$locale" "Calc could not read the CSV"
  numbers=$(python3 -c '
import sys, zipfile
print(zipfile.ZipFile(sys.argv[1]).read("content.xml").count(b"office:value-type=\"float\""))' \
    "$dir/ods/table.ods")
  expected=$((intervals * (1 + 2 * grades)))
  ((numbers == expected)) || fail "$locale" "Calc holds $numbers numbers, not $expected"
  timeout 120 "${calc[@]}" \
    --convert-to "csv:Text - txt - csv (StarCalc):$separator,34,76,1,,0,false,true,false,false,false" \
    --outdir "$dir/back" "$dir/ods/table.ods" >/dev/null 2>&1 || fail "$locale" "Calc could not write CSV"
  "$tolcsv" import "$dir/back/table.csv" "$dir/table.win" 2>/dev/null ||
    fail "$locale" "the import refused what Calc wrote: $(head -c 200 "$dir/back/table.csv")"
  cmp -s "$dir/table.win" "$sample" || fail "$locale" "the table came back with other bytes"
  echo "$locale: $numbers numbers through Calc and back, the file byte-identical"
}

round_trip en-US 44
round_trip ru-RU 59 --semicolon
echo PASS
