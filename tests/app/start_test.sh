#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the window program COUNT times, each with an X server of its own
# and XDG_RUNTIME_DIR unset: mostly the server just before the program;
# every fifth time only once the program has said it waits for its display.
# Each start must show the window and end through End by itself: exit
# status 0, and on standard error nothing but Qt's runtime-folder notice
# and the program's note that it waited.
# Usage: start_test.sh PROGRAM COUNT
set -u
program=$(realpath "$1") count=$2
command -v Xvfb >/dev/null || { echo "SKIPPED: Xvfb is not installed"; exit 77; }
work=$(mktemp -d) server="" client=""
trap 'for p in $client $server; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
cd "$work"
display=$((500 + $$ % 400))  # well above the numbers xvfb-run takes
clean=0
for start in $(seq "$count"); do
  while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
  rm -rf err stderr tmp && mkdir tmp && mkfifo stderr && : >err
  late=$((start % 5 == 0))
  [ "$late" -eq 1 ] || { Xvfb ":$display" -nolisten tcp >xvfb.log 2>&1 & server=$!; }
  env -u XDG_RUNTIME_DIR -u QT_QPA_PLATFORM DISPLAY=":$display" TMPDIR="$work/tmp" \
    BACKPROP_QUIT_WHEN_SHOWN=1 timeout 60 "$program" 2>stderr &
  client=$!
  exec 3<stderr
  if [ "$late" -eq 1 ]; then
    IFS= read -r line <&3 && printf '%s\n' "$line" >err
    Xvfb ":$display" -nolisten tcp >xvfb.log 2>&1 & server=$!
  fi
  cat <&3 >>err
  exec 3<&-
  wait "$client"
  status=$?
  kill "$server" 2>/dev/null || { echo "start $start: no X server on :$display"; cat xvfb.log; }
  wait "$server"
  if [ "$status" -eq 0 ] && ! grep -q -v -e '^QStandardPaths: XDG_RUNTIME_DIR not set' \
      -e '^backpropagation: waiting for the display' err; then
    clean=$((clean + 1))
  else
    echo "start $start on :$display: exit status $status"; cat err
  fi
  display=$((display + 1))
done
echo "$clean of $count starts were clean"
[ "$clean" -eq "$count" ]
