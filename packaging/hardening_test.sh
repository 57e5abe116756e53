#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The built programs carry the hardening the packaging check looks for: a
# position-independent executable, read-only relocations resolved at start
# (RELRO, BIND_NOW), the stack protector and at least one fortified call.
# Usage: hardening_test.sh PROGRAM...
failed=0
for program in "$@"; do
  found=$(readelf -W -h -l -d --dyn-syms "$program")
  for mark in 'Type: *DYN' GNU_RELRO '\((BIND_NOW|FLAGS)\).*NOW' ' __stack_chk_fail' ' __[a-z0-9_]+_chk@'; do
    echo "$found" | grep -q -E "$mark" || { echo "FAIL: $program lacks $mark"; failed=1; }
  done
done
exit $failed
