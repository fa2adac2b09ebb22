#!/usr/bin/env bash
# A timetable typed in, changed and cut down through the real window on a real X server, with
# the mouse and the keyboard (xdotool), then read back with tollvane-table export.
# Usage: editing_e2e.sh PROGRAM_FOLDER
set -u
built=$1
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

cp "$built/tollvane" "$built/digital.ttf" "$built/sys.mp3" "$work/"
mkdir -p "$work/Music" "$work/随机音乐"
"$built/tollvane-table" init "$work/Data" >/dev/null
bell="$work/Music/bell.wav"
/usr/bin/python3 - "$bell" <<'PY'
import sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
    w.writeframes(b"\0\0" * 800)
PY

exec 5<> <(:)
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 num <&5 || { echo "FAILED: Xvfb did not start"; exit 1; }
export DISPLAY=":$num"
export DBUS_SESSION_BUS_ADDRESS=disabled:

log="$work/log"
count() { grep -cE "$1" "$log" 2>/dev/null; }
waitmore() {  # waitmore PATTERN N [SECONDS]: more than N lines match PATTERN
    local deadline=$((SECONDS + ${3:-15}))
    while ((SECONDS < deadline)); do
        [ "$(count "$1")" -gt "$2" ] && return 0
        sleep 0.2
    done
    return 1
}

XDG_RUNTIME_DIR="$work" TOLLVANE_NOW=2026-12-07T10:00:00 TOLLVANE_AUDIO_SINK="fakesink sync=true" \
    LSAN_OPTIONS="${LSAN_OPTIONS:-}" "$work/tollvane" 2>"$log" &
app=$!
pids+=($app)
window=""
for _ in $(seq 50); do
    window=$(xdotool search --onlyvisible --pid "$app" --name '^Tollvane V1\.3\.3$' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.2
done
check "the window is up" '[ -n "$window" ]'
waitmore " startup-tune " 0

# Places in the window (its fixed layout), and what a user does with them. X delivers the input
# in order; only a window that is to open (a dialog, a question) is waited for.
windows() { xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l; }
untilwindows() {  # untilwindows N: as many windows of the program are on screen
    for _ in $(seq 100); do [ "$(windows)" -eq "$1" ] && return 0; sleep 0.1; done
    echo "FAILED: waiting for $1 windows"; fail=1
}
click() { xdotool mousemove --window "$window" "$1" "$2" click "${3:-1}"; }
field() {  # field X Y TEXT: replace a field's text by typing
    click "$1" "$2"
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 30 "$3"
}
hour() { field 432 285 "$1"; }
minute() { field 500 285 "$1"; }
second() { field 568 285 "$1"; }
event() { field 500 335 "$1"; }
choose_sound() {  # the folder button; the dialog opens in Music/: type the name, Return
    click 577 361
    untilwindows 2
    xdotool type --delay 20 "$1"
    # Return may first take the name the completer offers; then once more opens the file.
    for _ in 1 2 3; do
        xdotool key Return
        for _ in $(seq 20); do [ "$(windows)" -eq 1 ] && return 0; sleep 0.1; done
    done
    untilwindows 1
}
add() { click 113 414; }
save() { click 335 414; }
delete() { click 261 414; }
ok() { untilwindows 2; xdotool key Return; untilwindows 1; }  # OK is the default button

hour 8; minute 5; second 0; event "上课"; choose_sound bell.wav; add
check "a row is added" 'waitmore " row-add " 0'
hour 9; minute 0; second 0; event "Break"; choose_sound bell.wav; add
check "a second row is added" 'waitmore " row-add " 1'

xdotool mousemove --window "$window" 100 38 click --repeat 2 --delay 60 1  # double-click row 1
event "第一节"
save; ok
check "the loaded row is saved" 'waitmore " row-save " 0'

click 100 58  # row 2
delete; ok
check "the highlighted row is deleted" 'waitmore " row-delete " 0'

kill "$app"
wait "$app"
"$built/tollvane-table" export "$work/Data/temp.dat" >"$work/out.csv"
expected="8,5,0,第一节,$bell,1,1,1,1,1,1,1"
check "the table holds exactly what was typed" '[ "$(sed -n 2p "$work/out.csv" | sed "s/\"//g")" = "$expected" ] && [ $(wc -l <"$work/out.csv") -eq 2 ]'
check "no error" '! grep -q " error " "$log"'
[ $fail -eq 0 ] || { echo "--- log"; cat "$log"; echo "--- table"; cat "$work/out.csv"; }
exit $fail
