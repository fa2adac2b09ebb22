#!/usr/bin/env bash
# Two program folders as a school has them: one publishes its bundle, the other follows it over
# HTTP from a web server on 127.0.0.1. The follower rings the served rows; a change published
# before 12:12:12 rings after it and a removed row no longer rings; with the server gone the
# last good copy rings and the failure is logged; a folder source works the same.
# Usage: sync_e2e.sh PROGRAM_FOLDER
set -u
built=$1
source "$(dirname "$0")/lib.sh"

program_folder "$work/school"
tone "$work/school/Music/bell.wav" 0.3
tone "$work/school/Music/new.wav" 0.3
rows() {
    printf '时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日\n%s' "$1" >"$work/rows.csv"
    "$built/tollvane-table" import "$work/school/Data/temp.dat" "$work/rows.csv" >/dev/null 2>&1
}
publish() { "$built/tollvane-table" publish "$work/school" "$work/www" >/dev/null 2>&1; }
version() { /usr/bin/python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["version"])' \
    "$work/www/manifest.json"; }
week=1,1,1,1,1,1,1
rows "12,11,58,第一节,Music/bell.wav,$week
12,12,30,旧铃,Music/bell.wav,$week
"
publish
v1=$(version)

# The web server of this test, on a port the system picks.
/usr/bin/python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/www" >"$work/http.log" 2>&1 &
server=$!
pids+=($server)
port=""
for _ in $(seq 50); do
    port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$work/http.log" | head -1)
    [ -n "$port" ] && break
    sleep 0.1
done
check "the web server is up" '[ -n "$port" ]' || finish

program_folder "$work/pc"
printf '[Set]\nAuto_Play=1\n[Sync]\nSource=http://127.0.0.1:%s/\nInterval=1\n' "$port" \
    >"$work/pc/config.ini"
start_x
start_app "$work/pc" TOLLVANE_NOW=2026-12-09T12:11:40
check "http: the first version is taken in" "waitfor ' sync $v1 temp.dat'"
# Published now, before 12:12:12: the interval alone would bring it only at 12:12:40.
rows "12,11,58,第一节,Music/bell.wav,$week
12,12,20,新铃,Music/new.wav,$week
12,12,35,第三节,Music/bell.wav,$week
14,0,15,下午,Music/bell.wav,$week
16,0,15,放学,Music/new.wav,$week
"
publish
v2=$(version)
check "http: a served row rings" "waitfor ' ring 12:11:58 第一节 ' 30"
check "http: the change is taken in at 12:12:12" "waitfor ' sync $v2 temp.dat、1 个声音文件' 30"
check "http: the new row rings with its new sound" "waitfor ' ring 12:12:20 新铃 ' 20"
check "http: the new sound is in the follower's folder" 'cmp -s "$work/school/Music/new.wav" "$work/pc/Music/new.wav"'
check "http: the previous table was backed up" 'ls "$work/pc/Data/backup/" | grep -q "^temp"'
check "http: the removed row does not ring" \
    "waitfor ' ring 12:12:35 第三节 ' 20 && ! grep -q ' ring 12:12:30 ' \"\$log\""
kill "$app"
wait "$app"

kill "$server"
wait "$server" 2>/dev/null
start_app "$work/pc" TOLLVANE_NOW=2026-12-09T13:59:58
check "server gone: the failure is logged" "waitfor ' sync-failed http://127.0.0.1:$port/manifest.json'"
check "server gone: the last good copy rings" "waitfor ' ring 14:00:15 下午 ' 30"
kill "$app"
wait "$app"

program_folder "$work/pc2"
printf '[Set]\nAuto_Play=1\n[Sync]\nSource=%s\n' "$work/www" >"$work/pc2/config.ini"
start_app "$work/pc2" TOLLVANE_NOW=2026-12-09T15:59:58
check "folder: the bundle is taken in" "waitfor ' sync $v2 temp.dat'"
check "folder: its rows ring" "waitfor ' ring 16:00:15 放学 ' 30"
kill "$app"
wait "$app"
finish
