#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# asking apt only when something is missing.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libbenchmark-dev
  qt6-base-dev libsdl2-dev fonts-liberation fonts-dejavu-core
  dbus-daemon dbus-bin playerctl
  cuetools shntool sox
  libiso9660-dev xorriso libfftw3-dev
  libflac-dev libopusenc-dev libmp3lame-dev libtag1-dev flac opus-tools ffmpeg cdrdao
  espeak-ng libsndfile1-dev libsamplerate0-dev hyperrogue-music drascula-music
  librsvg2-bin desktop-file-utils appstream shared-mime-info libxml2-utils dpkg-dev file
  xvfb openbox x11-utils x11-xserver-utils
  clang libclang-rt-14-dev clang-tidy clang-format
)
missing=()
for p in "${packages[@]}" "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages (${missing[*]}); run as root or install them first." >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
