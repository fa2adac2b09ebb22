#!/usr/bin/env bash
# The Debian package as a bell PC gets it: unpacked into a temporary root (never installed), its
# tollvane started with a fresh home folder lays out ~/.local/share/Tollvane from the template and
# opens its tables there; a row imported with the unpacked tollvane-table rings; a second start
# keeps the school's tables. Skipped (77) without a package, unless TOLLVANE_REQUIRE_PACKAGE=1.
# Usage: package_e2e.sh DEB_FILE
set -u
deb=$1
if [ ! -f "$deb" ]; then
    echo "no package at $deb (scripts/package.sh makes it)"
    [ "${TOLLVANE_REQUIRE_PACKAGE:-0}" = 1 ] && exit 1
    exit 77
fi
built=""
source "$(dirname "$0")/lib.sh"

root="$work/root"
dpkg-deb -x "$deb" "$root"
check "the package holds both binaries and the template" \
    '[ -x "$root/usr/bin/tollvane" ] && [ -x "$root/usr/bin/tollvane-table" ] && [ -f "$root/usr/share/tollvane/Data/temp.dat" ]'
check "the menu entry is valid" 'desktop-file-validate "$root/usr/share/applications/tollvane.desktop"'
check "no test tool or -dev package is a dependency" \
    '! dpkg-deb -f "$deb" Depends | grep -qE "(-dev|googletest|xvfb|xdotool|trayer|pulseaudio-utils|clang)\b"'

export HOME="$work/home" XDG_CONFIG_DIRS="$work/xdg" XDG_CONFIG_HOME="$work/config"
unset XDG_DATA_HOME
mkdir -p "$HOME"
folder="$HOME/.local/share/Tollvane"
start_x
start_binary "$root/usr/bin/tollvane"
check "the start line names the program folder" 'waitfor " start $root/usr/bin/tollvane $folder"'
check "the folder is laid out from the template" 'waitfor " folder-laid-out "'
check "the tables are opened from there" "waitfor \" table-open $folder/Data/\""
check "the help page names the folder" 'grep -qF "$folder" "$folder/help/index.html"'
kill "$app"
wait "$app"
check "nothing was written into the package's folders" \
    '[ -z "$(find "$root" -newer "$deb" -not -type d)" ]'

tone "$folder/Music/bell.wav" 0.3
printf '时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日\n8,0,0,上课,Music/bell.wav,1,1,1,1,1,0,0\n' \
    >"$work/rows.csv"
"$root/usr/bin/tollvane-table" import "$folder/Data/temp.dat" "$work/rows.csv" 2>"$work/import"
check "the unpacked table tool imports, every file found" \
    'grep -q "已导入 1 个事件" "$work/import" && ! grep -q 不存在 "$work/import"'
printf '[Set]\nAuto_Play=1\nAuto_Run=1\n' >"$folder/config.ini"
start_binary "$root/usr/bin/tollvane" TOLLVANE_NOW=2026-12-07T07:59:45
check "the imported row rings from the program folder" 'waitfor " ring 08:00:00 上课 " 30'
check "nothing of the school's was laid out again" '[ "$(count " folder-laid-out ")" -eq 0 ]'
check "the autostart entry runs the package's binary" \
    'grep -qxF "Exec=/usr/bin/env \"$root/usr/bin/tollvane\"" "$work/xdg/autostart/Tollvane.desktop"'
kill "$app"
wait "$app"
check "the table stays the school's" \
    '"$root/usr/bin/tollvane-table" list "$folder/Data/temp.dat" | grep -q 上课'
finish
