#!/usr/bin/env bash
# The volume group on a real X server against a real sound server: a PulseAudio null sink
# started here. Dragging the slider sets the sink's volume as pactl reads it, "静音" mutes it,
# and a change made with pactl moves the slider.
# Usage: volume_pulse_e2e.sh PROGRAM_FOLDER
set -u
built=$1
source "$(dirname "$0")/lib.sh"

start_pulse
pactl set-sink-volume bells 40%
volume() { pactl get-sink-volume bells | grep -oE '[0-9]+%' | head -1 | tr -d %; }
muted() { pactl get-sink-mute bells | grep -q yes; }
program_folder "$work/app"
start_x
# The ALSA device of the sound server (on a desktop "default" leads there by itself).
start_app "$work/app" TOLLVANE_MIXER_DEVICE=pulse
check "start-up wrote nothing" 'waitfor " table-open " && [ "$(volume)" = 40 ]'
check "and no mixer is missing" '! grep -q " mixer-missing" "$log"'

# The slider: group "音量" at (240, 254), the slider at (19, 22) in it, 16 x 94. Its thumb is
# found from the level it shows (40 of a 75-pixel travel from the bottom).
x=$((240 + 19 + 8))
thumb=$((254 + 22 + 94 - 2 - 30 - 8))
xdotool mousemove --window "$window" "$x" "$thumb" mousedown 1
for dy in 5 10 15 20 25 30; do xdotool mousemove --window "$window" "$x" $((thumb - dy)); done
xdotool mouseup 1
check "dragging up sets the volume" 'waitfor " volume "'
# The release reports the final value once more: the drag is over when the last two agree.
levels() { grep " volume " "$log" | awk '{print $3}' | tail -2 | uniq | wc -l; }
for _ in $(seq 50); do [ "$(count " volume ")" -ge 2 ] && [ "$(levels)" -eq 1 ] && break; sleep 0.1; done
shown=$(grep " volume " "$log" | tail -1 | awk '{print $3}')
for _ in $(seq 30); do [ "$(volume)" = "$shown" ] && break; sleep 0.1; done
check "pactl reads the slider's level ($shown%)" '[ "$shown" -gt 40 ] && [ "$(volume)" = "$shown" ]'

click $((240 + 12)) $((254 + 126))  # "静音"
check "静音 mutes the sink" 'waitfor " mute on" && for _ in $(seq 20); do muted && break; sleep 0.1; done; muted'
click $((240 + 12)) $((254 + 126))
check "and unticking brings it back" 'waitfor " mute off" && ! muted && [ "$(volume)" = "$shown" ]'

pactl set-sink-volume bells 25%
check "a change made with pactl moves the slider" 'waitfor " volume-elsewhere 25" 5'
pactl set-sink-mute bells 1
check "and a mute made elsewhere ticks the box" 'waitfor " volume-elsewhere 25 muted" 5'
kill "$app"
wait "$app"
finish
