#!/usr/bin/env bash
# The tray as a user meets it, on a real X server (Xvfb) with a real tray host (trayer): with no
# tray, closing minimises; once the tray is up, closing hides into it and the bells ring on; a
# double-click on the icon brings the window back, and so does a second start of the program;
# "退出程序" from the icon's menu ends the program.
# Usage: tray_e2e.sh PROGRAM_FOLDER
set -u
built=$1
source "$(dirname "$0")/lib.sh"

# A Monday timetable that rings every few seconds.
program_folder "$work/app"
tone "$work/app/Music/bell.wav" 0.3
{
    echo "时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日"
    for s in $(seq 15 3 57); do echo "8,0,$s,铃$s,$work/app/Music/bell.wav,1,1,1,1,1,0,0"; done
} >"$work/rows.csv"
"$built/tollvane-table" import "$work/app/Data/temp.dat" "$work/rows.csv" >/dev/null 2>&1
printf '[Set]\nAuto_Play=1\n' >"$work/app/config.ini"

start_x
start_app "$work/app" TOLLVANE_NOW=2026-12-07T08:00:08 TOLLVANE_SHUTDOWN_COMMAND=true
check "starts without a tray" 'waitfor " tray missing"'

closeuntil() {  # asks the window to close, again each second (as a user clicks once more)
    # until a log line matching PATTERN appears
    for _ in $(seq 10); do
        /usr/bin/python3 "$here/x11/xclose.py" "$window"
        waitfor "$1" 2 && return 0
    done
    return 1
}
check "closing without a tray minimises" 'closeuntil " window-minimised"'
check "and the program runs on" 'kill -0 $app'

trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
    >"$work/trayer.log" 2>&1 &
pids+=($!)
check "a tray that comes later is taken" 'waitfor " tray available" 15'

check "closing hides into the tray" 'closeuntil " window-hidden"'
rings=$(count " ring ")
check "the bells ring on while hidden" 'waitmore " ring " "$rings"'

# Hidden in the tray, a second start brings the window back and ends with its notice.
shown=$(count " window-shown")
env XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work}" LSAN_OPTIONS="${LSAN_OPTIONS:-}" \
    "$work/app/tollvane" 2>"$work/second.log" &
second=$!
pids+=($second)
check "a second start shows the hidden window" 'waitmore " window-shown" "$shown" 10'
check "the window is on screen" \
    'xdotool search --onlyvisible --pid "$(bell_pid)" --name "^Tollvane V1\.3\.3$" | grep -q .'
check "the second start logs already-running" 'grep -q " already-running " "$work/second.log"'
kill "$second"
wait "$second"
hidden=$(count " window-hidden")
for _ in $(seq 10); do
    /usr/bin/python3 "$here/x11/xclose.py" "$window"
    waitmore " window-hidden" "$hidden" 2 && break
done
check "closing hides into the tray again" '[ "$(count " window-hidden")" -gt "$hidden" ]'

panel=$(xdotool search --name '^panel$' 2>/dev/null | head -1)
icon=$(xwininfo -children -id "$panel" 2>/dev/null | grep -oE '^ +0x[0-9a-f]+' | head -1 | tr -d ' ')
check "the icon sits in the tray" '[ -n "$icon" ]'
xdotool mousemove --window "$icon" 8 8 click --repeat 2 --delay 80 1
check "a double-click shows the window" 'waitfor " window-shown"'


shown=$(windows)
xdotool mousemove --window "$icon" 8 8 click 3
untilwindows $((shown + 1))  # the menu is a window of its own
xdotool key Up Return  # the last item: "退出程序"
check "退出程序 ends the program" 'waitfor " exit" 15'
wait "$app"
rc=$?
check "with exit code 0" '[ $rc -eq 0 ]'
check "and no error" '! grep -q " error " "$log"'
finish
