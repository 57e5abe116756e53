#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the whole suite in each build directory given, then (after --fuzz
# BUILD SECONDS) each fuzz target for a short while, and ends with one line
# that says how many tests ran in each build, or what failed.
# Usage: run-tests.sh BUILD... [--fuzz FUZZ_BUILD SECONDS]
set -u
here=$(cd "$(dirname "$0")" && pwd)
summary=""
status=0
while [ $# -gt 0 ]; do
  if [ "$1" = "--fuzz" ]; then
    fuzzlog=$(mktemp)
    "$here/run-fuzz.sh" "$2" "$3" 2>&1 | tee "$fuzzlog"
    if [ "${PIPESTATUS[0]}" -ne 0 ]; then
      status=1
      summary="$summary fuzz: FAILED;"
    else
      summary="$summary $(tail -n 1 "$fuzzlog" | sed -E 's/^fuzz: ([0-9]+) targets ran for ([0-9]+)s each.*/\1 fuzz targets ran \2s each/');"
    fi
    rm -f "$fuzzlog"
    shift 3
    continue
  fi
  dir=$1
  shift
  echo "=== tests in $dir"
  log=$(mktemp)
  ctest --test-dir "$dir" --output-on-failure -j2 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  rm -f "$log"
  total=$(echo "$line" | sed -E 's/.* out of ([0-9]+).*/\1/')
  failed=$(echo "$line" | sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/')
  if [ "$rc" -ne 0 ] || [ -z "$line" ]; then
    status=1
    summary="$summary $dir: FAILED (${failed:-?} of ${total:-?} failed);"
  else
    summary="$summary $dir: $total tests passed;"
  fi
done
echo "make test:${summary%;}"
exit $status
