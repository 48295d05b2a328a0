#!/usr/bin/env bash
# Runs clang-tidy with the checks in .clang-tidy over the product sources
# (every layer, the tools and the Qt program; not tests, benchmarks or
# fuzzers), using the compile commands of a build directory, which it
# configures when missing. Exits non-zero on any finding.
# Usage: scripts/tidy.sh [-B build-dir] [file...]   (default: build, all files)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
if [ "${1:-}" = "-B" ]; then
  build=$2
  shift 2
fi
if [ ! -f "$build/compile_commands.json" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
# The Qt sources include headers that moc generates.
if ninja -C "$build" -t targets all 2>/dev/null | grep -q '^wavecrate_app_autogen:'; then
  cmake --build "$build" --target wavecrate_qt_autogen wavecrate_app_autogen >/dev/null
fi

files=("$@")
if ((${#files[@]} == 0)); then
  mapfile -t files < <(git ls-files -- 'base/*.cpp' 'gamedata/*.cpp' 'audio/*.cpp' 'analysis/*.cpp' \
                         'playlist/*.cpp' 'ui/*.cpp' 'app/*.cpp' 'tools/*.cpp')
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
printf '%s\n' "${files[@]}" |
  xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet 2>/dev/null >"$log" || true
findings=$(grep -E '^[^ ].*: (warning|error): ' "$log" | sort -u | wc -l)
if ((findings)); then
  grep -E -A3 '^[^ ].*: (warning|error): ' "$log"
  echo "clang-tidy: $findings finding(s) in ${#files[@]} files" >&2
  exit 1
fi
echo "clang-tidy: ${#files[@]} files clean"
