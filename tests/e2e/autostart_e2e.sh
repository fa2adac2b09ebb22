#!/usr/bin/env bash
# "自动启动" ticked in the real program on a real X server, from program folders with awkward
# names: the entry it writes passes desktop-file-validate and starts the right program through
# GLib's launcher (gio launch) and, where systemd can start such a path at all, through systemd's
# autostart generator; where it cannot, the program said so.
# Usage: autostart_e2e.sh PROGRAM_FOLDER
set -u
built=$1
here=$(cd "$(dirname "$0")" && pwd)
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

exec 5<> <(:)
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 num <&5 || { echo "FAILED: Xvfb did not start"; exit 1; }
export DISPLAY=":$num"
export DBUS_SESSION_BUS_ADDRESS=disabled:

waitfor() {  # waitfor FILE PATTERN [SECONDS]
    local deadline=$((SECONDS + ${3:-20}))
    while ((SECONDS < deadline)); do
        grep -qE "$2" "$1" 2>/dev/null && return 0
        sleep 0.2
    done
    return 1
}

# try NAME SYSTEMD_CAN: one program folder named NAME; SYSTEMD_CAN is yes when systemd's
# generator can start a program there.
try() {
    local name=$1 systemd_can=$2
    local case="$work/case$((++cases))"
    local folder="$case/$name"
    mkdir -p "$folder" "$case/xdg" "$case/home"
    cp "$built/tollvane" "$built/digital.ttf" "$built/sys.mp3" "$built/tollvane.svg" "$folder/"
    "$built/tollvane-table" init "$folder/Data" >/dev/null
    local log="$case/log"
    XDG_RUNTIME_DIR="$case" XDG_CONFIG_DIRS="$case/xdg" XDG_CONFIG_HOME="$case/home" \
        TOLLVANE_AUDIO_SINK="fakesink sync=true" LSAN_OPTIONS="${LSAN_OPTIONS:-}" \
        "$folder/tollvane" 2>"$log" &
    local app=$!
    pids+=($app)
    waitfor "$log" " table-open "
    local window=""
    for _ in $(seq 50); do
        window=$(xdotool search --pid "$app" --name '^Tollvane V1\.3\.3$' 2>/dev/null | head -1)
        [ -n "$window" ] && break
        sleep 0.2
    done
    local entry="$case/xdg/autostart/Tollvane.desktop"
    # A click that a busy X server loses is made again, as a user would.
    for _ in 1 2 3; do
        xdotool mousemove --window "$window" 530 213 click 1  # "自动启动"
        waitfor "$log" " autostart-(on|off|failed) " 5 && break
    done
    check "[$name] ticking writes the machine-wide entry" \
        '[ "$(grep " autostart-" "$log" | head -1 | cut -d" " -f3-)" = "$entry" ]'
    kill "$app"
    wait "$app"
    check "[$name] desktop-file-validate accepts it" 'desktop-file-validate "$entry"'

    # The program is replaced by a probe that says what was started.
    printf '#!/bin/sh\nprintf "%%s" "$0" > "%s/ran"\n' "$case" >"$folder/tollvane"
    chmod +x "$folder/tollvane"
    gio launch "$entry" >/dev/null 2>&1
    check "[$name] gio launch starts the program there" \
        'for _ in $(seq 50); do [ -s "$case/ran" ] && break; sleep 0.1; done; [ "$(cat "$case/ran")" = "$folder/tollvane" ]'
    local parsed
    parsed=$(/usr/bin/python3 "$here/x11/systemd_exec.py" "$case/xdg" "$case/home")
    if [ "$systemd_can" = yes ]; then
        check "[$name] systemd's generator starts it too" '[ "$parsed" = "$folder/tollvane" ]'
        check "[$name] no warning" '! grep -q " autostart-warning " "$log"'
    else
        check "[$name] systemd's generator cannot ($parsed)" '[ "$parsed" != "$folder/tollvane" ]'
        check "[$name] and the program said so" 'grep -q " autostart-warning " "$log"'
    fi
}

cases=0
try 'Bells 铃声 "quoted" '\''single'\'' 100% %f' yes
try 'odd $HOME `id` back\slash %%' no

exit $fail
