#!/usr/bin/env bash
# Footprint of the real program under Xvfb with its window shown and automatic ringing on.
# A compressed day: a bell every 4 s in WAV, MP3, WMA, MIDI, a second MIDI file right after it,
# and a random playlist, then 16 s without a bell; repeated for a number of rounds. Prints
# resident and private memory
# (private: pages of this process alone, from /proc/PID/smaps_rollup; anonymous: the heap and
# other memory no file backs) at rest, at the end of the first round and of the last, then the CPU
# the program uses while idle (nothing playing) over 30 s.
# Usage: bench/footprint.sh [build folder] [soundfont] [rounds]
#        (default build-rel, the system's General MIDI soundfont, 5 rounds; needs xvfb-run)
set -euo pipefail
build=$(realpath "${1:-build-rel}")
soundfont=${2:-}
rounds=${3:-5}
work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
folder="$work/Tollvane"
cp -r "$build/Tollvane" "$folder"
rm -rf "$folder/Logs" "$folder/config.ini"
chmod 700 "$work"
"$build/bench/bench_make_media" "$folder" 2000 2>/dev/null
cp "$folder/Music/bell.mid" "$folder/Music/bell2.mid"
printf '[Set]\nAuto_Play=1\n' > "$folder/config.ini"
{
    echo "时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日"
    t=$((8 * 3600))
    for _ in $(seq "$rounds"); do
        for sound in Music/bell.wav Music/bell.mp3 Music/bell.wma Music/bell.mid Music/bell2.mid 随机音乐; do
            echo "$((t / 3600)),$((t / 60 % 60)),$((t % 60)),bell,$sound,1,1,1,1,1,1,1"
            t=$((t + 4))
        done
        t=$((t + 16))
    done
} > "$work/day.csv"
"$folder/tollvane-table" import "$folder/Data/temp.dat" "$work/day.csv" >/dev/null 2>&1

mem() {
    awk '/^Rss:/ {r = $2} /^Private_Dirty:/ {d = $2} /^Private_(Clean|Dirty):/ {p += $2} /^Anonymous:/ {a = $2}
         END {printf "resident %5.1f MB, anonymous %5.1f MB, private dirty %5.1f MB, private %5.1f MB", r / 1024, a / 1024, d / 1024, p / 1024}' \
        "/proc/$pid/smaps_rollup"
}
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }

export TOLLVANE_NOW=2026-12-07T07:59:50 XDG_RUNTIME_DIR="$work"
[ -n "$soundfont" ] && export TOLLVANE_SOUNDFONT="$soundfont"
display=":$((100 + RANDOM % 800))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp 2>/dev/null &
xvfb=$!
sleep 1
DISPLAY="$display" "$folder/tollvane" 2>"$work/log" &
for _ in $(seq 100); do
    pid=$(pgrep -P "$!" -f "tollvane --supervised" || true)  # the bell program, not its supervisor
    [ -n "$pid" ] && break
    sleep 0.1
done
echo "soundfont: ${soundfont:-the default General MIDI soundfont}"
sleep 9   # start-up tune played, nothing rung yet
echo "at rest:                   $(mem)"
sleep 49  # 08:00:39: the first round has rung, its sounds have ended
echo "after round 1:             $(mem)"
sleep $((40 * (rounds - 1)))
echo "after round $rounds:             $(mem)"
ticks=$(getconf CLK_TCK)
before=$(cpu)
sleep 30
after=$(cpu)
awk -v a="$after" -v b="$before" -v t="$ticks" \
    'BEGIN {printf "idle CPU (auto-play on, nothing playing): %.2f %% of one core\n", (a - b) / t / 30 * 100}'
if [ -n "${FOOTPRINT_MAPS:-}" ]; then
    echo "largest mappings: resident kB, anonymous kB, file"
    awk '/^[0-9a-f]+-/ {name = $6 == "" ? "[anonymous]" : $6} /^Rss:/ {r[name] += $2} /^Anonymous:/ {a[name] += $2}
         END {for (n in r) printf "%8d %8d %s\n", r[n], a[n], n}' "/proc/$pid/smaps" | sort -rn | head -30
fi
echo "rings logged: $(grep -c ' ring ' "$work/log"), errors: $(grep -c ' error ' "$work/log" || true)"
