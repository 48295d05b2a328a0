#!/usr/bin/env bash
# Times wavecrate-export writing the CD image of a generated 74-minute
# playlist, as a user runs it, and sox converting the same audio (exported at
# 24 kHz) to 44.1 kHz for comparison. Builds nothing: expects a build made with
#   cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo && ninja -C build
set -euo pipefail

usage() {
  cat <<'EOF'
Usage: bench/export-cli.sh [options]

Generates a synthetic cache and a playlist of about 74 minutes into a
temporary directory, exports it with wavecrate-export and prints the wall and
CPU time of the export, the wave file's size and length, the time sox takes to
convert the same audio from 24 kHz to 44.1 kHz, and checks the CUE sheet with
cuebreakpoints when it is installed.

Options:
  --build DIR         the build directory (default: ./build)
  --minutes N         length of the playlist (default: 74)
  --song-seconds N    length of each generated song (default: 300)
  --dir DIR           work in DIR and keep it; a cache generated there before
                      by the same wavecrate-discgen with the same lengths is
                      reused
  --keep              keep the temporary directory and print where it is
  -h, --help          show this text
EOF
}

build=./build
minutes=74
song_seconds=300
work=
keep=0
while [[ $# -gt 0 ]]; do
  case $1 in
    --build) build=${2:?--build wants a directory}; shift 2 ;;
    --minutes) minutes=${2:?--minutes wants a number}; shift 2 ;;
    --song-seconds) song_seconds=${2:?--song-seconds wants a number}; shift 2 ;;
    --dir) work=${2:?--dir wants a directory}; keep=1; shift 2 ;;
    --keep) keep=1; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "export-cli.sh: unexpected argument '$1' (see --help)" >&2; exit 2 ;;
  esac
done

build=$(cd "$build" 2>/dev/null && pwd) || { echo "export-cli.sh: no build directory $build" >&2; exit 2; }
discgen=$build/wavecrate-discgen
exporter=$build/wavecrate-export
for program in "$discgen" "$exporter"; do
  if [[ ! -x $program ]]; then
    echo "export-cli.sh: $program is missing; build first:" >&2
    echo "  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo && ninja -C build" >&2
    exit 2
  fi
done

if [[ -z $work ]]; then
  work=$(mktemp -d "${TMPDIR:-/tmp}/wavecrate-export-cli.XXXXXX")
else
  mkdir -p "$work"
  work=$(cd "$work" && pwd)
fi
cleanup() {
  if [[ $keep == 1 ]]; then
    echo "Files kept in $work"
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT
cd "$work"

# "wall user sys" of a command in seconds; its output goes to $log.
TIMEFORMAT='%3R %3U %3S'
timed() {
  local log=$1
  shift
  local times
  if ! times=$({ time "$@" >"$log" 2>&1; } 2>&1); then
    echo "export-cli.sh: failed: $*" >&2
    cat "$log" >&2
    exit 1
  fi
  echo "$times"
}
seconds() { awk -v a="$1" -v b="${2:-0}" 'BEGIN { printf "%.2f", a + b }'; }

# The cache is reused only when the same generator made it with the same lengths.
stamp="discgen $(stat -c %Y "$discgen") minutes $minutes song-seconds $song_seconds"
if [[ -f stamp && $(cat stamp) == "$stamp" && -f cd.wcpl && -f WavecrateInfo.dat && -d CACHE ]]; then
  generated="reused"
else
  rm -rf CACHE WavecrateInfo.dat cd.wcpl stamp
  times=$(timed discgen.log "$discgen" --cache . --song-seconds "$song_seconds" \
    --playlist cd.wcpl --playlist-minutes "$minutes")
  read -r gen_wall _ <<<"$times"
  echo "$stamp" >stamp
  generated="generated in $(seconds "$gen_wall") s"
fi
tracks=$(od -An -t d4 -N4 cd.wcpl | tr -d ' ')
length=$(sed -n 's/^Wrote the playlist .*tracks, \([0-9:]*\) .*/\1/p' discgen.log)
echo "Playlist      $tracks tracks, ${length:-?} ($minutes min asked); cache $(du -sh CACHE | cut -f1) ($generated)"

# Every run writes new files, as sox does: truncating the 783 MB of an
# earlier export would add its own cost to the export's time.
rm -f cd.wav cd.cue cd24.wav sox.wav
sync
times=$(timed export.log "$exporter" cd.wcpl cd.wav)
read -r wall user sys <<<"$times"
bytes=$(stat -c %s cd.wav)
wave_minutes=$(awk -v b="$bytes" 'BEGIN { s = (b - 44) / (44100 * 4); printf "%.2f min (%d:%05.2f)", s / 60, s / 60, s % 60 }')
echo "Export        wall $(seconds "$wall") s, CPU $(seconds "$user" "$sys") s (user $user + sys $sys)"
echo "Wave file     $bytes bytes, $wave_minutes at 44100 Hz"

if command -v sox >/dev/null; then
  times=$(timed export24.log "$exporter" --wave24 cd.wcpl cd24.wav)
  read -r wall24 _ <<<"$times"
  times=$(timed sox.log sox cd24.wav -r 44100 sox.wav)
  read -r sox_wall sox_user sox_sys <<<"$times"
  rm -f sox.wav
  echo "sox 24k->44k  wall $(seconds "$sox_wall") s, CPU $(seconds "$sox_user" "$sox_sys") s" \
    "(24 kHz export: wall $(seconds "$wall24") s)"
  echo "sox / export  $(awk -v s="$sox_wall" -v e="$wall" 'BEGIN { printf "%.2f", (e > 0 ? s / e : 0) }')"
else
  echo "sox           not installed; no comparison"
fi

cue_tracks=$(grep -c 'TRACK' cd.cue)
if [[ $cue_tracks != "$tracks" ]]; then
  echo "export-cli.sh: the CUE sheet lists $cue_tracks tracks, the playlist $tracks" >&2
  exit 1
fi
if command -v cuebreakpoints >/dev/null; then
  if ! breaks=$(cuebreakpoints cd.cue 2>&1); then
    echo "export-cli.sh: cuebreakpoints rejects cd.cue: $breaks" >&2
    exit 1
  fi
  # One breakpoint between each two tracks (the first starts at 00:00:00).
  count=$(grep -c . <<<"$breaks" || true)
  if [[ $count != $((tracks - 1)) ]]; then
    echo "export-cli.sh: cuebreakpoints finds $count breakpoints for $tracks tracks" >&2
    exit 1
  fi
  echo "CUE sheet     $cue_tracks tracks; cuebreakpoints: $count breakpoints, last at $(tail -n1 <<<"$breaks")"
else
  echo "CUE sheet     $cue_tracks tracks (cuebreakpoints not installed)"
fi
