#!/usr/bin/env bash
# Unattended for a day, as a bell PC is: the real program under its supervisor on a real X
# server, the real clock, rows a few seconds apart. The program is crashed with SIGSEGV and
# SIGABRT right after a bell: it is started again, takes up ringing (no start-up tune) and the
# next bells ring; SIGTERM to the supervisor ends both with status 0; six crashes in a row stop
# the restarts. A GStreamer without the MIDI synthesiser makes the MIDI row an error that names
# the file and the package, and the next row rings.
# Usage: unattended_e2e.sh PROGRAM_FOLDER
set -u
built=$1
source "$(dirname "$0")/lib.sh"

program_folder "$work/app"
tone "$work/app/Music/bell.wav" 0.3
{
    echo '时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日'
    for s in 00 03 06 09 12; do echo "8,0,$s,第${s}秒,Music/bell.wav,1,1,1,1,1,0,0"; done
} >"$work/rows.csv"
"$built/tollvane-table" import "$work/app/Data/temp.dat" "$work/rows.csv" >/dev/null 2>&1
printf '[Set]\nAuto_Play=1\n' >"$work/app/config.ini"
start_x
export XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# crash SIGNAL: the bell program (not the supervisor) ends by that signal; waits for the
# restarted program's first tick.
crash() {
    local kid resumes
    kid=$(bell_pid)
    resumes=$(count " resume ")
    kill "-$1" "$kid"
    waitmore " resume " "$resumes" 15
}
# ring_at TIME: the second a row's ring line was written.
ring_at() { grep -m1 " ring $1 " "$log" | cut -c12-19; }

start_app "$work/app" TOLLVANE_NOW=2026-12-07T07:59:50
check "the first bell rings" 'waitfor " ring 08:00:00 " 20'
check "SIGSEGV: the program is started again and takes up ringing" 'crash SEGV'
check "the bell due 3 s after the crash rings" 'waitfor " ring 08:00:03 " 10'
check "the next one rings on its second" 'waitfor " ring 08:00:06 " 10 && [ "$(ring_at 08:00:06)" = 08:00:06 ]'
check "SIGABRT: started again" 'crash ABRT'
check "the bell after it rings" 'waitfor " ring 08:00:09 " 10'
check "each crash and restart is logged" '[ "$(count " crash ")" -eq 2 ] && [ "$(count " restart$")" -eq 2 ]'
check "the restarted program plays no start-up tune" '[ "$(count " startup-tune ")" -eq 1 ]'
check "every bell rang once" '[ "$(count " ring 08:00:0[0369] ")" -eq 4 ]'
check "the history file has the supervisor's lines" \
    'grep -q " crash " "$work/app/Logs/2026-12.log" && grep -q " restart$" "$work/app/Logs/2026-12.log"'
# A second start while this one runs says so in a box, and ends at once on SIGTERM.
LSAN_OPTIONS="${LSAN_OPTIONS:-}" "$work/app/tollvane" 2>"$work/second.log" &
second=$!
pids+=($second)
for _ in $(seq 100); do grep -q " already-running " "$work/second.log" && break; sleep 0.1; done
sleep 1
begun=$SECONDS
kill "$second"
wait "$second"
status=$?
check "a second start ends at once on SIGTERM while its box is shown" \
    '[ $status -eq 0 ] && [ $((SECONDS - begun)) -le 2 ] && kill -0 "$(bell_pid)"'

kid=$(bell_pid)
kill "$app"
wait "$app"
status=$?
check "SIGTERM to the supervisor ends both with status 0" '[ $status -eq 0 ] && until_gone "$kid"'

start_app "$work/app" TOLLVANE_NOW=2026-12-07T10:00:00
for i in 1 2 3 4 5; do
    crash KILL || break
done
kill -KILL "$(bell_pid)"
check "the sixth crash in ten minutes stops the restarts" 'waitfor " crash-loop " 10'
sleep 1
check "and nothing is started after it" '[ "$(count " start ")" -eq 6 ]'
notice=$(xdotool search --onlyvisible --pid "$app" --name '^Tollvane$' 2>/dev/null | head -1)
check "a notice says so on screen" '[ -n "$notice" ]'
kill "$app"
wait "$app"

# GStreamer without the plug-in the MIDI chain's source comes from (appsrc, in "app"): a plug-in
# folder that lacks it, and a registry of the test's own.
mkdir -p "$work/plugins"
system_plugins=$(pkg-config --variable=pluginsdir gstreamer-1.0)
for plugin in "$system_plugins"/*.so; do
    case "$plugin" in */libgstapp.so) ;; *) ln -s "$plugin" "$work/plugins/" ;; esac
done
/usr/bin/python3 - "$work/app/Music/tune.mid" <<'PY'
import struct, sys
track = b"".join(b"\x00\x90" + bytes([p]) + b"\x64\x83\x60\x80" + bytes([p]) + b"\x00" for p in (60, 64, 67))
track += b"\x00\xff\x2f\x00"
open(sys.argv[1], "wb").write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480) + b"MTrk" + struct.pack(">I", len(track)) + track)
PY
printf '时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日\n8,0,0,MIDI,Music/tune.mid,1,1,1,1,1,0,0\n8,0,2,WAV,Music/bell.wav,1,1,1,1,1,0,0\n' \
    >"$work/midi.csv"
"$built/tollvane-table" import "$work/app/Data/temp.dat" "$work/midi.csv" >/dev/null 2>&1
start_app "$work/app" TOLLVANE_NOW=2026-12-07T07:59:48 GST_PLUGIN_SYSTEM_PATH_1_0="$work/plugins" \
    GST_PLUGIN_PATH_1_0= GST_REGISTRY_1_0="$work/registry.bin"
check "without appsrc the MIDI row is an error naming the file and the package" \
    'waitfor " error .*tune\.mid.*appsrc.*gstreamer1\.0-plugins-base" 30'
check "the WAV row after it rings" 'waitfor " ring 08:00:02 WAV " 30'
check "and the program runs on" 'kill -0 "$(bell_pid)" && [ "$(count " crash ")" -eq 0 ]'
kill "$app"
wait "$app"
finish
