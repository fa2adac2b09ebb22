#!/usr/bin/env bash
# The tray as a user meets it, on a real X server (Xvfb) with a real tray host (trayer): with no
# tray, closing minimises; once the tray is up, closing hides into it and the bells ring on; a
# double-click on the icon brings the window back; "退出程序" from the icon's menu ends the program.
# Usage: tray_e2e.sh PROGRAM_FOLDER
set -u
built=$1
here=$(cd "$(dirname "$0")" && pwd)
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi; }

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A program folder of its own, with a Monday timetable that rings every few seconds.
cp "$built/tollvane" "$built/digital.ttf" "$built/sys.mp3" "$work/"
mkdir -p "$work/Music" "$work/随机音乐"
"$built/tollvane-table" init "$work/Data" >/dev/null
/usr/bin/python3 - "$work/Music/bell.wav" <<'PY'
import sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
    w.writeframes(b"\0\0" * 2400)
PY
{
    echo "时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日"
    for s in $(seq 15 3 57); do echo "8,0,$s,铃$s,$work/Music/bell.wav,1,1,1,1,1,0,0"; done
} >"$work/rows.csv"
"$built/tollvane-table" import "$work/Data/temp.dat" "$work/rows.csv" >/dev/null
printf '[Set]\nAuto_Play=1\n' >"$work/config.ini"

# An X server of its own.
exec 5<> <(:)
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 num <&5 || { echo "FAILED: Xvfb did not start"; exit 1; }
export DISPLAY=":$num"
export DBUS_SESSION_BUS_ADDRESS=disabled:  # the XEmbed tray; no D-Bus daemon to outlive us

log="$work/log"
waitfor() {  # waitfor PATTERN [SECONDS]: a log line matching PATTERN appears
    local deadline=$((SECONDS + ${2:-20}))
    while ((SECONDS < deadline)); do
        grep -qE "$1" "$log" 2>/dev/null && return 0
        sleep 0.2
    done
    return 1
}
count() { grep -cE "$1" "$log" 2>/dev/null; }
closeuntil() {  # closeuntil PATTERN: asks the window to close, again each second (as a user
    # clicks once more) until a log line matching PATTERN appears
    local n
    for n in $(seq 10); do
        /usr/bin/python3 "$here/x11/xclose.py" "$window"
        waitfor "$1" 2 && return 0
    done
    return 1
}
waitmore() {  # waitmore PATTERN N [SECONDS]: more than N lines match PATTERN
    local deadline=$((SECONDS + ${3:-20}))
    while ((SECONDS < deadline)); do
        [ "$(count "$1")" -gt "$2" ] && return 0
        sleep 0.2
    done
    return 1
}

XDG_RUNTIME_DIR="$work" TOLLVANE_NOW=2026-12-07T08:00:08 \
    TOLLVANE_AUDIO_SINK="fakesink sync=true" TOLLVANE_SHUTDOWN_COMMAND="true" \
    LSAN_OPTIONS="${LSAN_OPTIONS:-}" "$work/tollvane" 2>"$log" &
app=$!
pids+=($app)

check "starts without a tray" 'waitfor " tray missing"'
window=""
for _ in $(seq 50); do
    window=$(xdotool search --pid "$app" --name '^Tollvane V1\.3\.3$' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.2
done
check "the main window is there" '[ -n "$window" ]'

check "closing without a tray minimises" 'closeuntil " window-minimised"'
check "and the program runs on" 'kill -0 $app'

trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
    >"$work/trayer.log" 2>&1 &
pids+=($!)
check "a tray that comes later is taken" 'waitfor " tray available" 15'

check "closing hides into the tray" 'closeuntil " window-hidden"'
rings=$(count " ring ")
check "the bells ring on while hidden" 'waitmore " ring " "$rings"'

panel=$(xdotool search --name '^panel$' 2>/dev/null | head -1)
icon=$(xwininfo -children -id "$panel" 2>/dev/null | grep -oE '^ +0x[0-9a-f]+' | head -1 | tr -d ' ')
check "the icon sits in the tray" '[ -n "$icon" ]'
xdotool mousemove --window "$icon" 8 8 click --repeat 2 --delay 80 1
check "a double-click shows the window" 'waitfor " window-shown"'

shown=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l)
xdotool mousemove --window "$icon" 8 8 click 3
for _ in $(seq 50); do  # the menu is a window of its own
    [ "$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l)" -gt "$shown" ] && break
    sleep 0.1
done
xdotool key Up Return  # the last item: "退出程序"
check "退出程序 ends the program" 'waitfor " exit" 15'
wait "$app"; rc=$?
check "with exit code 0" '[ $rc -eq 0 ]'
check "and no error" '! grep -q " error " "$log"'

[ $fail -eq 0 ] || { echo "--- log"; cat "$log"; }
exit $fail
