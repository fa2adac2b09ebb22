#!/usr/bin/env bash
# A timetable typed in, changed and cut down through the real window on a real X server, with
# the mouse and the keyboard (xdotool), then read back with tollvane-table export. The names are
# typed in ASCII: xdotool types other characters by remapping keys, which X may apply late.
# Usage: editing_e2e.sh PROGRAM_FOLDER
set -u
built=$1
source "$(dirname "$0")/lib.sh"

program_folder "$work/app"
bell="$work/app/Music/bell.wav"
tone "$bell" 0.1
start_x
start_app "$work/app" TOLLVANE_NOW=2026-12-07T10:00:00
waitfor " startup-tune "

# The edit group's places; X delivers the input in order, so only a window that is to open (a
# dialog, a question) is waited for.
field() {  # field X Y TEXT: replace a field's text by typing
    click "$1" "$2"
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 30 "$3"
}
hour() { field 432 285 "$1"; }
minute() { field 500 285 "$1"; }
second() { field 568 285 "$1"; }
event() { field 500 335 "$1"; }
choose_sound() {  # the folder button; the dialog opens in Music/: type the name, Return
    click 577 361
    untilwindows 2
    # Typed only once the dialog has the keyboard: on a busy machine keys sent as it maps went
    # to the main window, and the dialog never got the name.
    local dialog
    dialog=$(xdotool search --onlyvisible --pid "$(bell_pid)" 2>/dev/null | grep -vx "$window" | head -1)
    [ -n "$dialog" ] && timeout 5 xdotool windowfocus --sync "$dialog" 2>/dev/null
    xdotool type --delay 20 "$1"
    # Return may first take the name the completer offers; then once more opens the file.
    for _ in 1 2 3; do
        xdotool key Return
        for _ in $(seq 20); do [ "$(windows)" -eq 1 ] && return 0; sleep 0.1; done
    done
    untilwindows 1
}
add() { click 113 414; }
save() { click 335 414; }
delete() { click 261 414; }
ok() { untilwindows 2; xdotool key Return; untilwindows 1; }  # OK is the default button

hour 8; minute 5; second 0; event "Class"; choose_sound bell.wav; add
check "a row is added" 'waitmore " row-add " 0'
hour 9; minute 0; second 0; event "Break"; choose_sound bell.wav; add
check "a second row is added" 'waitmore " row-add " 1'

xdotool mousemove --window "$window" 100 38 click --repeat 2 --delay 60 1  # double-click row 1
event "First"
save; ok
check "the loaded row is saved" 'waitmore " row-save " 0'

click 100 58  # row 2
delete; ok
check "the highlighted row is deleted" 'waitmore " row-delete " 0'

"$built/tollvane-table" export "$work/app/Data/temp.dat" >"$work/out.csv"
# Chosen inside the program folder, the sound is stored relative to it.
expected="8,5,0,First,Music/bell.wav,1,1,1,1,1,1,1"
check "the table holds exactly what was typed" '[ "$(sed -n 2p "$work/out.csv" | sed "s/\"//g")" = "$expected" ] && [ $(wc -l <"$work/out.csv") -eq 2 ]'

click 187 414; ok  # "清空项目"
check "clearing empties the table" 'waitfor " table-clear " && [ "$("$built/tollvane-table" export "$work/app/Data/temp.dat" | wc -l)" -eq 1 ]'
backup=$(ls "$work/app/Data/backup/"temp-*.dat 2>/dev/null | head -1)
check "and keeps a copy of what it held" '[ -n "$backup" ] && "$built/tollvane-table" export "$backup" | cmp -s - "$work/out.csv"'
kill "$app"
wait "$app"
check "no error" '! grep -q " error " "$log"'
finish
