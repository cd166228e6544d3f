#!/usr/bin/env bash
# Runs every libFuzzer target of a `make fuzz` build for a while each, starting from the seeds
# in fuzz/corpus/<target>/. New inputs go to BUILD/fuzz-corpus/<target>/ (the repository's seeds
# stay as they are); a crashing input is saved in BUILD/fuzz-crashes/ and the run fails.
# Usage: fuzz/run-fuzzers.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail
build=${1:?build directory}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$build/fuzz-crashes"
failed=0
for bin in "$build"/fuzz/fuzz_*; do
  [ -f "$bin" ] && [ -x "$bin" ] || continue
  name=$(basename "$bin")
  target=${name#fuzz_}
  work="$build/fuzz-corpus/$target"
  mkdir -p "$work"
  seeds=()
  [ -d "$here/corpus/$target" ] && seeds+=("$here/corpus/$target")
  dict=()
  [ -f "$here/$target.dict" ] && dict+=("-dict=$here/$target.dict")
  echo "== $name: ${seconds}s"
  if ! "$bin" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$build/fuzz-crashes/$name-" "${dict[@]}" "$work" "${seeds[@]}" \
      >"$build/fuzz-crashes/$name.log" 2>&1; then
    failed=1
    echo "   FAILED: see $build/fuzz-crashes/$name.log"
  fi
  grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::new_units_added)' \
    "$build/fuzz-crashes/$name.log" | sed 's/^/   /' || true
  grep -E '^#[0-9]+.*(DONE|cov:)' "$build/fuzz-crashes/$name.log" | tail -1 | sed 's/^/   /' || true
done
exit $failed
