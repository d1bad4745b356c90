#!/usr/bin/env bash
# Runs a test program on a desktop of its own: a fresh Xvfb screen with the
# openbox window manager and a trayer system tray, so that modality, focus,
# minimising and the tray behave as on a user's desktop. The program sees
# DISPLAY and QT_QPA_PLATFORM=xcb; everything started here ends with it.
#
#   under_window_manager.sh PROGRAM [ARGUMENTS...]
set -u
work=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() { echo "under_window_manager: $*" >&2; exit 1; }

# -displayfd picks a free display and names it once the server listens, so
# that tests running side by side never share a screen.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
export DISPLAY=":$(head -n1 "$work/display")"

# On a loaded machine the server may name its display before it takes
# clients: wait until it answers.
for _ in $(seq 400); do xprop -root >/dev/null 2>&1 && break; sleep 0.05; done
xprop -root >/dev/null 2>&1 || { cat "$work/xvfb.log" >&2; fail "Xvfb does not answer"; }

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# openbox with its shipped settings, not the user's; started again should it
# give up on a slow server.
for _ in 1 2 3; do
  XDG_CONFIG_HOME="$work/config" openbox --sm-disable >"$work/openbox.log" 2>&1 &
  wm=$!
  for _ in $(seq 400); do
    wm_running && break
    kill -0 "$wm" 2>/dev/null || break
    sleep 0.05
  done
  wm_running && break
  kill "$wm" 2>/dev/null
done
pids+=("$wm")
wm_running || { cat "$work/openbox.log" >&2; fail "openbox did not start"; }

trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true \
  --transparent false >"$work/trayer.log" 2>&1 &
pids+=($!)
for _ in $(seq 200); do xdotool search --classname trayer >/dev/null 2>&1 && break; sleep 0.05; done
xdotool search --classname trayer >/dev/null 2>&1 || { cat "$work/trayer.log" >&2; fail "trayer did not start"; }

export QT_QPA_PLATFORM=xcb
"$@"
