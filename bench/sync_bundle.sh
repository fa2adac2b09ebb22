#!/usr/bin/env bash
# How long a bell PC takes to follow the school's bundle over HTTP (python's web server on
# 127.0.0.1), with the real program under Xvfb:
#  - publishing a bundle with 50 MB of sounds, and the follower's first sync of it (the
#    sync-follow line to the sync line of its log);
#  - the sync of a version in which only a table changed (its 50 MB of sounds are checked on the
#    PC, not fetched), at the follower's next start;
#  - at a 1-minute interval, the time from each new version's switch (a table changed and
#    published at a random moment) to the follower's log saying it took it in, 3 times.
# Usage: bench/sync_bundle.sh [build folder] [switches]   (default build-rel, 3)
set -euo pipefail
build=$(realpath "${1:-build-rel}")
switches=${2:-3}
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"' EXIT
tool="$build/Tollvane/tollvane-table"
ms() { date +%s%3N; }
stamp_ms() { # a log line's clock time in ms since the epoch
    date -d "$(cut -d' ' -f1 <<<"$1" | tr T ' ')" +%s%3N
}

mkdir -p "$work/school/Music" "$work/school/随机音乐"
"$tool" init "$work/school/Data" >/dev/null
{
    echo "时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日"
    for i in $(seq 0 9); do
        head -c $((5 * 1024 * 1024)) /dev/urandom >"$work/school/Music/bell$i.wav"
        echo "$((8 + i)),0,0,铃$i,Music/bell$i.wav,1,1,1,1,1,0,0"
    done
} >"$work/rows.csv"
"$tool" import "$work/school/Data/temp.dat" "$work/rows.csv" >/dev/null 2>&1
t0=$(ms)
"$tool" publish "$work/school" "$work/www" >/dev/null 2>&1
echo "publish, 50 MB of sounds: $(($(ms) - t0)) ms"

python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/www" >"$work/http.log" 2>&1 &
pids+=($!)
port=""
for _ in $(seq 50); do
    port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$work/http.log" | head -1)
    [ -n "$port" ] && break
    sleep 0.1
done

cp -r "$build/Tollvane" "$work/pc"
rm -rf "$work/pc/Logs" "$work/pc/Data" "$work/pc/Cache"
"$tool" init "$work/pc/Data" >/dev/null
printf '[Sync]\nSource=http://127.0.0.1:%s/\nInterval=1\n' "$port" >"$work/pc/config.ini"
exec 5<> <(:)
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
read -r -t 10 num <&5
log="$work/log"
syncs() { grep -c ' sync ' "$log" || true; }
follower() { # starts the follower; $took: the time from its sync-follow line to its sync line
    DISPLAY=":$num" DBUS_SESSION_BUS_ADDRESS=disabled: TOLLVANE_AUDIO_SINK=fakesink \
        "$work/pc/tollvane" >/dev/null 2>"$log" &
    app=$!
    pids+=($app)
    until [ "$(syncs)" -ge 1 ]; do sleep 0.1; done
    local follow first
    follow=$(grep ' sync-follow ' "$log")
    first=$(grep ' sync ' "$log" | head -1)
    took="$(($(stamp_ms "$first") - $(stamp_ms "$follow"))) ms ($(cut -d' ' -f3- <<<"$first"))"
}
change() { # the 8:00 row renamed, imported and published
    sed -i "2s/^8,0,0,[^,]*,/8,0,0,上课$1,/" "$work/rows.csv"
    "$tool" import "$work/school/Data/temp.dat" "$work/rows.csv" >/dev/null 2>&1
    "$tool" publish "$work/school" "$work/www" >/dev/null 2>&1
}
follower
echo "first sync over HTTP, 50 MB of sounds: $took"
kill "$app"
wait "$app" 2>/dev/null || true
change 0
follower
echo "sync of a changed table, the 50 MB of sounds already on the PC: $took"

for n in $(seq "$switches"); do
    sleep $((RANDOM % 60)).$((RANDOM % 10))
    before=$(syncs)
    change "$n"
    t0=$(ms)  # the manifest is in place: the switch
    until [ "$(syncs)" -gt "$before" ]; do sleep 0.05; done
    echo "switch $n to the follower's new table: $(($(ms) - t0)) ms"
done
