#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Trains each file set, and ten layers of ten on 300 patterns, with the
# engine built with the hardening flags and with its twin built without
# them: every weight must agree to the last bit.
# Usage: same_bits_test.sh HARDENED UNHARDENED BASE...
set -u
hardened=$1 unhardened=$2
shift 2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
printf '%s\r\n' NETLIST=10,10,10,10,10,10,10,10,10,10,10 BIASLIST=1,1,1,1,1,1,1,1,1,1 \
  ERRTEST=0 TRAINMAX=4 INITW=2 TRAIN=1 >"$out/Largest.pr1"
awk 'BEGIN { print 300; for (p = 1; p <= 300; p++) { line = "";
  for (f = 1; f <= 20; f++) line = line (f > 1 ? "," : "") ((p * 7 + f * 13) % 21 - 10) / 10;
  print line } }' >"$out/Largest.ds1"
failed=0
for base in "$@" "$out/Largest"; do
  "$hardened" "$base" >"$out/a" && "$unhardened" "$base" >"$out/b" && [ -s "$out/a" ] &&
    cmp -s "$out/a" "$out/b" || { echo "FAIL: $base: the weights differ"; failed=1; continue; }
  echo "$(basename "$base"): $(wc -l <"$out/a") weights agree to the last bit"
done
exit $failed
