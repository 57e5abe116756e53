#!/bin/sh
# Checks that the built programs carry the hardening the packaging check
# looks for: a position-independent executable, relocations made read-only
# (RELRO) and resolved before the program runs (BIND_NOW), the stack
# protector, and C library calls fortified (at least one, as with none the
# check reports that fortification is missing).
# Usage: hardening_test.sh PROGRAM...
set -u
failed=0
fail() { echo "FAIL: $*"; failed=1; }
for program in "$@"; do
  name=$(basename "$program")
  headers=$(readelf -W -h -l -d "$program") || { fail "$name cannot be read"; continue; }
  symbols=$(readelf -W --dyn-syms "$program")
  echo "$headers" | grep -q 'Type: *DYN' || fail "$name is not a position-independent executable"
  echo "$headers" | grep -q 'GNU_RELRO' || fail "$name has no read-only relocations"
  echo "$headers" | grep -q -E '\((BIND_NOW|FLAGS)\).*NOW' || fail "$name is not bound at start"
  echo "$symbols" | grep -q ' __stack_chk_fail' || fail "$name has no stack protector"
  fortified=$(echo "$symbols" | grep -c -E ' __[a-z0-9_]+_chk(@|$)')
  [ "$fortified" -gt 0 ] || fail "$name calls no fortified function"
  echo "$name: PIE, RELRO, BIND_NOW, stack protector, $fortified fortified functions"
done
exit $failed
