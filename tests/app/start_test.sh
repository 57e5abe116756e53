#!/bin/sh
# Starts the window program COUNT times, each with an X server of its own,
# XDG_RUNTIME_DIR unset as in a bare session. Mostly the server is started
# just before the program, so the program may find it not yet accepting
# connections; every fifth time the server is started only once the
# program has said that it waits for its display (the server not being
# there at all until then). Each start must show the window and end through
# End by itself: exit status 0, and on standard error nothing but Qt's
# notice of the runtime folder it chose and the program's note that it
# waited for the display.
# Usage: start_test.sh PROGRAM COUNT
set -u
program=$(realpath "$1") count=$2
command -v Xvfb >/dev/null || { echo "SKIPPED: Xvfb is not installed"; exit 77; }
work=$(mktemp -d)
server="" client=""
trap 'for p in $client $server; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
cd "$work"

# A display number no other server holds, well above those xvfb-run takes.
display=$((500 + $$ % 400))
free_display() {
  while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
    display=$((display + 1))
  done
}

start_server() {
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  server=$!
}

failed=0 clean=0 start=1
while [ "$start" -le "$count" ]; do
  free_display
  mkdir "$work/tmp"
  rm -f "$work/err" "$work/stderr"
  mkfifo "$work/stderr"
  late=$((start % 5 == 0))
  [ "$late" -eq 1 ] || start_server
  env -u XDG_RUNTIME_DIR -u QT_QPA_PLATFORM DISPLAY=":$display" TMPDIR="$work/tmp" \
    BACKPROP_QUIT_WHEN_SHOWN=1 timeout 60 "$program" 2>"$work/stderr" &
  client=$!
  exec 3<"$work/stderr"
  if [ "$late" -eq 1 ]; then
    # The first line, or the end if the program ended without one.
    IFS= read -r line <&3 && printf '%s\n' "$line" >"$work/err"
    start_server
  fi
  cat <&3 >>"$work/err"
  exec 3<&-
  wait "$client"
  status=$?
  if ! kill "$server" 2>/dev/null; then
    echo "start $start: the X server on :$display did not run:"; cat "$work/xvfb.log"
    failed=1
  fi
  wait "$server"
  server=""
  unexpected=$(grep -v -e '^QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to ' \
    -e '^backpropagation: waiting for the display ' "$work/err")
  if [ "$status" -ne 0 ] || [ -n "$unexpected" ]; then
    echo "start $start on :$display: exit status $status"; cat "$work/err"
    failed=1
  else
    clean=$((clean + 1))
  fi
  rm -rf "$work/tmp"
  display=$((display + 1))
  start=$((start + 1))
done
echo "$clean of $count starts were clean"
exit $failed
