#!/usr/bin/env bash
# "自动启动" ticked in the real program on a real X server, from program folders with awkward
# names: the entry it writes passes desktop-file-validate and starts the right program through
# GLib's launcher (gio launch) and, where systemd can start such a path at all, through systemd's
# autostart generator; where it cannot, the program said so.
# Usage: autostart_e2e.sh PROGRAM_FOLDER
set -u
built=$1
source "$(dirname "$0")/lib.sh"
start_x

# try NAME SYSTEMD_CAN: one program folder named NAME; SYSTEMD_CAN is yes when systemd's
# generator can start a program there.
try() {
    local name=$1 systemd_can=$2
    local case="$work/case$((++cases))"
    local folder="$case/$name"
    mkdir -p "$case/xdg" "$case/home"
    program_folder "$folder"
    start_app "$folder" XDG_RUNTIME_DIR="$case" XDG_CONFIG_DIRS="$case/xdg" \
        XDG_CONFIG_HOME="$case/home"
    local entry="$case/xdg/autostart/Tollvane.desktop"
    # A click that a busy X server loses is made again, as a user would.
    for _ in 1 2 3; do
        click 530 213  # "自动启动"
        waitfor " autostart-(on|off|failed) " 5 && break
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
finish
