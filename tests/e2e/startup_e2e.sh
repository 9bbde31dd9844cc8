#!/usr/bin/env bash
# Runs the real program on a virtual display: the start-up picture must come first,
# then the main window "Tarsen Rigsmith"; File > Exit must end the program and leave
# the window placement in the settings store. A second run must open the window at
# the placement stored before and write it back unchanged.
#
# Usage: startup_e2e.sh path/to/rigsmith
set -euo pipefail

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# --- outside the virtual display -------------------------------------------------
if [ "${1:-}" != "--on-display" ]; then
    rigsmith=$(realpath "${1:?usage: startup_e2e.sh path/to/rigsmith}")
    [ -x "$rigsmith" ] || fail "no executable at $rigsmith"
    for tool in xvfb-run xdotool timeout; do
        command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
    done
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    # A whole-number 96 dpi screen makes twips and pixels convert exactly (15 to 1).
    timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$0" --on-display "$rigsmith" "$work"
    exit $?
fi

# --- on the virtual display --------------------------------------------------------
rigsmith=$2
work=$3
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
settings="$XDG_CONFIG_HOME/Rigsmith/Rigsmith.conf"
pid=

cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

now_ms() { date +%s%3N; }

visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true; }

# Starts the program and waits (at most 30 s) for the main window; sets $pid and $main.
start_program() {
    local log=$1 started splash_seen=no id geometry
    started=$(now_ms)
    "$rigsmith" >"$log" 2>&1 &
    pid=$!
    main=
    for _ in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || { cat "$log" >&2; fail "the program ended before its main window appeared"; }
        id=$(visible_window '^Rigsmith$')
        if [ -n "$id" ]; then
            geometry=$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: //p')
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

# First start: empty store, default placement, all four values written as numbers.
start_program "$work/first.log"
exit_program
[ -f "$settings" ] || fail "no settings file at $settings"
for key in MainLeft MainTop MainWidth MainHeight; do
    value=$(stored "$key")
    [[ "$value" =~ ^-?[0-9]+$ ]] || fail "$key is '$value', not a whole number of twips"
done
[ "$(stored MainWidth)" -gt 5000 ] || fail "MainWidth $(stored MainWidth) is not near its 6500 default"

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

echo "startup e2e passed"
