#!/usr/bin/env bash
# Builds the Debian package from an already built tree, unpacks it into a scratch root and
# checks that every file lands where it belongs and that the package declares its Qt needs.
#   check_deb.sh <build dir>
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  exit 1
fi
debs=("$scratch"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one .deb, got: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
root=$scratch/root
dpkg-deb -x "$deb" "$root"

for program in usr/bin/Toledit usr/bin/tolcsv; do
  [ -x "$root/$program" ] || fail "$program is missing or not executable"
done
icon=$root/usr/share/icons/hicolor/scalable/apps/toledit.svg
[ -s "$icon" ] && grep -q "<svg" "$icon" || fail "the scalable icon is missing"

desktop=$root/usr/share/applications/toledit.desktop
if [ -f "$desktop" ]; then
  grep -qx 'Name\[ru\]=Редактор файла допусков' "$desktop" || fail "no Russian name in the .desktop entry"
  grep -qx 'Exec=Toledit' "$desktop" || fail "the .desktop entry does not start Toledit"
  grep -Eq '^Categories=(.*;)?Engineering;' "$desktop" || fail "the .desktop entry is not in Engineering"
  grep -q '^Path=' "$desktop" && fail "the .desktop entry sets a working directory"
  grep -qx "Icon=$(basename "$icon" .svg)" "$desktop" || fail "the .desktop entry names another icon"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate refuses the entry"
  else
    echo "note: desktop-file-validate is not installed; the entry is not validated" >&2
  fi
else
  fail "no .desktop entry in usr/share/applications"
fi

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6; do
  grep -q "$library" <<<"$depends" || fail "Depends does not name $library: $depends"
done
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer field"
[ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "no Description field"

# The packaged tool works: an export of a tiny table through the unpacked binary.
printf 'upper_bound_mm,h7_upper,h7_lower\n10,0,-0.015\n' >"$scratch/in.csv"
"$root/usr/bin/tolcsv" import "$scratch/in.csv" "$scratch/t.win" 2>/dev/null || fail "packaged tolcsv cannot import"
[ "$("$root/usr/bin/tolcsv" export "$scratch/t.win" -)" = "$(cat "$scratch/in.csv")" ] ||
  fail "packaged tolcsv does not read back what it wrote"

[ "$failures" -eq 0 ] || exit 1
echo "$(basename "$deb"): files, menu entry, icon and dependencies in place"
