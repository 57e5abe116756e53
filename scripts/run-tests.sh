#!/usr/bin/env bash
# Runs the whole suite in each build directory given and ends with one line
# that names how many tests ran in each, or which build failed.
set -u
summary=""
status=0
for dir in "$@"; do
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
