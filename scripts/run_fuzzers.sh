#!/usr/bin/env bash
# Runs every libFuzzer target of a build for a while, two at a time, each on a copy of its seeds
# and failing inputs (the repository's folders are never written). A target's report is shown
# only when it fails; the input that failed is kept in <build folder>/fuzz-artifacts/.
#   bash scripts/run_fuzzers.sh <build folder> [seconds per target, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=${2:-30}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

# final_coverage LOG: libFuzzer's last "cov: N ft: M" figures, as "cov N, ft M".
final_coverage() {
  grep -o 'cov: [0-9]* ft: [0-9]*' "$1" | tail -n 1 | awk '{print "cov " $2 ", ft " $4}'
}

# fuzz_one NAME: returns the fuzzer's status.
fuzz_one() {
  local name=$1 corpus="$work/$1"
  mkdir -p "$corpus"
  cp -r "fuzz/seeds/$name/." "$corpus/"
  if [ -d "fuzz/crashers/$name" ]; then cp -r "fuzz/crashers/$name/." "$corpus/"; fi
  if "$build/fuzz/$name" -max_total_time="$seconds" -artifact_prefix="$artifacts/$name-" \
      "$corpus" >"$work/$name.log" 2>&1; then
    echo "fuzzed $name for ${seconds}s: no failure, $(final_coverage "$work/$name.log")"
  else
    echo "fuzzing $name FAILED:"
    tail -n 60 "$work/$name.log"
    return 1
  fi
}

names=()
# A target the build left out (slash_tokens_fuzz without QUILLON_EXTRAS) is not run.
for seeds in fuzz/seeds/*/; do
  name=$(basename "$seeds")
  if [ -x "$build/fuzz/$name" ]; then names+=("$name"); else echo "not built: $name"; fi
done
failed=0
for ((i = 0; i < ${#names[@]}; i += 2)); do
  pids=()
  for name in "${names[@]:i:2}"; do
    fuzz_one "$name" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
done
exit $failed
