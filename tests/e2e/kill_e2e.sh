#!/usr/bin/env bash
# Kill tests: the real program or tool is killed with SIGKILL at random moments while it writes,
# KILL_TRIALS times (50 unless set), and after each kill every file it was writing must be whole:
#   settings   the two option boxes ticked in a loop: config.ini is the old or the new file, whole
#   edits      rows added through the window, and the table cleared: the table opens and holds
#              the rows before or after the last change
#   import     tollvane-table import of 5,000 rows: the table holds the old rows or the new ones
#   recording  a recording in progress: the file recorded into is a valid WAV of what was
#              written (or the 44-byte header), and its target is not touched
# Usage: kill_e2e.sh PROGRAM_FOLDER settings|edits|import|recording
set -u
built=$1
what=$2
trials=${KILL_TRIALS:-50}
source "$(dirname "$0")/lib.sh"
damaged=0
outcomes=""  # what each kill left: a row count, a MiniRun value, a data size
log="$work/log"

# A random delay of 0 to $1 milliseconds, in seconds.
pause() {
    local ms=$((RANDOM % $1))
    sleep "$(printf '%d.%03d' $((ms / 1000)) $((ms % 1000)))"
}
# The xdotool runs a trial starts in the background, ended with the program by their ids.
helpers=()
killapp() {
    local kid
    kid=$(cat "/proc/$app/task/$app/children" 2>/dev/null | cut -d' ' -f1)
    kill -KILL "$app" 2>/dev/null  # the supervisor; the program it runs goes with it
    wait "$app" 2>/dev/null
    until_gone "$kid"
    local p
    for p in "${helpers[@]}"; do
        kill -KILL "$p" 2>/dev/null
        wait "$p" 2>/dev/null
    done
    helpers=()
}
# start_trial VAR=VALUE...: the program started for one trial. A start that cannot reach the X
# server (seen once in hundreds of starts on a loaded machine) is said and tried again.
start_trial() {
    local before=$fail
    for attempt in 1 2 3; do
        start_app "$work/app" "$@" >/dev/null
        if [ -n "$window" ]; then
            fail=$before
            return 0
        fi
        echo "the program did not come up (attempt $attempt):"
        tail -3 "$log"
        killapp
    done
    echo "FAILED: the program did not come up"
}
judge() {  # judge TRIAL CHECK-OUTPUT: the check printed "ok ..." or why the file is damaged
    case "$2" in
    ok*) outcomes+=" ${2#ok }" ;;
    *) echo "damaged after kill $1: $2"; damaged=$((damaged + 1)) ;;
    esac
}

settings_ok() {
    /usr/bin/python3 - "$1" <<'PY'
import re, sys
data = open(sys.argv[1], "rb").read()
text = data.decode("utf-8")
lines = text.split("\n")
if lines[-1] != "":
    sys.exit(print("no line break at the end"))
keys = [l.split("=")[0] for l in lines[:-1] if "=" in l]
bad = [l for l in lines[:-1] if not re.fullmatch(r"\[(Set|CloseTime)\]|[A-Za-z_]+=-?\d+", l)]
if bad or len(keys) != len(set(keys)) or "RunMode" not in keys:
    sys.exit(print("bad lines", bad, keys))
print("ok", dict(l.split("=") for l in lines if "=" in l).get("MiniRun", "-"))
PY
}

table_ok() {  # table_ok TABLE EXPECTED-ROWS...: integrity, and the rows are one of the sets
    local table=$1
    shift
    /usr/bin/python3 - "$table" "$@" <<'PY' 2>&1
import sqlite3, sys
path, allowed = sys.argv[1], [int(n) for n in sys.argv[2:]]
db = sqlite3.connect(path)
if db.execute("pragma integrity_check").fetchone()[0] != "ok":
    sys.exit(print("integrity check failed"))
rows = db.execute("select 时, 分, 秒 from schedule").fetchall()
if len(rows) not in allowed:
    sys.exit(print(len(rows), "rows, expected one of", allowed))
print("ok", len(rows))
PY
}

wav_ok() {
    /usr/bin/python3 - "$1" <<'PY'
import struct, sys, wave
data = open(sys.argv[1], "rb").read()
if len(data) < 44:
    sys.exit(print("shorter than the header:", len(data)))
riff, = struct.unpack_from("<I", data, 4)
ch, rate, byte_rate, align, bits = struct.unpack_from("<HIIHH", data, 22)
size, = struct.unpack_from("<I", data, 40)
if data[:4] != b"RIFF" or data[8:16] != b"WAVEfmt " or data[36:40] != b"data":
    sys.exit(print("not a WAV header"))
if riff != 36 + size or size % align or 44 + size > len(data):
    sys.exit(print("sizes", riff, size, len(data)))
# The header may lag the samples by the one buffer being written when the kill came.
if len(data) - 44 - size > byte_rate // 5:
    sys.exit(print("header counts", size, "of", len(data) - 44, "bytes"))
with wave.open(sys.argv[1]) as w:
    if w.getnframes() * align != size:
        sys.exit(print("wave module reads", w.getnframes(), "frames"))
print("ok", size)
PY
}

program_folder "$work/app"
start_x
export TOLLVANE_SHUTDOWN_COMMAND=true
header='时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日'
started=$SECONDS

case "$what" in
settings)
    seen=""
    for trial in $(seq "$trials"); do
        start_trial TOLLVANE_NOW=2026-12-07T10:00:00
        # 启动隐藏 and 定时关机, each click a write of config.ini
        xdotool mousemove --window "$window" 444 235 click --repeat 200 --delay 5 1 &
        helpers+=($!)
        pause 800
        killapp
        judge "$trial" "$(settings_ok "$work/app/config.ini")"
    done
    check "kills came with the box at 0 and at 1" '[[ $outcomes == *0* && $outcomes == *1* ]]'
    ;;
edits)
    printf '%s\n8,0,0,Bell,Music/bell.wav,1,1,1,1,1,1,1\n' "$header" >"$work/rows.csv"
    tone "$work/app/Music/bell.wav" 0.1
    for trial in $(seq "$trials"); do
        "$built/tollvane-table" import "$work/app/Data/temp.dat" "$work/rows.csv" >/dev/null 2>&1
        start_trial TOLLVANE_NOW=2026-12-07T10:00:00
        if ((trial % 3 == 0)); then  # "清空项目" and its question: the copy, then the clear
            click 187 414
            for _ in $(seq 50); do [ "$(windows)" -eq 2 ] && break; sleep 0.05; done
            xdotool key Return &
            helpers+=($!)
            pause 150
            killapp
            judge "$trial" "$(table_ok "$work/app/Data/temp.dat" 0 1)"
            for copy in "$work/app/Data/backup/"*.dat; do
                [ -e "$copy" ] && judge "$trial" "$(table_ok "$copy" 1)"
            done
            rm -rf "$work/app/Data/backup"
            continue
        fi
        # The first row loaded by a double-click and added again at second 1, 2, 3... in a loop
        # (adding empties the fields).
        ( (for s in $(seq 1 40); do
            kill -0 "$app" 2>/dev/null || break
            xdotool mousemove --window "$window" 100 38 click --repeat 2 --delay 60 1
            xdotool mousemove --window "$window" 568 285 click 1 key ctrl+a type "$s"
            xdotool mousemove --window "$window" 113 414 click 1
        done) 2>/dev/null &)
        pause 3000
        killapp
        judge "$trial" "$(table_ok "$work/app/Data/temp.dat" $(seq 1 41))"
    done
    ;;
import)
    /usr/bin/python3 -c "
print('$header')
for i in range(5000): print(f'{i // 3600},{i // 60 % 60},{i % 60},事件{i},Music/a.wav,1,1,1,1,1,0,0')" \
        >"$work/big.csv"
    printf '%s\n8,0,0,Old,Music/a.wav,1,1,1,1,1,0,0\n9,0,0,Old,Music/a.wav,1,1,1,1,1,0,0\n' \
        "$header" >"$work/old.csv"
    table="$work/app/Data/temp.dat"
    # The kills are spread over one and a half times what a whole import takes on this machine
    # now, so that some fall before its commit and some after, on a fast or a loaded machine.
    begun=$(date +%s%N)
    "$built/tollvane-table" import "$table" "$work/big.csv" >/dev/null 2>&1
    span=$((($(date +%s%N) - begun) * 3 / 2 / 1000000 + 1))
    for trial in $(seq "$trials"); do
        "$built/tollvane-table" import "$table" "$work/old.csv" >/dev/null 2>&1
        "$built/tollvane-table" import "$table" "$work/big.csv" >/dev/null 2>&1 &
        app=$!
        pause "$span"
        killapp
        judge "$trial" "$(table_ok "$table" 2 5000)"
        "$built/tollvane-table" export "$table" >/dev/null 2>&1 || judge "$trial" "export fails"
    done
    check "kills came before and after the import's commit" \
        '[[ " $outcomes " == *" 2 "* && " $outcomes " == *" 5000 "* ]]'
    ;;
recording)
    for trial in $(seq "$trials"); do
        rm -f "$work/app/Music/"*.wav "$work/app/Music/"*.recording
        start_trial TOLLVANE_NOW=2026-12-07T10:00:00 \
            TOLLVANE_AUDIO_SOURCE="audiotestsrc is-live=true wave=sine"
        # A busy machine may take a click before the window is ready: try again.
        recording=false
        for _ in 1 2 3; do
            click 39 414  # "录音" (a click while the recorder is open goes nowhere: it is modal)
            recorder=$(find_window '^录音$')
            # "开始录音", clicked: keys under load could land in the name field
            [ -n "$recorder" ] && xdotool mousemove --window "$recorder" 321 163 click 1
            if waitfor " record-start " 6; then
                recording=true
                break
            fi
        done
        if ! $recording; then
            echo "FAILED: no recording in trial $trial"
            tail -5 "$log"
            fail=1
            killapp
            continue
        fi
        pause 1500
        killapp
        # The file the log names (a key that reached the name field changes the name).
        target=$(grep -m1 " record-start " "$log" | sed -E 's/^.* record-start (.*) [12]ch [0-9]+bit [0-9]+Hz$/\1/')
        [ "$(basename "$target")" = Temp.wav ] || echo "trial $trial recorded into $target"
        # Killed while recording: the file recorded into is valid up to the kill, and the
        # target was never made (it is replaced only at the stop).
        if [ -e "$target" ]; then
            judge "$trial" "the target exists before the stop"
        else
            judge "$trial" "$(wav_ok "$target.recording" 2>&1)"
        fi
    done
    ;;
esac

echo "$what: $trials kills in $((SECONDS - started)) s, $damaged damaged files; left:$outcomes"
check "no file is damaged" '[ "$damaged" -eq 0 ]'
finish
