#!/usr/bin/env bash
# Runs one test program on an X server of its own: the sanitizer builds of
# the widget and GL tests are several times slower than the plain ones, and
# their windows must neither cover nor be covered by those of the programs
# that ctest runs beside them on the shared display.
#
# The server picks a free display number itself (-displayfd), so that two of
# these started at once never race for the same one.
#   run_own_x.sh PROGRAM [ARGS...]
set -u
work=$(mktemp -d)
trap 'kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1920x1200x24 +extension GLX -nolisten tcp \
  3>"$work/display" >"$work/xvfb.log" 2>&1 &
xpid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  if ! kill -0 "$xpid" 2>/dev/null; then
    cat "$work/xvfb.log" >&2
    echo "run_own_x.sh: Xvfb did not start" >&2
    exit 1
  fi
  sleep 0.1
done
if [ ! -s "$work/display" ]; then
  echo "run_own_x.sh: Xvfb gave no display number" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"
"$@"
rc=$?
exit "$rc"
