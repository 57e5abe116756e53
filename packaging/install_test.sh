#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary folder (DESTDIR) and checks that every
# file lands where a desktop looks for it, that the desktop entry, the
# metainfo and the manual pages pass their checkers where these are
# installed, and that the menu entry's command works in the user's own
# folder with the demonstration sets and the exercises, never replacing the
# user's files.
# Usage: install_test.sh BUILD PREFIX APP_ID
set -eu
build=$1 prefix=$2 id=$3
source=$(cd "$(dirname "$0")/.." && pwd)
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR=$dest cmake --install "$build" >/dev/null
root=$dest$prefix
failed=0
fail() { echo "FAIL: $*"; failed=1; }

cd "$root"
for file in bin/backpropagation bin/backprop-run; do
  [ -x "$file" ] || fail "$prefix/$file is not an installed program"
done
icons=""
for size in 16 22 24 32 48 64 128 256; do
  icons="$icons share/icons/hicolor/${size}x${size}/apps/backpropagation.png"
done
for file in $icons "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
    share/icons/hicolor/scalable/apps/backpropagation.svg \
    share/man/man1/backpropagation.1.gz share/man/man1/backprop-run.1.gz \
    share/doc/backpropagation/README.md share/doc/backpropagation/copyright; do
  [ -s "$file" ] || fail "$prefix/$file is missing"
done
diff -r -x ".*" "$source/demo" share/backpropagation/demo || fail "the demonstration sets differ"
diff -r -x ".*" "$source/exercises" share/backpropagation/exercises || fail "the exercises differ"

# Checkers, where Debian's packages of them are installed.
checker() {
  if command -v "$1" >/dev/null; then "$@" || fail "$*"; else echo "SKIPPED: $1 is not installed"; fi
}
checker desktop-file-validate "share/applications/$id.desktop"
checker appstreamcli validate --no-net "share/metainfo/$id.metainfo.xml"
manual_page() {  # man prints roff's complaints and still succeeds
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$warnings"; return 1; }
}
for page in share/man/man1/*.1.gz; do
  if command -v man >/dev/null; then manual_page "$page" || fail "$page"; else echo "SKIPPED: man is not installed"; fi
done

# The menu entry's command, with a stand-in program that tells where it ran.
launcher=$dest$(sed -n 's/^Exec=//p' "share/applications/$id.desktop")
[ -x "$launcher" ] || fail "the menu entry's command $launcher is not installed"
printf '#!/bin/sh\npwd >"$STARTED_IN"\n' >bin/backpropagation
home=$dest/home
mkdir "$home"
HOME=$home STARTED_IN=$dest/started "$launcher"
[ "$(cat "$dest/started")" = "$home/Backpropagation" ] || fail "started in $(cat "$dest/started")"
diff -r -x ".*" -x Exercises "$source/demo" "$home/Backpropagation" ||
  fail "the user's folder lacks demonstration files"
diff -r -x ".*" "$source/exercises" "$home/Backpropagation/Exercises" ||
  fail "the user's folder lacks the exercises"
echo mine >"$home/Backpropagation/Demo.pr1"
echo mine >"$home/Backpropagation/Exercises/01-AndOr.txt"
rm "$home/Backpropagation/Demo.wts"
HOME=$home STARTED_IN=$dest/started "$launcher"
[ "$(cat "$home/Backpropagation/Demo.pr1")" = mine ] || fail "a file of the user's was replaced"
[ "$(cat "$home/Backpropagation/Exercises/01-AndOr.txt")" = mine ] || fail "an exercise of the user's was replaced"
cmp "$source/demo/Demo.wts" "$home/Backpropagation/Demo.wts" || fail "a missing file was not copied"
exit $failed
