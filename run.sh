#!/usr/bin/env bash
# Builds Wavecrate, with everything `cmake --install build` copies, and
# starts it on the demo stations, generated into build/demo the first time
# (and again only when their generator changes).
#
#   ./run.sh          the demo stations
#   ./run.sh --disc   your own data directory ($XDG_DATA_HOME/wavecrate, as
#                     the desktop launcher does): the program finds the game
#                     disc wherever it is mounted, or asks for it
#   ./run.sh --disc --disc-image FILE.iso
#                     the same, reading the game disc from its ISO image
set -euo pipefail
cd "$(dirname "$0")"
top=$(pwd)
./scripts/deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target installable demo

usage() { echo "Usage: $0 [--disc [--disc-image FILE.iso]]" >&2; exit 2; }
program_args=()
case "${1:-}" in
  "") workdir=$top/build/demo ;;
  --disc)
    data_home=${XDG_DATA_HOME:-}
    [[ $data_home == /* ]] || data_home=$HOME/.local/share
    workdir=$data_home/wavecrate
    mkdir -p "$workdir"
    echo "Wavecrate keeps its catalogue file and cache in $workdir"
    case "${2:-}" in
      "") ;;
      # Made absolute: the program runs in $workdir.
      --disc-image) [ -n "${3:-}" ] || usage; program_args=(--disc-image "$(realpath -m -- "$3")") ;;
      *) usage ;;
    esac
    ;;
  *) usage ;;
esac

# Somewhere to play sound: an ALSA playback device or a sound server socket.
sound_available() {
  compgen -G "/dev/snd/pcmC*D*p" >/dev/null && return 0
  local runtime=${XDG_RUNTIME_DIR:-/run/user/$(id -u)}
  [ -S "$runtime/pulse/native" ] || [ -S "$runtime/pipewire-0" ]
}
if [ -z "${SDL_AUDIODRIVER:-}" ] && ! sound_available; then
  echo "No sound device found: starting without sound (SDL's dummy audio driver)."
  export SDL_AUDIODRIVER=dummy
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "There is no display to show the window on (DISPLAY is not set)." >&2
  exit 1
fi
cd "$workdir"
exec "$top/build/wavecrate" "${program_args[@]}"
