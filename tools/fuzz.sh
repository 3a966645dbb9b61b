#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang in build-fuzz/ and runs
# each for a fixed time from a copy of its seed corpus (fuzz/corpus/<target>),
# so the committed seeds stay small. A finding stops the run and leaves the
# input in build-fuzz/findings/.
#   tools/fuzz.sh [seconds per target, default 30] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-deps.sh
seconds="${1:-30}"
shift || true
cmake -S . -B build-fuzz -DBRELUNE_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2 >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_decoder fuzz_icy fuzz_tags fuzz_list_file fuzz_split_arguments fuzz_settings fuzz_hand_over
           fuzz_audio_command)
fi
mkdir -p build-fuzz/findings build-fuzz/logs
export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
for target in "${targets[@]}"; do
  work="build-fuzz/corpus/$target"
  mkdir -p "$work"
  cp -n fuzz/corpus/"$target"/* "$work"/ 2>/dev/null || true
  log="build-fuzz/logs/$target.log"
  if ! "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="build-fuzz/findings/$target-" "$work" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$target: FINDING (see $log and build-fuzz/findings/)"
    exit 1
  fi
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 | tr -s '[:space:]' ' ')
  echo "$target: $done_line"
done
echo "fuzz: ${#targets[@]} passed, 0 failed"
