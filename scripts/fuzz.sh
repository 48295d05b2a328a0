#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in build-fuzz and runs
# each one for a bounded time from its generated seeds.
# Usage: scripts/fuzz.sh [seconds per target] [target...]
#   (default 60 seconds; targets: catalogue playlist clip_audio wave_cue disc_image
#   song_detection export_text)
# Exits non-zero when a target crashes, leaks, times out or fails to build;
# the input that did it is kept in build-fuzz/fuzz-findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(catalogue playlist clip_audio wave_cue disc_image song_detection export_text)

build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DWAVECRATE_FUZZ=ON -DWAVECRATE_BUILD_UI=OFF -DWAVECRATE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzz_all

# Room for a whole catalogue file, a clip of a few chunks, a small disc
# image, 99 playlist records.
max_len() {
  case $1 in
    catalogue) echo 700000 ;;
    clip_audio) echo 200000 ;;
    disc_image) echo 200000 ;;
    song_detection) echo 20000 ;;
    export_text) echo 20000 ;;
    *) echo 4096 ;;
  esac
}

status=0
for target in "${targets[@]}"; do
  corpus=$build/fuzz-corpus/$target
  findings=$build/fuzz-findings/$target
  mkdir -p "$corpus" "$findings"
  echo "== fuzz_$target for ${seconds}s"
  # New inputs go to the first directory; the seeds are read from the second.
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 \
      -max_len="$(max_len "$target")" -print_final_stats=1 -artifact_prefix="$findings/" \
      "$corpus" "$build/fuzz-seeds/$target" 2>"$build/fuzz_$target.log"; then
    echo "fuzz_$target FAILED; see $build/fuzz_$target.log and $findings/" >&2
    tail -n 60 "$build/fuzz_$target.log" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^Done ' "$build/fuzz_$target.log" || true
  fi
done
exit $status
