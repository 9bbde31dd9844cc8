#!/usr/bin/env bash
# Runs the real program on a virtual display: the start-up picture must come first,
# then the main window "Tarsen Rigsmith". Every window must carry exactly its own title
# as the window system shows it, also the main window while a lamp window is maximised
# in it. Save As of a name typed without an extension must write the name with the
# extension Open looks for. File > Exit must end the program and leave the window
# placement in the settings store, as placed when the window was not moved. A second
# run must open the window at the placement stored before and write it back unchanged.
# A third run, given a lamp file and a missing file, must report the missing one
# and hold exactly one lamp window. A fourth run goes through the Edit keys: a typed name
# taken back with Ctrl+Z and brought again with the redo key, each saved with Ctrl+S, and
# the channel rows of one lamp copied with Ctrl+C and pasted into a new lamp with Ctrl+V.
#
# Usage: startup_e2e.sh path/to/rigsmith
set -Eeuo pipefail
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND (status $?)" >&2' ERR

fail() {
    echo "FAIL: $*" >&2
    if [ -s "${work:-}/xvfb.log" ]; then
        echo "--- Xvfb said:" >&2
        cat "$work/xvfb.log" >&2
    fi
    exit 1
}

rigsmith=$(realpath "${1:?usage: startup_e2e.sh path/to/rigsmith}")
[ -x "$rigsmith" ] || fail "no executable at $rigsmith"
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done

work=$(mktemp -d)
pid=
xvfb=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    true
    rm -rf "$work"
}
trap cleanup EXIT

# Our own virtual display at a random high number. Tests running side by side (and
# xvfb-run, which counts up from 99) may reach for the same number, so the display only
# counts as ours once its lock file names our server and it answers. Without -noreset
# the server resets whenever its last client leaves and refuses the next program start
# for that moment. A whole-number 96 dpi makes twips and pixels convert exactly (15 to 1).
start_display() {
    local number
    for _ in $(seq 10); do
        number=$((200 + RANDOM % 800))
        [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset 2>"$work/xvfb.log" &
        xvfb=$!
        for _ in $(seq 100); do
            kill -0 "$xvfb" 2>/dev/null || break
            if [ "$(tr -d ' ' <"/tmp/.X$number-lock" 2>/dev/null || true)" = "$xvfb" ] &&
                DISPLAY=":$number" xdotool getdisplaygeometry >/dev/null 2>&1; then
                export DISPLAY=":$number"
                return 0
            fi
            sleep 0.1
        done
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
        xvfb=
    done
    fail "no virtual display could be started"
}
unset QT_QPA_PLATFORM WAYLAND_DISPLAY XAUTHORITY
start_display

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
settings="$XDG_CONFIG_HOME/Rigsmith/Rigsmith.conf"

now_ms() { date +%s%3N; }

visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true; }

# Starts the program with any further arguments and waits (at most 30 s) for the main
# window; sets $pid and $main.
start_program() {
    local log=$1 started splash_seen=no id geometry
    shift
    started=$(now_ms)
    "$rigsmith" "$@" >"$log" 2>&1 &
    pid=$!
    main=
    for _ in $(seq 300); do
        if ! kill -0 "$pid" 2>/dev/null; then
            local status=0
            wait "$pid" || status=$?
            pid=
            cat "$log" >&2
            fail "the program ended (status $status) before its main window appeared"
        fi
        id=$(visible_window '^Rigsmith$')
        if [ -n "$id" ]; then
            # The window may be gone between the search and this question.
            geometry=$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: //p' || true)
            [ "$geometry" = "485x326" ] && splash_seen=yes
        fi
        main=$(visible_window '^Tarsen Rigsmith$')
        [ -n "$main" ] && break
        sleep 0.1
    done
    [ -n "$main" ] || fail "no window 'Tarsen Rigsmith' within 30 s"
    [ "$splash_seen" = yes ] || fail "the 485x326 start-up picture was not shown before the main window"
    local waited=$(($(now_ms) - started))
    [ "$waited" -ge 3000 ] || fail "the main window appeared after $waited ms, before the 3000 ms start-up picture ended"
    [ -z "$(visible_window '^Rigsmith$')" ] || fail "the start-up picture is still shown beside the main window"
}

# File > Exit through the keyboard, then wait (at most 15 s) for the program to end.
exit_program() {
    xdotool windowfocus --sync "$main"
    sleep 0.3
    xdotool key --clearmodifiers alt+f
    sleep 0.5
    xdotool key --clearmodifiers x
    wait_for_end
}

wait_for_end() {
    for _ in $(seq 150); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the program still runs 15 s after File > Exit"
    local status=0
    wait "$pid" || status=$?
    pid=
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}

stored() { sed -n "/^\[Settings\]/,/^\[/s/^$1=//p" "$settings"; }

# Waits (at most 10 s) for a visible window titled exactly $1 and prints its id. The
# search sees the plain WM_NAME; the title a desktop shows is _NET_WM_NAME, which
# getwindowname reads.
wait_window() {
    local id
    for _ in $(seq 100); do
        id=$(visible_window "^$1")
        if [ -n "$id" ]; then
            expect_title "$id" "$1"
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    echo "visible windows:" >&2
    all_titles >&2
    fail "no window titled exactly '$1' within 10 s"
}

all_titles() {
    local id
    for id in $(xdotool search --onlyvisible --name '' 2>/dev/null || true); do
        xdotool getwindowname "$id" 2>/dev/null || true
    done
}

# The title the window system shows for window $1 must be exactly $2.
expect_title() {
    local shown
    shown=$(xdotool getwindowname "$1")
    [ "$shown" = "$2" ] || fail "window title is '$shown', expected exactly '$2'"
}

keys() {
    local key
    for key in "$@"; do
        xdotool key --clearmodifiers "$key"
        sleep 0.3
    done
}

# Maximises the lamp window at the top left of the client area with a double click on
# its title bar, found by stepping down from the menu bar.
maximise_first_child() {
    local y
    for y in $(seq 20 4 120); do
        xdotool mousemove --window "$main" 300 "$y" click --repeat 2 --delay 80 1
        sleep 0.3
        case $(xdotool getwindowname "$main") in *'[New Lamp]'*) return 0 ;; esac
    done
    fail "the lamp window could not be maximised"
}

# First start: empty store, default placement.
start_program "$work/first.log"
expect_title "$main" "Tarsen Rigsmith"

# A message box: File > Close with no window open.
xdotool windowfocus --sync "$main"
keys alt+f c
wait_window "Error" >/dev/null
keys Return

# A maximised lamp window names itself in the main window's title, and nothing more.
xdotool windowfocus --sync "$main"
keys alt+f n Return
maximise_first_child
expect_title "$main" "Tarsen Rigsmith - [New Lamp]"
# Its close question is a dialog of its own.
keys alt+f c
wait_window "Close Window" >/dev/null
keys Escape

# Save As of a name typed without an extension writes the name Open reads back: the
# lamp as mylamp.lmp, the stage patch as myshow.pat.
mkdir "$work/shows"
save_as() {
    xdotool windowfocus --sync "$main"
    keys alt+f a
    wait_window "$1" >/dev/null
    keys ctrl+a
    xdotool type --delay 20 "$2"
    keys Return
}
expect_file() {
    for _ in $(seq 50); do
        [ -f "$1" ] && [ "$(stat -c %s "$1")" = "$2" ] && return 0
        sleep 0.1
    done
    ls -la "$(dirname "$1")" >&2
    fail "no file of $2 bytes at $1"
}
save_as "Save Lamp as" "$work/shows/mylamp"
expect_file "$work/shows/mylamp.lmp" 1622
[ ! -e "$work/shows/mylamp" ] || fail "the lamp was also written without its extension"

# A new stage patch, started from File > New > Stage Patch, with its lamp toolbox.
xdotool windowfocus --sync "$main"
keys alt+f n Down Return
wait_window "Lamps" >/dev/null
save_as "Save As" "$work/shows/myshow"
expect_file "$work/shows/myshow.pat" 29056
[ ! -e "$work/shows/myshow" ] || fail "the patch was also written without its extension"

sleep 0.3
if all_titles | grep -q ' — '; then
    all_titles >&2
    fail "a window title carries more than its own text"
fi

# Exit: everything is saved, so nothing is asked.
exit_program
[ -f "$settings" ] || fail "no settings file at $settings"
for pair in MainLeft=1000 MainTop=1000 MainWidth=6500 MainHeight=6500; do
    [ "$(stored "${pair%%=*}")" = "${pair#*=}" ] || fail "${pair%%=*} is '$(stored "${pair%%=*}")' after a first start"
done

# Second start: the stored placement (whole inches) comes back in pixels at 96 dpi.
cat >"$settings" <<'EOF'
[Settings]
MainLeft=2880
MainTop=1440
MainWidth=9600
MainHeight=7200
EOF
start_program "$work/second.log"
geometry=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p;s/.*Geometry: //p' | paste -sd ' ')
[ "$geometry" = "192,96 640x480" ] || fail "window at '$geometry', expected '192,96 640x480'"
exit_program
for pair in MainLeft=2880 MainTop=1440 MainWidth=9600 MainHeight=7200; do
    [ "$(stored "${pair%%=*}")" = "${pair#*=}" ] || fail "${pair%%=*} is '$(stored "${pair%%=*}")' after the second run"
done

# Waits (at most 10 s) for a shown window whose name matches; prints its id.
wait_for_window() {
    local id
    for _ in $(seq 100); do
        id=$(visible_window "$1")
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Closes the "Error" box with its OK button's key, however long the box takes to take
# the focus; fails when it stays.
dismiss_error_box() {
    local box
    for _ in $(seq 30); do
        box=$(visible_window '^Error')
        [ -z "$box" ] && return 0
        xdotool windowactivate --sync "$box" 2>/dev/null || xdotool windowfocus --sync "$box" 2>/dev/null || true
        xdotool key --clearmodifiers Return
        sleep 0.3
    done
    fail "the Error box does not close"
}

# Presses keys in the main window and tells whether an "Error" box came up (and closes it).
error_box_after() {
    xdotool windowfocus --sync "$main"
    sleep 0.3
    xdotool key --clearmodifiers "$@"
    if wait_for_window '^Error' >/dev/null; then
        dismiss_error_box
        echo yes
    else
        echo no
    fi
}

# Third start with files, as a file manager starts it: the lamp file opens in a lamp
# window, the missing one gets Open's error box once the main window is up.
printf '%*s' 1622 '' | tr ' ' '\0' >"$work/spot.lmp"
start_program "$work/third.log" "$work/spot.lmp" "$work/missing.lmp"
wait_for_window '^Error' >/dev/null || fail "no error box for the missing file given on the command line"
dismiss_error_box
# File > Close closes the one lamp window quietly; a second Close finds none and says so.
[ "$(error_box_after alt+f c)" = no ] || fail "File > Close found no window: the lamp file did not open"
[ "$(error_box_after alt+f c)" = yes ] || fail "a second File > Close found another window"
exit_program
grep -q "spot.lmp" "$settings" || fail "the opened lamp file is not in the recent-file list"

# Fourth start with a lamp of three channels (Pan Coarse, Gobo 1, Dimmer; wheel slot 1
# holds Gobo 1, named Gobos). The lamp window opens with the focus in the name box.
rows="$work/rows.lmp"
head -c 1622 /dev/zero >"$rows"
put() { printf "$2" | dd of="$rows" bs=1 seek="$1" conv=notrunc status=none; }
put 0 '\x01'
put 2 'Rows            '
put 19 '\x03\x03'
put 22 '\x0d\x00'
put 118 'Gobos       '
put 790 '\x01\x00\x01\x00\x00\x05\x03\x00\x0d\x00\x00\x07\x04\x00\x15\x00\x00\x09'
start_program "$work/fourth.log" "$rows"
stored_name() { dd if="$rows" bs=1 skip=2 count=16 status=none; }
xdotool windowfocus --sync "$main"
sleep 0.3
# The name typed, committed by moving on to the count box; the keys then act on the lamp.
keys ctrl+a
xdotool type --delay 20 "Changed"
keys Tab ctrl+s
[ "$(stored_name)" = "Changed         " ] || fail "the typed name was not saved: '$(stored_name)'"
keys ctrl+z ctrl+s
[ "$(stored_name)" = "Rows            " ] || fail "Ctrl+Z did not take the name back: '$(stored_name)'"
keys ctrl+shift+z ctrl+s
[ "$(stored_name)" = "Changed         " ] || fail "the redo key did not bring the name again: '$(stored_name)'"
# On to the grid (count box, icon list, grid), every row chosen and copied; a new lamp's
# grid takes them from its first row.
keys Tab Tab ctrl+a ctrl+c ctrl+n
sleep 0.5
keys Tab Tab Tab ctrl+v
[ -z "$(visible_window '^Paste$')" ] || fail "the paste was refused"
save_as "Save Lamp as" "$work/shows/pasted"
expect_file "$work/shows/pasted.lmp" 1622
pasted="$work/shows/pasted.lmp"
cmp -s -n 2 -i 19:19 "$rows" "$pasted" || fail "the pasted lamp's channel count is not 3"
cmp -s -n 18 -i 790:790 "$rows" "$pasted" || fail "the pasted channels differ from the copied ones"
cmp -s -n 2 -i 22:22 "$rows" "$pasted" && cmp -s -n 12 -i 118:118 "$rows" "$pasted" ||
    fail "the wheel slot of the copied Gobo 1 did not come along"
exit_program

echo "startup e2e passed"
