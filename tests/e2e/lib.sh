# Shared pieces of the end-to-end scripts: checks, a program folder of the test's own, an X
# server, a sound server, the program started on them and its event log read with deadlines.
# Source it with the built program folder in $built; everything lives in $work and goes with it.
fail=0
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; return 1; fi; }

# program_folder DIR: the program, its font and tune, empty tables, Music/ and 随机音乐/.
program_folder() {
    mkdir -p "$1/Music" "$1/随机音乐"
    cp "$built/tollvane" "$built/digital.ttf" "$built/sys.mp3" "$built/tollvane.svg" "$1/"
    "$built/tollvane-table" init "$1/Data" >/dev/null
}

# tone FILE SECONDS [HZ]: a mono 8 kHz WAV (silence when HZ is 0), or 44.1 kHz stereo with HZ.
tone() {
    /usr/bin/python3 - "$@" <<'PY'
import math, struct, sys, wave
path, seconds = sys.argv[1], float(sys.argv[2])
hz = float(sys.argv[3]) if len(sys.argv) > 3 else 0
rate, channels = (44100, 2) if hz else (8000, 1)
with wave.open(path, "wb") as w:
    w.setnchannels(channels); w.setsampwidth(2); w.setframerate(rate)
    frames = bytearray()
    for i in range(int(rate * seconds)):
        v = int(12000 * math.sin(2 * math.pi * hz * i / rate)) if hz else 0
        frames += struct.pack("<" + "h" * channels, *([v] * channels))
    w.writeframes(bytes(frames))
PY
}

# An X server of the test's own; no D-Bus, so the XEmbed tray is used and no daemon outlives us.
# Servers of tests that run side by side pick their displays one at a time: two that pick at once
# can both try the same display, and the loser's attempt can cut the winner's socket off.
start_x() {
    exec 5<> <(:)
    exec 6>"${TMPDIR:-/tmp}/tollvane-xvfb-start.lock"
    flock -w 30 6
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 6>&- &
    pids+=($!)
    read -r -t 10 num <&5 || { echo "FAILED: Xvfb did not start"; exit 1; }
    exec 6>&-
    export DISPLAY=":$num"
    export DBUS_SESSION_BUS_ADDRESS=disabled:
}

# A PulseAudio server of the test's own with a null sink "bells", in $work.
start_pulse() {
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
}

# start_app FOLDER [VAR=VALUE...]: the program started there, its log in $log, its process in
# $app and its main window in $window.
start_app() {
    local folder=$1
    shift
    start_binary "$folder/tollvane" "$@"
}

# start_binary BINARY [VAR=VALUE...]: as start_app, for a binary that finds its own folder.
start_binary() {
    local binary=$1
    shift
    log="$work/log"
    env XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work}" TOLLVANE_AUDIO_SINK="fakesink sync=true" \
        LSAN_OPTIONS="${LSAN_OPTIONS:-}" "$@" "$binary" 2>"$log" &
    app=$!
    pids+=($app)
    window=""
    window=$(find_window '^Tollvane V1\.3\.3$')
    check "the window is up" '[ -n "$window" ]' || tail -5 "$log"
}

# The bell program's process id: $app is the supervisor, the program runs as its child.
bell_pid() {
    local kid=""
    for _ in $(seq 50); do
        kid=$(cat "/proc/$app/task/$app/children" 2>/dev/null | cut -d' ' -f1)
        [ -n "$kid" ] && break
        sleep 0.1
    done
    echo "$kid"
}

# until_gone PID: waits (up to 5 s) until that process has ended (a zombie has ended too).
until_gone() {
    for _ in $(seq 500); do
        [ -z "$1" ] || [ ! -e "/proc/$1" ] || grep -q '^State:.*Z' "/proc/$1/status" 2>/dev/null &&
            return 0
        sleep 0.01
    done
    return 1
}

# find_window TITLE_REGEX: the program's window of that title, once it is on screen (up to 10 s).
# Never the main window itself: xdotool's search can match it for a title of its dialogs.
find_window() {
    local found=""
    for _ in $(seq 100); do
        found=$(xdotool search --onlyvisible --pid "$(bell_pid)" --name "$1" 2>/dev/null |
            grep -vx "${window:-none}" | head -1)
        [ -n "$found" ] && break
        sleep 0.1
    done
    echo "$found"
}

count() { grep -cE "$1" "$log" 2>/dev/null; }
# waitfor PATTERN [SECONDS]: a log line matching PATTERN appears.
waitfor() { waitmore "$1" 0 "${2:-20}"; }
# waitmore PATTERN N [SECONDS]: more than N log lines match PATTERN.
waitmore() {
    local deadline=$((SECONDS + ${3:-20}))
    while ((SECONDS < deadline)); do
        [ "$(count "$1")" -gt "$2" ] && return 0
        sleep 0.2
    done
    return 1
}
# The program's windows on screen, and waiting for their number.
windows() { xdotool search --onlyvisible --pid "$(bell_pid)" 2>/dev/null | wc -l; }
untilwindows() {
    for _ in $(seq 100); do [ "$(windows)" -eq "$1" ] && return 0; sleep 0.1; done
    echo "FAILED: waiting for $1 windows"; fail=1
}
# A click at a place of the main window (its layout is fixed).
click() { xdotool mousemove --window "$window" "$1" "$2" click "${3:-1}"; }

finish() {
    [ $fail -eq 0 ] || { echo "--- log"; cat "$log"; }
    exit $fail
}
