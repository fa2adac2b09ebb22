#!/usr/bin/env bash
# The volume group on a real X server against a real sound server: a PulseAudio null sink
# started here. Dragging the slider sets the sink's volume as pactl reads it, "静音" mutes it,
# and a change made with pactl moves the slider.
# Usage: volume_pulse_e2e.sh PROGRAM_FOLDER
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
pactl set-sink-volume bells 40%
volume() { pactl get-sink-volume bells | grep -oE '[0-9]+%' | head -1 | tr -d %; }
muted() { pactl get-sink-mute bells | grep -q yes; }

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
count() { grep -cE "$1" "$log" 2>/dev/null; }
waitmore() {
    local deadline=$((SECONDS + ${3:-15}))
    while ((SECONDS < deadline)); do [ "$(count "$1")" -gt "$2" ] && return 0; sleep 0.2; done
    return 1
}
# The ALSA device of the sound server (on a desktop "default" leads there by itself).
TOLLVANE_MIXER_DEVICE=pulse TOLLVANE_AUDIO_SINK="fakesink sync=true" \
    LSAN_OPTIONS="${LSAN_OPTIONS:-}" "$folder/tollvane" 2>"$log" &
app=$!
pids+=($app)
window=""
for _ in $(seq 50); do
    window=$(xdotool search --onlyvisible --pid "$app" --name '^Tollvane V1\.3\.3$' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.2
done
check "the window is up" '[ -n "$window" ]'
check "start-up wrote nothing" 'waitmore " table-open " 0 && [ "$(volume)" = 40 ]'
check "and no mixer is missing" '! grep -q " mixer-missing" "$log"'

# The slider: group "音量" at (240, 254), the slider at (19, 22) in it, 16 x 94. Its thumb is
# found from the level it shows (40 of a 75-pixel travel from the bottom).
x=$((240 + 19 + 8))
thumb=$((254 + 22 + 94 - 2 - 30 - 8))
xdotool mousemove --window "$window" "$x" "$thumb" mousedown 1
for dy in 5 10 15 20 25 30; do xdotool mousemove --window "$window" "$x" $((thumb - dy)); done
xdotool mouseup 1
check "dragging up sets the volume" 'waitmore " volume " 0'
last() { grep " volume " "$log" | tail -1 | awk '{print $3}'; }
for _ in $(seq 30); do [ "$(volume)" = "$(last)" ] && break; sleep 0.1; done
shown=$(last)
check "pactl reads the slider's level ($shown%)" '[ "$shown" -gt 40 ] && [ "$(volume)" = "$shown" ]'

xdotool mousemove --window "$window" $((240 + 12)) $((254 + 126)) click 1  # "静音"
check "静音 mutes the sink" 'waitmore " mute on" 0 && for _ in $(seq 20); do muted && break; sleep 0.1; done; muted'
xdotool mousemove --window "$window" $((240 + 12)) $((254 + 126)) click 1
check "and unticking brings it back" 'waitmore " mute off" 0 && ! muted && [ "$(volume)" = "$shown" ]'

pactl set-sink-volume bells 25%
check "a change made with pactl moves the slider" 'waitmore " volume-elsewhere 25" 0 5'
pactl set-sink-mute bells 1
check "and a mute made elsewhere ticks the box" 'waitmore " volume-elsewhere 25 muted" 0 5'
kill "$app"
wait "$app"
[ $fail -eq 0 ] || { echo "--- log"; cat "$log"; }
exit $fail
