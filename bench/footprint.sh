#!/usr/bin/env bash
# Footprint of the real program under Xvfb with its window shown and automatic ringing on:
# resident memory at rest (after the start-up tune), after rings in all four formats and a
# random playlist, and again later; then the CPU it uses while idle (nothing playing) over 30 s.
# Usage: bench/footprint.sh [build folder]   (default build-rel; needs xvfb-run)
set -euo pipefail
build=$(realpath "${1:-build-rel}")
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
folder="$work/Tollvane"
cp -r "$build/Tollvane" "$folder"
rm -rf "$folder/Logs" "$folder/config.ini"
chmod 700 "$work"
"$build/bench/bench_make_media" "$folder" 2000 2>/dev/null
printf '[Set]\nAuto_Play=1\n' > "$folder/config.ini"
cat > "$work/day.csv" <<CSV
时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日
8,0,0,wav,Music/bell.wav,1,1,1,1,1,1,1
8,0,4,mp3,Music/bell.mp3,1,1,1,1,1,1,1
8,0,8,wma,Music/bell.wma,1,1,1,1,1,1,1
8,0,12,mid,Music/bell.mid,1,1,1,1,1,1,1
8,0,16,random,随机音乐,1,1,1,1,1,1,1
CSV
"$folder/tollvane-table" import "$folder/Data/temp.dat" "$work/day.csv" >/dev/null

rss() { awk '/^VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$pid/status"; }
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }

export TOLLVANE_NOW=2026-12-07T07:59:48 XDG_RUNTIME_DIR="$work"
xvfb-run -a -s "-screen 0 1024x768x24" "$folder/tollvane" 2>"$work/log" &
for _ in $(seq 100); do
    pid=$(pgrep -f "^$folder/tollvane --supervised" || true)  # the bell program, not its supervisor
    [ -n "$pid" ] && break
    sleep 0.1
done
sleep 10   # start-up tune played
echo "resident memory at rest:            $(rss) MB"
sleep 30   # 08:00:28: every format has rung and ended
echo "after WAV, MP3, WMA, MIDI, playlist: $(rss) MB"
ticks=$(getconf CLK_TCK)
before=$(cpu)
sleep 30
after=$(cpu)
echo "30 s later:                         $(rss) MB"
awk -v a="$after" -v b="$before" -v t="$ticks" \
    'BEGIN {printf "idle CPU (auto-play on, nothing playing): %.2f %% of one core\n", (a - b) / t / 30 * 100}'
if [ -n "${FOOTPRINT_MAPS:-}" ]; then awk '/^[0-9a-f]+-/ {name=$6} /^Rss:/ {r[name]+=$2} END {for (n in r) printf "%8d kB %s\n", r[n], n}' "/proc/$pid/smaps" | sort -rn | head -25; fi
echo "rings logged: $(grep -c ' ring ' "$work/log"), errors: $(grep -c ' error ' "$work/log" || true)"
