#!/usr/bin/env bash
# A bell made ready ten seconds ahead is heard at its second through a real sound server: a
# PulseAudio null sink started here, recorded from its monitor. (The server counts the time a
# prepared output waited paused as played: the bell came as many seconds late.)
# Usage: onset_pulse_e2e.sh PROGRAM_FOLDER
set -u
built=$1
source "$(dirname "$0")/lib.sh"

start_pulse
program_folder "$work/app"
tone "$work/app/Music/tone.wav" 1 440
due=$(($(date +%s) + 15))
printf '时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日\n%s,bell,Music/tone.wav,1,1,1,1,1,1,1\n' \
    "$(date -d "@$due" +%-H,%-M,%-S)" >"$work/day.csv"
"$built/tollvane-table" import "$work/app/Data/temp.dat" "$work/day.csv" >/dev/null 2>&1
printf '[Set]\nAuto_Play=1\n' >"$work/app/config.ini"
start_x
start_app "$work/app" TOLLVANE_AUDIO_SINK=
while [ "$(date +%s.%N)" \< "$((due - 1))" ]; do sleep 0.05; done
started=$(date +%s.%N)
parecord --device=bells.monitor --raw --format=s16le --rate=44100 --channels=1 \
    --latency-msec=10 "$work/monitor.raw" &
recorder=$!
pids+=($recorder)
sleep 4
kill "$recorder"
wait "$recorder" 2>/dev/null
check "the bell rang at its second" 'grep -q " ring .*/tone.wav" "$log"'
late=$(/usr/bin/python3 - "$work/monitor.raw" "$started" "$due" <<'PY'
import array, sys
samples = array.array("h")
samples.frombytes(open(sys.argv[1], "rb").read())
loud = next((i for i, s in enumerate(samples) if abs(s) > 1000), None)
print("none" if loud is None else f"{float(sys.argv[2]) + loud / 44100 - float(sys.argv[3]):.3f}")
PY
)
echo "heard at $late s after its second"
check "and was heard within 0.3 s of it" '[ "$late" != none ] && awk -v l="$late" "BEGIN {exit !(l < 0.3)}"'
finish
