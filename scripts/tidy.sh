#!/usr/bin/env bash
# Runs clang-tidy with the checks in .clang-tidy over the product sources
# (every layer, the tools and the Qt program; not tests, benchmarks or
# fuzzers), using the compile commands of a build directory, which it
# configures when missing. Exits non-zero on any finding.
# Usage: scripts/tidy.sh [-B build-dir] [--only CHECK] [file...]
#   (default: build, every check of .clang-tidy, all files). --only runs that
#   one check with its options from .clang-tidy: ./test.sh keeps the
#   complexity limit that way, in a fraction of the full run's time.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
checks=()
while (($#)); do
  case $1 in
    -B) build=$2; shift 2 ;;
    --only) checks=("--checks=-*,$2"); shift 2 ;;
    *) break ;;
  esac
done
# clang-tidy ignores a configuration it cannot parse as a whole, silently
# once its messages are dropped below: refuse to pass on that.
config_error=$(clang-tidy --dump-config 2>&1 >/dev/null || true)
if [ -n "$config_error" ]; then
  echo "clang-tidy cannot read .clang-tidy: $config_error" >&2
  exit 1
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
                         'playlist/*.cpp' 'session/*.cpp' 'ui/*.cpp' 'app/*.cpp' 'tools/*.cpp')
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
printf '%s\n' "${files[@]}" |
  xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet "${checks[@]}" 2>/dev/null >"$log" || true
# No match is no finding, not a failure of the script.
findings=$({ grep -E '^[^ ].*: (warning|error): ' "$log" || true; } | sort -u | wc -l)
if ((findings)); then
  grep -E -A3 '^[^ ].*: (warning|error): ' "$log"
  echo "clang-tidy: $findings finding(s) in ${#files[@]} files" >&2
  exit 1
fi
echo "clang-tidy: ${#files[@]} files clean"
