#!/usr/bin/env bash
# A recording made through the recorder window on a real X server, from a real sound server: a
# PulseAudio null sink started here (its monitor is the default input) plays a 440 Hz tone while
# the program records through its default input. The WAV file holds that tone in the chosen
# format, as Python's wave module and sox read it.
# Usage: record_pulse_e2e.sh PROGRAM_FOLDER
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

# The sound server: the test's own, in its own folders, gone with the test.
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
export PULSE_SERVER="unix:$work/run/pulse.sock"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --load="module-null-sink sink_name=bells" \
    --load="module-native-protocol-unix socket=$work/run/pulse.sock auth-anonymous=1" \
    >"$work/pulse.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
check "the sound server is up" 'pactl info >/dev/null 2>&1'
pactl set-default-sink bells
pactl set-default-source bells.monitor
/usr/bin/python3 - "$work/tone.wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(2); w.setsampwidth(2); w.setframerate(44100)
    frames = bytearray()
    for i in range(44100 * 30):
        v = int(12000 * math.sin(2 * math.pi * 440 * i / 44100))
        frames += struct.pack("<hh", v, v)
    w.writeframes(bytes(frames))
PY
paplay "$work/tone.wav" >"$work/paplay.log" 2>&1 &  # an idle null sink gives no data: keep a stream playing
pids+=($!)

folder="$work/app"
mkdir -p "$folder/Music" "$folder/随机音乐"
cp "$built/tollvane" "$built/digital.ttf" "$built/sys.mp3" "$folder/"
"$built/tollvane-table" init "$folder/Data" >/dev/null

exec 5<> <(:)
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 num <&5 || { echo "FAILED: Xvfb did not start"; exit 1; }
export DISPLAY=":$num"
export DBUS_SESSION_BUS_ADDRESS=disabled:

log="$work/log"
waitfor() {
    local deadline=$((SECONDS + ${2:-15}))
    while ((SECONDS < deadline)); do grep -qE "$1" "$log" 2>/dev/null && return 0; sleep 0.2; done
    return 1
}
TOLLVANE_AUDIO_SINK="fakesink sync=true" LSAN_OPTIONS="${LSAN_OPTIONS:-}" \
    "$folder/tollvane" 2>"$log" &
app=$!
pids+=($app)
window=""
for _ in $(seq 50); do
    window=$(xdotool search --onlyvisible --pid "$app" --name '^Tollvane V1\.3\.3$' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.2
done
check "the window is up" '[ -n "$window" ]'
xdotool mousemove --window "$window" 39 414 click 1  # "录音"
recorder=""
for _ in $(seq 50); do
    recorder=$(xdotool search --onlyvisible --pid "$app" --name '^录音$' 2>/dev/null | head -1)
    [ -n "$recorder" ] && break
    sleep 0.1
done
check "the recorder window opens" '[ -n "$recorder" ]'
# Mono, 16 bits, 44100 Hz: the name field has the focus; Tab leads to the channels, the bits,
# the rate, then "开始录音".
xdotool key --window "$recorder" Tab Up Tab Tab Tab space
check "recording starts" 'waitfor " record-start "'
target="$folder/Music/Temp.wav"
for _ in $(seq 100); do [ "$(stat -c %s "$target" 2>/dev/null || echo 0)" -gt 200000 ] && break; sleep 0.1; done
xdotool key --window "$recorder" space  # the focus moved on to "停止录音"
check "recording stops" 'waitfor " record-stop "'
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
loud = [abs(v) for v in data[rate // 4:]]
crossings = sum(1 for a, b in zip(data, data[1:]) if a < 0 <= b)
hz = crossings * rate / n
sys.exit(0 if n > rate // 2 and max(loud) > 3000 and 400 < hz < 480 else 1)
PY'
[ $fail -eq 0 ] || { echo "--- log"; cat "$log"; }
exit $fail
