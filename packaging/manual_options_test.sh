#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The runner's manual page describes exactly the options `backprop-run
# --help` lists: each as the first line of a .TP block.
# Usage: manual_options_test.sh BACKPROP_RUN MANUAL_PAGE
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$1" --help | sed -n 's/^  \(--[a-z-]*\).*/\1/p' | sort -u >"$work/help"
sed -n '/^\.TP/{n;s/\\-/-/g;s/^\.B[IR]\{0,1\} *\(--[a-z-]*\).*/\1/p;}' "$2" | sort -u >"$work/page"
[ -s "$work/help" ] || { echo "no option found in backprop-run --help"; exit 1; }
diff -u "$work/help" "$work/page" || {
  echo "the options of backprop-run --help (-) and of $2 (+) differ"
  exit 1
}
