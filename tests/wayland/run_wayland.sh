#!/usr/bin/env bash
# Runs the Wayland tests on a compositor of their own:
#   run_wayland.sh <test program> [test arguments...]
# weston with its headless back end and the pixman renderer (so that
# weston-screenshooter sees what the clients drew), --debug (which lets any
# client take screenshots), XWayland when installed, all in a private
# runtime folder. Exit 77 (skipped) names the piece that cannot run here.
set -uo pipefail
program=${1:?test program}
shift

skip() {
  echo "SKIPPED: $*" >&2
  exit 77
}
command -v weston >/dev/null || skip "weston is not installed"
command -v weston-screenshooter >/dev/null || skip "weston-screenshooter is not installed"
backend=$(ls /usr/lib/*/libweston-*/headless-backend.so 2>/dev/null | head -1)
[ -n "$backend" ] || skip "weston's headless back end is not installed"
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-egl.so >/dev/null 2>&1 ||
  skip "Qt 6's Wayland platform (qt6-wayland) is not installed"

runtime=$(mktemp -d "${TMPDIR:-/tmp}/ravlin-wayland.XXXXXX")
chmod 700 "$runtime"
weston_pid=
cleanup() {
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
  rm -rf "$runtime"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$runtime
unset WAYLAND_DISPLAY DISPLAY
xwayland=()
command -v Xwayland >/dev/null && xwayland=(--xwayland)
socket=wayland-ravlin
weston --backend=headless-backend.so --use-pixman --width=1280 --height=900 --no-config \
  --idle-time=0 --debug --socket=$socket "${xwayland[@]}" --log="$runtime/weston.log" \
  >/dev/null 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
  [ -S "$runtime/$socket" ] && grep -q "launching.*weston-desktop-shell" "$runtime/weston.log" 2>/dev/null && break
  kill -0 "$weston_pid" 2>/dev/null || skip "weston did not start: $(tail -3 "$runtime/weston.log")"
  sleep 0.1
done
[ -S "$runtime/$socket" ] || skip "weston opened no socket: $(tail -3 "$runtime/weston.log")"
sleep 0.5 # the shell client draws the panel and the background

if [ ${#xwayland[@]} -gt 0 ]; then
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$runtime/weston.log" | head -1)
  [ -n "$display" ] && export RAVLIN_XWAYLAND_DISPLAY=$display
fi
export WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy
"$program" "$@"
status=$?
[ $status -ne 0 ] && { echo "--- weston log:"; tail -20 "$runtime/weston.log"; }
exit $status
