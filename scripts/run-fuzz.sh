#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target of a fuzz build for a given number of seconds on its
# committed corpus (fuzz/corpus/<name>), as many at once as there are cores
# (FUZZ_JOBS to choose). New inputs go to a scratch folder, so the committed
# corpus only changes when someone adds to it on purpose.
# Usage: run-fuzz.sh BUILD_DIR SECONDS
set -u
build=$1
seconds=$2
jobs=${FUZZ_JOBS:-$(nproc)}
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=$root/fuzz-corpus-run
mkdir -p "$scratch/artifacts"

# One target: its output goes to its log, its exit status to a file.
fuzz_one() {
  local name=$1 corpus=$2 max_len=$3
  mkdir -p "$scratch/$name"
  "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$scratch/artifacts/$name-" -print_final_stats=0 \
    "$scratch/$name" "$corpus" > "$scratch/$name.log" 2>&1
  echo $? > "$scratch/$name.status"
}

names=()
status=0
for corpus in "$root"/fuzz/corpus/*/; do
  name=$(basename "$corpus")
  if [ ! -x "$build/fuzz/fuzz_$name" ]; then
    echo "missing fuzz target $build/fuzz/fuzz_$name"
    status=1
    continue
  fi
  names+=("$name")
  # Inputs may grow a quarter beyond the longest seed (at least 4 KiB), so a
  # corpus with long seeds (the data-set texts of 256 KiB) is fuzzed at its
  # own lengths while the short ones stay quick.
  longest=$(find "$corpus" -type f -printf '%s\n' | sort -n | tail -n 1)
  max_len=$(( ${longest:-0} + ${longest:-0} / 4 ))
  [ "$max_len" -ge 4096 ] || max_len=4096
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  echo "=== fuzz_$name for ${seconds}s (inputs up to $max_len bytes)"
  fuzz_one "$name" "$corpus" "$max_len" &
done
wait

ran=0
for name in "${names[@]}"; do
  if [ "$(cat "$scratch/$name.status")" = 0 ]; then
    echo "fuzz_$name: $(tail -n 1 "$scratch/$name.log")"
    ran=$((ran + 1))
  else
    echo "fuzz_$name FAILED; see $scratch/$name.log and $scratch/artifacts/"
    tail -n 40 "$scratch/$name.log"
    status=1
  fi
done
echo "fuzz: $ran targets ran for ${seconds}s each without a crash"
exit $status
