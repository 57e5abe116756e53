#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Static analysis of engine/, files/, tools/ and ui/: clang-tidy with the
# checks of .clang-tidy, then cppcheck with the settings of
# cppcheck-suppressions.txt. BUILD_DIR holds a compilation database made
# without precompiled headers (the lint preset), which clang-tidy reads.
# Usage: run-lint.sh BUILD_DIR
set -u
build=$1
root=$(cd "$(dirname "$0")/.." && pwd)
status=0

echo "=== clang-tidy"
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "^$root/(engine|files|tools|ui)/" \
  > "$build/clang-tidy.log" 2>&1 || status=1
# One line per finding: a header's findings come once for every source
# that includes it.
sed 's/\x1b\[[0-9;]*m//g' "$build/clang-tidy.log" | grep -E "^/.*: (warning|error): " | sort -u \
  > "$build/clang-tidy-findings.txt"
cat "$build/clang-tidy-findings.txt"
echo "clang-tidy: $(wc -l < "$build/clang-tidy-findings.txt") findings"

echo "=== cppcheck"
cppcheck --quiet --error-exitcode=1 --std=c++20 --language=c++ --library=qt \
  --enable=warning,style,performance,portability --inline-suppr \
  --suppressions-list="$root/cppcheck-suppressions.txt" -j "$(nproc)" \
  --template='{file}:{line}: {severity}: {message} [{id}]' \
  -I "$root" "$root/engine" "$root/files" "$root/tools" "$root/ui" || status=1

exit $status
