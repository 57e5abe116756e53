#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every benchmark executable that the bench/ tree built in BUILD_DIR
# (default: build), one after the other, and fails if any of them fails.
set -u
dir="${1:-build}"
if [ ! -d "$dir/bench" ]; then
  echo "run-bench: no benchmarks in $dir (configure with -DBACKPROP_BENCH=ON)" >&2
  exit 1
fi
# Window benchmarks need no display.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
status=0
count=0
while IFS= read -r exe; do
  count=$((count + 1))
  echo "=== $exe"
  "$exe" || { echo "run-bench: $exe failed" >&2; status=1; }
done < <(find "$dir/bench" -path '*/CMakeFiles' -prune -o -type f -perm -u+x -print | sort)
if [ "$count" -eq 0 ]; then
  echo "run-bench: no benchmark executables under $dir/bench" >&2
  exit 1
fi
exit $status
