#!/usr/bin/env bash
# Builds everything and runs every test: first a normal build, then the whole
# suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
# Usage: ./test.sh [--quick]   (--quick skips the sanitizer pass)
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy

# The sources stay as .clang-format lays them out, so the layout cannot drift.
sources() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -- '*.cpp' '*.h'
  else
    find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print
  fi
}
unformatted=$(sources | xargs clang-format --dry-run 2>&1 |
              sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning:.*/\1/p' | sort -u)
if [ -n "$unformatted" ]; then
  echo "Not formatted as .clang-format says (fix with clang-format -i):" >&2
  echo "$unformatted" >&2
  exit 1
fi

# Warnings fail the normal build. The sanitizer build leaves them as warnings:
# gcc's instrumentation brings its own false alarms (maybe-uninitialized and
# the like) that say nothing about the code.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWAVECRATE_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
# No product function grows past the complexity limit of .clang-tidy.
./scripts/tidy.sh -B build --only readability-function-cognitive-complexity

if [ "${1:-}" != "--quick" ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWAVECRATE_SANITIZE=ON \
        -DWAVECRATE_BUILD_BENCH=OFF >/dev/null
  cmake --build build-asan -j "$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"
fi
