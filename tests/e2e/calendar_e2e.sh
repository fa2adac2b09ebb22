#!/usr/bin/env bash
# The school calendar as a user meets it: a calendar imported with tollvane-table, the program
# started on a real X server on a holiday and on a make-up Sunday. On the holiday it says so,
# leaves automatic ringing off and rings nothing; on the make-up Sunday it switches ringing on
# and rings the weekday's bell.
# Usage: calendar_e2e.sh PROGRAM_FOLDER [SCREENSHOT_DIR]
set -u
built=$1
shots=${2:-}
source "$(dirname "$0")/lib.sh"

program_folder "$work/app"
tone "$work/app/Music/bell.wav" 0.3
printf '时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日\n8,0,0,上课,Music/bell.wav,1,1,1,1,1,0,0\n' \
    >"$work/rows.csv"
"$built/tollvane-table" import "$work/app/Data/temp.dat" "$work/rows.csv" 2>/dev/null
printf '类型,开始,结束,按星期,运行模式,说明\n放假,2026-10-01,2026-10-07,,,国庆节\n调休,2026-10-11,,1,,国庆调休\n' \
    >"$work/calendar.csv"
"$built/tollvane-table" calendar import "$work/app/Data/calendar.dat" "$work/calendar.csv" 2>/dev/null
printf '[Set]\nAuto_Play=1\n' >"$work/app/config.ini"
start_x
shot() { [ -n "$shots" ] && xwd -root -display "$DISPLAY" -silent | convert xwd:- "$shots/$1" 2>/dev/null; }

start_app "$work/app" TOLLVANE_NOW=2026-10-02T07:59:45
check "holiday: the day is logged" 'waitfor " calendar-holiday 2026-10-02 国庆节"'
check "holiday: the start-up tune plays" 'waitfor " startup-tune "'
sleep 1
shot holiday.png
check "holiday: no bell and nothing missed by 08:00:05" \
    'sleep 6; ! grep -qE " (ring|missed) " "$log"'
kill "$app"
wait "$app"

start_app "$work/app" TOLLVANE_NOW=2026-10-11T07:59:45
check "make-up Sunday: the day is logged" 'waitfor " calendar-makeup 2026-10-11 按星期一 国庆调休"'
check "make-up Sunday: the Monday bell rings" 'waitfor " ring 08:00:00 上课 " 30'
shot makeup.png
kill "$app"
wait "$app"
finish
