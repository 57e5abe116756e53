#!/bin/sh
# Trains each file set with the engine built with the hardening flags and
# with its twin built without them: every weight must agree to the last bit.
# Usage: same_bits_test.sh HARDENED UNHARDENED BASE...
set -u
hardened=$1 unhardened=$2
shift 2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# Besides the sets given, ten layers of ten on 300 patterns, a few cycles.
printf '%s\r\n' NETLIST=10,10,10,10,10,10,10,10,10,10,10 BIASLIST=1,1,1,1,1,1,1,1,1,1 \
  ERRTEST=0 TRAINMAX=4 INITW=2 TRAIN=1 >"$out/Largest.pr1"
awk 'BEGIN { print 300; for (p = 1; p <= 300; p++) { line = "";
  for (f = 1; f <= 20; f++) line = line (f > 1 ? "," : "") ((p * 7 + f * 13) % 21 - 10) / 10;
  print line } }' >"$out/Largest.ds1"
failed=0
for base in "$@" "$out/Largest"; do
  name=$(basename "$base")
  "$hardened" "$base" >"$out/hardened" && "$unhardened" "$base" >"$out/unhardened" || {
    echo "FAIL: $name did not train"; failed=1; continue; }
  weights=$(grep -c '^[0-9]' "$out/hardened")
  if [ "$weights" -eq 0 ] || ! cmp -s "$out/hardened" "$out/unhardened"; then
    echo "FAIL: $name: the weights differ"; diff "$out/hardened" "$out/unhardened" | head -n 20
    failed=1
  else
    echo "$name: $weights weights agree to the last bit"
  fi
done
exit $failed
