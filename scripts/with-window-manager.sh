#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb) with a window manager (openbox),
# so that windows get real frames, as on a desktop.
#
#   scripts/with-window-manager.sh [--primary-right] COMMAND [ARG...]
#
# --primary-right makes the desktop two 1024 x 768 monitors side by side with
# the right one primary, so that the primary screen is not at 0,0.
# The command sees DISPLAY, QT_QPA_PLATFORM=xcb, WAVECRATE_WINDOW_MANAGER and,
# with --primary-right, WAVECRATE_PRIMARY_ORIGIN=1024,0. Exits with the
# command's status, or 77 when Xvfb or openbox is missing.
set -euo pipefail
primary_right=0
if [ "${1:-}" = --primary-right ]; then primary_right=1; shift; fi
[ $# -gt 0 ] || { echo "Usage: $0 [--primary-right] COMMAND [ARG...]" >&2; exit 2; }
for tool in Xvfb openbox xprop; do
  command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 77; }
done
((primary_right)) && ! command -v xrandr >/dev/null && { echo "xrandr is missing" >&2; exit 77; }

work=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

width=1024
((primary_right)) && width=2048
# Xvfb picks a free display number and writes it to the given descriptor;
# -noreset keeps the monitors set below when their client disconnects.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 "${width}x768x24" -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

if ((primary_right)); then
  # Two monitors on the one screen; a leading '*' makes a monitor primary.
  # The right one takes Xvfb's one output, whose own whole-screen monitor
  # then goes.
  xrandr --setmonitor left 1024/270x768/203+0+0 none >/dev/null
  xrandr --setmonitor '*right' 1024/270x768/203+1024+0 screen >/dev/null
  export WAVECRATE_PRIMARY_ORIGIN=1024,0
fi

HOME=$work openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# A compliant window manager announces itself on the root window.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" ||
  { cat "$work/openbox.log" >&2; echo "openbox did not start" >&2; exit 1; }

export QT_QPA_PLATFORM=xcb WAVECRATE_WINDOW_MANAGER=openbox
status=0
"$@" || status=$?
exit "$status"
