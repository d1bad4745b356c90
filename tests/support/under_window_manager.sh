#!/usr/bin/env bash
# Runs a test program on a desktop of its own: a fresh Xvfb screen with the
# openbox window manager and a trayer system tray, so that modality, focus,
# minimising and the tray behave as on a user's desktop. The program sees
# DISPLAY and QT_QPA_PLATFORM=xcb; everything started here ends with it, and
# the script ends with the program's exit code.
#
# TERM or INT ends the program and the desktop at once. A KILL (ctest's
# timeout) cannot be caught here: a keeper outside this script's process tree
# sees the script go and ends what is left and removes the folder.
#
#   under_window_manager.sh PROGRAM [ARGUMENTS...]
set -u
work=$(mktemp -d)
# Everything started here, in order, one a line: its process id and its
# start time. The keeper reads it too; it outlives this script, and by the
# time it looks an id may belong to another process, which the start time
# tells apart.
: >"$work/pids"

# The fields of /proc/$1/stat from the third on into the array proc (of the
# caller): the state first, the parent next, the start time (field 22) at 19.
# They follow the last ")": the program's name before it may hold spaces and
# ")".
read_stat() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  read -ra proc <<<"${stat##*)}"
}

started() {
  local proc
  read_stat "$1" && echo "$1 ${proc[19]}" >>"$work/pids"
}

# Whether process $1 still runs (one that ended but was not yet reaped, its
# parent gone, does not) and, if $2 is given, is the one that started at
# that time.
running() {
  local proc
  read_stat "$1" && [ "${proc[0]}" != Z ] && { [ -z "${2-}" ] || [ "${proc[19]}" = "$2" ]; }
}

# Ends process $1 that started at $2, if it still runs: a few seconds after
# TERM (a test program may still be writing out what it saw) it is killed.
end_one() {
  running "$1" "$2" || return 0
  kill "$1" 2>/dev/null
  for _ in $(seq 50); do
    running "$1" "$2" || return 0
    sleep 0.1
  done
  kill -KILL "$1" 2>/dev/null
}

# Ends the processes started here, the last started first: the program
# before the tray, the window manager and the screen.
end_all() {
  local pid start
  while read -r pid start; do
    end_one "$pid" "$start"
  done < <(tac "$work/pids")
}

# Ends process $1 started here, waits for it and forgets it: once it is
# reaped its id is free for another process.
end_started() {
  end_one "$1" "$(sed -n "s/^$1 //p" "$work/pids")"
  wait "$1" 2>/dev/null
  sed -i "/^$1 /d" "$work/pids"
}

cleanup() {
  end_all
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The keeper holds the reading end of a pipe whose writing end only this
# script holds (fd 9, closed for everything started here): it reads to the
# end, which comes when the script ends however it ends. By then a script
# that ended by itself has removed the folder; otherwise the keeper does the
# cleanup. setsid in a subshell that ends at once puts it outside the tree
# ctest kills.
keeper='
cat >/dev/null
[ -d "$1" ] || exit 0
work=$1
'"$(declare -f read_stat running end_one end_all)"'
end_all
rm -rf "$work"
'
exec 9> >(setsid bash -c "$keeper" keeper "$work" <&0 >/dev/null 2>&1 &)

fail() {
  echo "under_window_manager: $*" >&2
  exit 1
}

# A screen of its own: -displayfd picks a free display and names it once the
# server listens, so that tests running side by side never share a screen.
# On a loaded machine the server may name its display before it takes
# clients: wait until it answers. While other servers start and end beside
# it, a server was seen to answer once and then no more: it is given up, and
# another started.
start_xvfb() {
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" 9>&- &
  xvfb=$!
  started "$xvfb"
  for _ in $(seq 200); do
    [ -s "$work/display" ] && break
    running "$xvfb" || return 1
    sleep 0.05
  done
  [ -s "$work/display" ] || return 1
  export DISPLAY=":$(head -n1 "$work/display")"
  for _ in $(seq 400); do
    xprop -root >/dev/null 2>&1 && break
    sleep 0.05
  done
  sleep 0.2
  xprop -root >/dev/null 2>&1 && running "$xvfb"
}
for attempt in 1 2 3; do
  start_xvfb && break
  cat "$work/xvfb.log" >&2
  running "$xvfb" && state=running || state=ended
  echo "under_window_manager: Xvfb on ${DISPLAY-} does not answer ($state)" >&2
  end_started "$xvfb"
  [ "$attempt" = 3 ] && fail "no Xvfb answers"
done

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# openbox with its shipped settings, not the user's; started again should it
# give up on a slow server.
for _ in 1 2 3; do
  XDG_CONFIG_HOME="$work/config" openbox --sm-disable >"$work/openbox.log" 2>&1 9>&- &
  wm=$!
  started "$wm"
  for _ in $(seq 400); do
    wm_running && break
    kill -0 "$wm" 2>/dev/null || break
    sleep 0.05
  done
  wm_running && break
  end_started "$wm"
done
wm_running || {
  cat "$work/openbox.log" >&2
  fail "openbox did not start"
}

trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true \
  --transparent false >"$work/trayer.log" 2>&1 9>&- &
started $!
for _ in $(seq 200); do
  xdotool search --classname trayer >/dev/null 2>&1 && break
  sleep 0.05
done
xdotool search --classname trayer >/dev/null 2>&1 || {
  cat "$work/trayer.log" >&2
  fail "trayer did not start"
}

# The program runs in the background so that a TERM or INT reaches the trap
# above while the script waits for it.
export QT_QPA_PLATFORM=xcb
"$@" 9>&- &
started $!
wait $!
