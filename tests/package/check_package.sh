#!/usr/bin/env bash
# Builds the .deb of a build tree, checks its files, its desktop entry and its dependencies (all
# Debian 12 packages), then unpacks it into a scratch root and runs nlx demo from there: an
# installed program keeps its data in the user's folder and creates sys.cfg there.
#   check_package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack could not build the package"
fi
deb=$(ls "$work"/out/*.deb)
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/nlx ./usr/lib/nlx/nlx-plain ./usr/lib/nlx/nlx-qt ./usr/bin/nlx-gui ./usr/share/applications/nlx-gui.desktop \
         ./usr/share/icons/hicolor/scalable/apps/nlx.svg ./usr/share/mime/packages/nlx-capture.xml \
         ./usr/share/man/man1/nlx.1 ./usr/share/nlx/README ./usr/share/nlx/locale/en/LC_MESSAGES/nlx.mo; do
  grep -qx "$f" <<<"$files" || fail "the package lacks $f"
done

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6serialport6 libqt6widgets6 libqt6charts6 libsqlite3-0 libpq5 libxlsxwriter qt6-translations-l10n; do
  grep -q "$lib" <<<"$depends" || fail "Depends does not name $lib: $depends"
done
# Every dependency is a Debian package, installed here from this release's archive.
for p in $(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*//; s/ //g' | grep -v '^$'); do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || fail "dependency $p is not an installed Debian package"
done

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/nlx-gui.desktop" || fail "the desktop entry is not valid"
grep -q '^Categories=Science;' "$work/root/usr/share/applications/nlx-gui.desktop" || fail "desktop entry category"
grep -q 'application/x-nlx-capture' "$work/root/usr/share/applications/nlx-gui.desktop" || fail "desktop entry MIME type"
man -l "$work/root/usr/share/man/man1/nlx.1" 2>/dev/null | grep -q "nlx export" || fail "the man page lacks nlx export"
man -l "$work/root/usr/share/man/man1/nlx.1" 2>/dev/null | grep -q "team transfers" || fail "the man page lacks nlx team transfers"

home="$work/home"
mkdir -p "$home"
out=$(env -u NLX_HOME -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/nlx" demo --groups 3 2>&1) \
  || { echo "$out" >&2; fail "the installed nlx demo failed"; }
data="$home/.local/share/nlx"
grep -q "$data/noise.db" <<<"$out" || { echo "$out" >&2; fail "the demo did not use $data"; }
[ -f "$data/demo-records-a.xlsx" ] || fail "no workbook in $data"
settings=$(env -u NLX_HOME -u XDG_DATA_HOME HOME="$home" "$work/root/usr/bin/nlx" settings)
grep -q "application folder: $data" <<<"$settings" || fail "nlx settings: $settings"
[ "$(cat "$data/sys.cfg")" = $'1,9600\r' ] || fail "sys.cfg was not created with port 1 at 9600 bit/s"
# The installed programs speak English from their own catalogue, Chinese by default.
english=$(env -u NLX_HOME -u XDG_DATA_HOME -u NLX_LANG HOME="$home" LANG=C.UTF-8 "$work/root/usr/bin/nlx" --lang en verify 999 2>&1 || true)
grep -q "There is no transfer number 999" <<<"$english" || fail "nlx --lang en verify did not speak English: $english"
chinese=$(env -u NLX_HOME -u XDG_DATA_HOME -u NLX_LANG HOME="$home" LANG=C.UTF-8 "$work/root/usr/bin/nlx" verify 999 2>&1 || true)
grep -q "没有编号为999的传输记录" <<<"$chinese" || fail "nlx verify did not speak Chinese: $chinese"
[ -z "$(ls "$work/root/usr/bin" | grep -v '^nlx')" ] || fail "data written beside the installed programs"
# nlx lists the demo's records itself, and hands a form it does not read to nlx-plain.
listed=$(env -u NLX_HOME -u XDG_DATA_HOME HOME="$home" "$work/root/usr/bin/nlx" records --model a --format csv)
[ "$(wc -l <<<"$listed")" = 4 ] || fail "nlx records of the demo's 3 groups: $listed"
[ "$(env -u NLX_HOME -u XDG_DATA_HOME HOME="$home" "$work/root/usr/bin/nlx" records --model a --format=csv --db "$data/noise.db")" = "$listed" ] \
  || fail "nlx records with --db named did not list the same records"
handed=$(env -u NLX_HOME -u XDG_DATA_HOME HOME="$home" "$work/root/usr/bin/nlx" records --help 2>&1) || fail "nlx records --help: $handed"
grep -q -- "--format" <<<"$handed" || fail "nlx records --help did not reach nlx-plain: $handed"
[ "$(ls "$work/root/usr/lib/nlx" | tr '\n' ' ')" = "nlx-plain nlx-qt " ] || fail "data written beside the installed private programs"
echo "package: $(basename "$deb"), $(wc -l <<<"$files") entries, installed nlx demo ran in $data"
