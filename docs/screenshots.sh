#!/usr/bin/env bash
# Takes the user guide's screenshots (docs/images/*.png) of the real window on
# the demo stations, under Xvfb: the clip browser, a radio mix in the
# playlist, Export CD in progress and the Export Tracks dialog.
#
# Usage: docs/screenshots.sh [BUILD_DIR]     (default: build)
# Build the targets wavecrate and demo first (./run.sh does). Needs xvfb,
# xdotool and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
images=$(pwd)/docs/images

if [ ! -x "$build/wavecrate" ] || [ ! -f "$build/demo/WavecrateInfo.dat" ]; then
  echo "No $build/wavecrate or demo stations: build the targets wavecrate and demo first." >&2
  exit 1
fi
for tool in xvfb-run xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (apt-get install xvfb xdotool imagemagick)" >&2; exit 1; }
done
if [ -z "${WAVECRATE_UNDER_XVFB:-}" ]; then
  exec env WAVECRATE_UNDER_XVFB=1 xvfb-run -a -s "-screen 0 1280x900x24" "$0" "$build"
fi

# A working directory of our own: the demo's cache and catalogue, and room
# for the export.
work=$(mktemp -d)
trap 'kill "$program" 2>/dev/null || true; rm -rf "$work"' EXIT
ln -s "$build/demo/CACHE" "$work/CACHE"
cp "$build/demo/WavecrateInfo.dat" "$work/"

cd "$work"
SDL_AUDIODRIVER=dummy "$build/wavecrate" &
program=$!
window=$(xdotool search --sync --onlyvisible --name '^Wavecrate$' | head -n 1)
sleep 1
xdotool windowfocus --sync "$window"

shoot() {  # the main window only
  import -window "$window" "$work/shot.png"
  convert "$work/shot.png" -strip "$images/$1.png"
  echo "wrote docs/images/$1.png"
}

# Where the view lies: the first pixel of the station banner's green, which
# starts 29 pixels right of the view's left edge and one below its top.
import -window "$window" "$work/shot.png"
read -r bx by < <(convert "$work/shot.png" -depth 8 txt:- | grep -m1 -i '#80C080' |
                  sed -E 's/^([0-9]+),([0-9]+):.*/\1 \2/')
view_x=$((bx - 29))
view_y=$((by - 1))
geometry=$(xdotool getwindowgeometry --shell "$window")
win_x=$(sed -n 's/^X=//p' <<<"$geometry")
win_y=$(sed -n 's/^Y=//p' <<<"$geometry")
click_view() {  # x y in the view's pixels
  xdotool mousemove --sync $((win_x + view_x + $1)) $((win_y + view_y + $2)) click 1
}

# The browser opens on ADVERTS, the first listed pack; one step right is
# Harbor 88.
click_view 240 14
sleep 1
shoot browser

xdotool key --window "$window" alt+t
sleep 0.5
xdotool key r          # Tools > Create Radio Mix
sleep 3
shoot playlist

xdotool key --window "$window" alt+f
sleep 0.5
xdotool key e          # File > Export CD...
dialog=$(xdotool search --sync --onlyvisible --name 'Export CD Image' | head -n 1)
xdotool windowfocus --sync "$dialog"
xdotool key ctrl+a
xdotool type --delay 5 "$work/mix.wav"
xdotool key Return
# A radio mix has short identifications: answer Join to the question.
sleep 0.5
question=$(xdotool search --onlyvisible --name '^Export CD$' | head -n 1 || true)
if [ -n "$question" ]; then
  xdotool windowfocus --sync "$question"
  xdotool key Return
fi
sleep 1.5
xdotool windowfocus --sync "$window" || true
shoot export

# Let the export finish, so the program is not stopped in the middle of it.
for _ in $(seq 120); do
  [ -s "$work/mix.cue" ] && break
  sleep 0.5
done

xdotool windowfocus --sync "$window" || true
xdotool key --window "$window" alt+f
sleep 0.5
xdotool key k          # File > Export Tracks...
dialog=$(xdotool search --sync --onlyvisible --name '^Export Tracks$' | head -n 1)
xdotool windowfocus --sync "$dialog"
xdotool type --delay 5 "/home/you/Music/Radio Mix"
sleep 0.5
import -window "$dialog" "$work/shot.png"
convert "$work/shot.png" -strip "$images/export-tracks.png"
echo "wrote docs/images/export-tracks.png"
xdotool key Escape
