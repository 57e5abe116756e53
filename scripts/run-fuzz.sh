#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a given number of seconds on its
# committed corpus (fuzz/corpus/<name>). New inputs go to a scratch folder,
# so the committed corpus only changes when someone adds to it on purpose.
# Usage: run-fuzz.sh BUILD_DIR SECONDS
set -u
build=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=$root/fuzz-corpus-run
status=0
ran=0
for corpus in "$root"/fuzz/corpus/*/; do
  name=$(basename "$corpus")
  target=$build/fuzz/fuzz_$name
  [ -x "$target" ] || { echo "missing fuzz target $target"; status=1; continue; }
  mkdir -p "$scratch/$name" "$scratch/artifacts"
  # Inputs may grow a quarter beyond the longest seed (at least 4 KiB), so a
  # corpus with long seeds (the data-set texts of 256 KiB) is fuzzed at its
  # own lengths while the short ones stay quick.
  longest=$(find "$corpus" -type f -printf '%s\n' | sort -n | tail -n 1)
  max_len=$(( ${longest:-0} + ${longest:-0} / 4 ))
  [ "$max_len" -ge 4096 ] || max_len=4096
  echo "=== fuzz_$name for ${seconds}s (inputs up to $max_len bytes)"
  if "$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$scratch/artifacts/$name-" -print_final_stats=0 \
       "$scratch/$name" "$corpus" > "$scratch/$name.log" 2>&1; then
    tail -n 1 "$scratch/$name.log"
    ran=$((ran + 1))
  else
    echo "fuzz_$name FAILED; see $scratch/$name.log and $scratch/artifacts/"
    tail -n 40 "$scratch/$name.log"
    status=1
  fi
done
echo "fuzz: $ran targets ran for ${seconds}s each without a crash"
exit $status
