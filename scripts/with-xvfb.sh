#!/bin/sh
# Runs a command with DISPLAY set to a virtual X server of its own, on a
# display number Xvfb picks as free, and stops the server afterwards.
#   with-xvfb.sh COMMAND [ARGS...]
# Passes the command's exit code through.
set -u
[ $# -ge 1 ] || { echo "usage: with-xvfb.sh COMMAND [ARGS...]" >&2; exit 2; }
command -v Xvfb >/dev/null 2>&1 || { echo "with-xvfb.sh: Xvfb is not installed (package xvfb)" >&2; exit 2; }

numberfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$numberfile" 2>/dev/null &
xvfb=$!
i=0
while [ ! -s "$numberfile" ] && [ $i -lt 100 ]; do
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
    i=$((i + 1))
done
number=$(head -n 1 "$numberfile" | tr -dc 0-9)
rm -f "$numberfile"
if [ -z "$number" ]; then
    echo "with-xvfb.sh: Xvfb did not start" >&2
    kill "$xvfb" 2>/dev/null
    exit 2
fi

DISPLAY=:$number
export DISPLAY
"$@"
status=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $status
