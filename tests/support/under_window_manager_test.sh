#!/usr/bin/env bash
# Checks that under_window_manager.sh hands on its program's exit code and
# that however it is ended (TERM, INT, or a KILL as ctest's timeout sends) its
# program, Xvfb, openbox and trayer and its folder are gone within seconds,
# while a process that took the id of one of them is left alone.
#
#   under_window_manager_test.sh PATH/TO/under_window_manager.sh
set -u
# Job control, so that the script started in the background takes INT as
# from a terminal rather than ignoring it.
set -m
script=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Whether a process still runs; a zombie has ended.
running() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  [ "${stat%% *}" != Z ]
}

# Waits up to $1 seconds for the command after it to hold.
within() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.1
  done
}

none_running() {
  local pid
  for pid; do running "$pid" && return 1; done
  return 0
}

# The script makes its folder in TMPDIR: a TMPDIR of each run's own shows it.
empty() { [ -z "$(ls -A "$1")" ]; }

# The program's exit code comes back, and the desktop is there for it.
tmp="$scratch/codes"
mkdir "$tmp"
TMPDIR=$tmp "$script" sh -c '[ -n "$DISPLAY" ] && [ "$QT_QPA_PLATFORM" = xcb ] && exit 3'
code=$?
[ $code -eq 3 ] || fail "exit code $code, not the program's 3"
TMPDIR=$tmp "$script" true || fail "exit code $?, not the program's 0"
empty "$tmp" || fail "folder left after a normal end: $(ls "$tmp")"

# Ended from outside while the program runs.
for signal in TERM INT KILL; do
  tmp="$scratch/$signal"
  mkdir "$tmp"
  TMPDIR=$tmp "$script" sh -c 'echo $$ >"$0"; exec sleep 300' "$scratch/$signal.pid" &
  harness=$!
  if ! within 60 test -s "$scratch/$signal.pid"; then
    fail "$signal: the program did not start"
    kill -KILL "$harness"
    continue
  fi
  program=$(cat "$scratch/$signal.pid")
  helpers=$(pgrep -P "$harness" | grep -vx "$program")
  [ "$(echo "$helpers" | wc -w)" -eq 3 ] || fail "$signal: helpers $helpers, not Xvfb, openbox, trayer"
  kill "-$signal" "$harness"
  # Until it is waited for, an ended script is a zombie of this one.
  if within 15 eval '! running $harness'; then
    wait "$harness"
    code=$?
    [ $code -ne 0 ] || fail "$signal: the script ended with 0"
  else
    fail "$signal: the script goes on"
    kill -KILL "$harness"
    wait "$harness"
  fi
  # shellcheck disable=SC2086 # one process id a word
  within 15 none_running "$program" $helpers || fail "$signal: processes left running"
  within 15 empty "$tmp" || fail "$signal: folder left: $(ls "$tmp")"
  # shellcheck disable=SC2086
  kill -KILL "$program" $helpers 2>/dev/null # what a failing script left
done

# KILLed after the id of a process it started went to another: the keeper
# leaves that one running. The script's record is made to name an unrelated
# process in place of its program, with the program's start time, as when
# the program ended and its id was reused.
tmp="$scratch/reused"
mkdir "$tmp"
TMPDIR=$tmp "$script" sh -c 'echo $$ >"$0"; exec sleep 300' "$scratch/reused.pid" &
harness=$!
if within 60 test -s "$scratch/reused.pid"; then
  program=$(cat "$scratch/reused.pid")
  sleep 0.1 # a tick of the start times' clock at least after the program
  sleep 300 &
  other=$!
  sed -i "s/^$program\b/$other/" "$tmp"/*/pids
  kill -KILL "$harness"
  wait "$harness"
  within 15 empty "$tmp" || fail "reused id: folder left: $(ls "$tmp")"
  running "$other" || fail "reused id: the keeper ended an unrelated process"
  kill -KILL "$program" "$other" 2>/dev/null
else
  fail "reused id: the program did not start"
  kill -KILL "$harness"
fi

[ $failures -eq 0 ] && echo "all passed"
exit $((failures > 0))
