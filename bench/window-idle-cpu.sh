#!/usr/bin/env bash
# Measures what the window program costs while it is left open with nothing
# playing: CPU time per second of wall time and the main thread's wake-ups
# per second, over a fixed window after start-up (and after the sound timer
# has had time to go to sleep). Runs offscreen with SDL's dummy driver on the
# demo stations. Builds nothing: expects `./run.sh` (or the wavecrate and demo
# targets) to have been built in ./build.
set -euo pipefail

usage() {
  cat <<'EOF2'
Usage: bench/window-idle-cpu.sh [--build DIR] [--seconds N]

  --build DIR    the build directory (default: ./build)
  --seconds N    length of the measured window (default: 20)
EOF2
}

build=./build
seconds=20
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    -h|--help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
done
build=$(realpath "$build")
[ -x "$build/wavecrate" ] && [ -d "$build/demo" ] || { echo "Build wavecrate and demo in $build first." >&2; exit 1; }

cd "$build/demo"
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy "$build/wavecrate" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
# Start-up, then the one-second ring draining before the timer may sleep.
sleep 3

hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
wakeups() { awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$pid/status"; }
c0=$(cpu_ticks); w0=$(wakeups); t0=$(date +%s.%N)
sleep "$seconds"
c1=$(cpu_ticks); w1=$(wakeups); t1=$(date +%s.%N)

awk -v c="$((c1 - c0))" -v w="$((w1 - w0))" -v hz="$hz" -v t0="$t0" -v t1="$t1" 'BEGIN {
  wall = t1 - t0
  printf "idle window program: %.3f%% of one core, %.1f main-thread wake-ups per second over %.1f s\n",
         100 * c / hz / wall, w / wall, wall
}'
