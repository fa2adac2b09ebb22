#!/usr/bin/env bash
# A recording made through the recorder window on a real X server, from a real sound server: a
# PulseAudio null sink started here (its monitor is the default input) plays a 440 Hz tone while
# the program records through its default input. The WAV file holds that tone in the chosen
# format, as Python's wave module and sox read it.
# Usage: record_pulse_e2e.sh PROGRAM_FOLDER
set -u
built=$1
source "$(dirname "$0")/lib.sh"

start_pulse
pactl set-default-source bells.monitor
tone "$work/tone.wav" 30 440
paplay "$work/tone.wav" >"$work/paplay.log" 2>&1 &  # an idle null sink gives no data
pids+=($!)
program_folder "$work/app"
start_x
start_app "$work/app"

click 39 414  # "录音"
recorder=$(find_window '^录音$')
check "the recorder window opens" '[ -n "$recorder" ]'
# Mono, 16 bits, 44100 Hz: the name field has the focus; Tab leads to the channels, the bits,
# the rate, then "开始录音".
xdotool key --window "$recorder" Tab Up Tab Tab Tab space
check "recording starts" 'waitfor " record-start "'
target="$work/app/Music/Temp.wav"
# The sound goes to a file beside the target until the stop.
for _ in $(seq 100); do [ "$(stat -c %s "$target.recording" 2>/dev/null || echo 0)" -gt 200000 ] && break; sleep 0.1; done
xdotool key --window "$recorder" space  # the focus moved on to "停止录音"
check "recording stops" 'waitfor " record-stop "'
check "the recording took the target's name, nothing left beside it" \
    '[ -f "$target" ] && [ ! -e "$target.recording" ]'
kill "$app"
wait "$app"

check "the log names the file and format" 'grep -qF " record-start $target 1ch 16bit 44100Hz" "$log"'
check "sox reads the chosen format" \
    'sox --i "$target" | grep -q "Channels *: 1" && sox --i "$target" | grep -q "Sample Rate *: 44100" && sox --i "$target" | grep -q "16-bit"'
check "it holds the tone" '/usr/bin/python3 - "$target" <<'"'"'PY'"'"'
import struct, sys, wave
with wave.open(sys.argv[1]) as w:
    n = w.getnframes(); rate = w.getframerate()
    data = struct.unpack("<%dh" % n, w.readframes(n))
crossings = sum(1 for a, b in zip(data, data[1:]) if a < 0 <= b)
hz = crossings * rate / n
sys.exit(0 if n > rate // 2 and max(abs(v) for v in data) > 3000 and 400 < hz < 480 else 1)
PY'

# The recording as a bell: a row that rings it, and the program started just before it.
printf '时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日\n8,0,0,通知,Music/Temp.wav,1,1,1,1,1,0,0\n' \
    >"$work/rows.csv"
"$built/tollvane-table" import "$work/app/Data/temp.dat" "$work/rows.csv" >/dev/null 2>&1
printf '[Set]\nAuto_Play=1\n' >"$work/app/config.ini"
start_app "$work/app" TOLLVANE_NOW=2026-12-07T07:59:54
check "it rings as a bell" 'waitfor " ring 08:00:00 通知 $target"'
check "and plays without an error" '! grep -q " error " "$log"'
finish
