#!/usr/bin/env bash
# The program on hostile program folders, each a small file system of its own (tmpfs in a private
# mount namespace, so even root meets a read-only folder and a full disk):
#   read-only   settings writes fail with "Unable to write to …" and the bell still rings
#   no Data/    the program says which table it cannot open and keeps running
#   table dir   a table file that is a folder: the same
#   disk full   a settings write on a full disk fails and leaves config.ini as it was
#   10,000 tunes with names that are not UTF-8 in 随机音乐/: a random-music bell plays one
# Usage: hostile_folders_e2e.sh PROGRAM_FOLDER
set -u
if [ -z "${TOLLVANE_IN_NAMESPACE:-}" ]; then
    flags=(-m)
    [ "$(id -u)" -eq 0 ] || flags=(-r -m)
    exec env TOLLVANE_IN_NAMESPACE=1 unshare "${flags[@]}" bash "$0" "$@"
fi
built=$1
source "$(dirname "$0")/lib.sh"
mount --make-rprivate / 2>/dev/null
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait; umount -l "$work"/* 2>/dev/null; cleanup' EXIT

header='时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日'
# folder NAME SPARE-KB: a program folder on a tmpfs with SPARE-KB free beyond the program's own
# files, with a bell at 10:00:03 on weekdays.
program_kb=$(du -sk "$built" | cut -f1)
folder() {
    dir="$work/$1"
    mkdir -p "$dir"
    mount -t tmpfs -o "size=$((program_kb + $2))k" tmpfs "$dir" || { echo "FAILED: cannot mount a tmpfs"; exit 1; }
    program_folder "$dir"
    tone "$dir/Music/bell.wav" 0.3
    printf '%s\n10,0,3,Bell,Music/bell.wav,1,1,1,1,1,0,0\n' "$header" >"$work/rows.csv"
    "$built/tollvane-table" import "$dir/Data/temp.dat" "$work/rows.csv" >/dev/null
    printf '[Set]\r\nRunMode=0\r\nAuto_Play=1\r\n' >"$dir/config.ini"
}
stop_app() {
    kill "$app" 2>/dev/null
    wait "$app" 2>/dev/null
}
alive() { kill -0 "$app" 2>/dev/null; }
start_x
export TOLLVANE_SHUTDOWN_COMMAND=true
at=TOLLVANE_NOW=2026-12-07T09:59:52

folder readonly 4096
mount -o remount,ro "$dir"
start_app "$dir" "$at"
check "read-only: the settings write is refused with the file named" \
    'waitfor " error Unable to write to $dir/config.ini"'
check "read-only: the bell rings on its second" 'waitfor " ring 10:00:03 Bell " 30'
stop_app

folder nodata 4096
rm -rf "$dir/Data"
start_app "$dir" "$at"
check "no Data: the table that cannot open is named" 'waitfor " error .*$dir/Data/temp.dat"'
sleep 1
check "no Data: the program runs on" 'alive'
stop_app

folder tabledir 4096
rm -f "$dir/Data/temp.dat"
mkdir "$dir/Data/temp.dat"
start_app "$dir" "$at"
check "table is a folder: it is named" 'waitfor " error .*$dir/Data/temp.dat"'
sleep 1
check "table is a folder: the program runs on" 'alive'
stop_app

folder full 1024
start_app "$dir" "$at"
waitfor " startup-tune "
before=$(cat "$dir/config.ini")
dd if=/dev/zero of="$dir/filler" bs=64k 2>/dev/null
click 444 235  # "启动隐藏": a settings write
check "disk full: the write is refused" 'waitfor " error Unable to write to $dir/config.ini"'
check "disk full: config.ini is as it was" '[ "$(cat "$dir/config.ini")" = "$before" ]'
check "disk full: the program runs on" 'alive'
stop_app

folder tunes 16384
rm -f "$dir/Music/bell.wav"
tone "$work/tune.wav" 0.5
printf '%s\n10,0,3,Music,随机音乐,1,1,1,1,1,0,0\n' "$header" >"$work/rows.csv"
"$built/tollvane-table" import "$dir/Data/temp.dat" "$work/rows.csv" >/dev/null
cp "$work/tune.wav" "$dir/随机音乐/first.wav"
/usr/bin/python3 - "$dir/随机音乐" <<'PY'
import os, sys
folder = os.fsencode(sys.argv[1])
for i in range(10000):  # GBK names, which are not UTF-8, all links to one small tune
    os.link(folder + b"/first.wav", folder + b"/" + "铃声{:05d}.wav".format(i).encode("gbk"))
PY
start_app "$dir" "$at"
check "10,000 tunes: the random-music bell rings a tune of the folder" \
    'waitfor " ring 10:00:03 Music $dir/随机音乐/" 30'
check "10,000 tunes: the log shows the bytes of its name" \
    'grep -qF " ring 10:00:03 Music $dir/随机音乐/\xc1\xe5\xc9\xf9" "$log"'
sleep 1
check "10,000 tunes: nothing is missing or fails" '! grep -qE " (error|missing-file) " "$log"'
stop_app
finish
