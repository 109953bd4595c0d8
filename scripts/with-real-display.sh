#!/usr/bin/env bash
# Runs a command on a real X display of its own: Xvfb and the openbox window manager, stopped on
# every exit. Exits 77 (a skip) with the reason when either cannot start.
#   scripts/with-real-display.sh COMMAND [ARGS...]
set -uo pipefail

skip() { echo "with-real-display: skipped: $*" >&2; exit 77; }

command -v Xvfb >/dev/null || skip "Xvfb is not installed (Debian package xvfb)"
command -v openbox >/dev/null || skip "openbox is not installed (Debian package openbox)"

work=$(mktemp -d "${TMPDIR:-/tmp}/nlx-display.XXXXXX") || skip "cannot create a temporary folder"
xvfb_pid=""
wm_pid=""
cleanup() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  [ -n "$wm_pid" ] && wait "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display number itself and writes it to the descriptor given.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp -auth /dev/null >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log" | tr '\n' ' ')"
  sleep 0.1
done
[ -s "$work/display" ] || skip "Xvfb did not report its display"
export DISPLAY=":$(head -n 1 "$work/display")"

# The window manager, with its own configuration folder so that no user setting applies.
XDG_CONFIG_HOME="$work/config" openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  kill -0 "$wm_pid" 2>/dev/null || skip "openbox did not start: $(tail -n 3 "$work/openbox.log" | tr '\n' ' ')"
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || skip "openbox did not take the display"

export QT_QPA_PLATFORM=xcb
"$@"
