#!/usr/bin/env bash
# Builds the Debian package from an already built tree, unpacks it into a scratch root and
# checks that every file lands where it belongs, that the package declares its needs, and that
# lintian, desktop-file-validate and appstreamcli find no error in it.
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
share=$root/usr/share
icon=$share/icons/hicolor/scalable/apps/toledit.svg
[ -s "$icon" ] && grep -q "<svg" "$icon" || fail "the scalable icon is missing"
for size in 16 22 24 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/toledit.png
  file "$png" | grep -q "PNG image data, $size x $size" || fail "no ${size}x${size} PNG icon"
done

desktop=$share/applications/toledit.desktop
if [ -f "$desktop" ]; then
  grep -qx 'Name\[ru\]=Редактор файла допусков' "$desktop" || fail "no Russian name in the .desktop entry"
  grep -qx 'Exec=Toledit --choose-file %f' "$desktop" || fail "the .desktop entry does not start Toledit on a file"
  grep -Eq '^Categories=(.*;)?Engineering;' "$desktop" || fail "the .desktop entry is not in Engineering"
  grep -q '^Path=' "$desktop" && fail "the .desktop entry sets a working directory"
  grep -qx "Icon=$(basename "$icon" .svg)" "$desktop" || fail "the .desktop entry names another icon"
  grep -qx 'MimeType=application/x-toledit-tolerances;' "$desktop" || fail "the .desktop entry names no MIME type"
  grep -qx 'StartupWMClass=Toledit' "$desktop" || fail "the .desktop entry names no window class"
  desktop-file-validate "$desktop" || fail "desktop-file-validate refuses the entry"
else
  fail "no .desktop entry in usr/share/applications"
fi

mime=$share/mime/packages/toledit.xml
grep -q '<mime-type type="application/x-toledit-tolerances">' "$mime" &&
  grep -q '<glob pattern="Zarava.win"' "$mime" || fail "no MIME type with the glob Zarava.win"

metainfo=$share/metainfo/net.toledit.toledit.metainfo.xml
if [ -f "$metainfo" ]; then
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli refuses the metainfo file"
  grep -q "<release version=\"$(dpkg-deb -f "$deb" Version)\"" "$metainfo" ||
    fail "the metainfo file names another release than the package"
else
  fail "no AppStream metainfo file"
fi

for page in Toledit tolcsv; do
  gzip -t "$share/man/man1/$page.1.gz" 2>/dev/null || fail "no manual page for $page"
done
doc=$share/doc/toledit
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$doc/copyright" ||
  fail "no machine-readable copyright file"
zcat "$doc/changelog.gz" 2>/dev/null | head -1 | grep -q "^toledit ($(dpkg-deb -f "$deb" Version))" ||
  fail "no Debian changelog for this version"

# Errors and warnings fail; informational and pedantic notes are shown.
lintian --pedantic --no-tag-display-limit "$deb" >"$scratch/lintian.log" 2>&1 || true
cat "$scratch/lintian.log"
if grep -Eq '^[EW]: ' "$scratch/lintian.log"; then
  fail "lintian reports errors or warnings"
fi

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 qt6-translations-l10n; do
  grep -q "$library" <<<"$depends" || fail "Depends does not name $library: $depends"
done
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer field"
[ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "no Description field"

# The packaged tool works: an export of a tiny table through the unpacked binary.
printf 'upper_bound_mm,h7_upper,h7_lower\n10,0,-0.015\n' >"$scratch/in.csv"
"$root/usr/bin/tolcsv" import "$scratch/in.csv" "$scratch/t.win" 2>/dev/null || fail "packaged tolcsv cannot import"
[ "$("$root/usr/bin/tolcsv" export "$scratch/t.win" -)" = "$(cat "$scratch/in.csv")" ] ||
  fail "packaged tolcsv does not read back what it wrote"

# The packaged editor answers without a display.
[ "$(env -u DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/Toledit" --version)" = \
  "Toledit $(dpkg-deb -f "$deb" Version)" ] || fail "packaged Toledit --version gives another version"

[ "$failures" -eq 0 ] || exit 1
echo "$(basename "$deb"): files, menu entry, icons, file type, metainfo and dependencies in place"
