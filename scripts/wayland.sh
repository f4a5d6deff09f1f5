#!/usr/bin/env bash
# Runs the Wayland tests by hand, outside ctest:
#   scripts/wayland.sh [test arguments...]
# Installs the test packages when missing (as root), builds the program and
# the test program, and runs them on weston's headless back end (with
# XWayland). The compositor's screenshots of the test window, the menu on
# Wayland and the menu restarted on XWayland are left in the temporary
# folder as ravlin-wayland-scene.png, ravlin-wayland-menu.png and
# ravlin-xwayland-menu.png.
set -uo pipefail
source "$(dirname "$0")/common.sh"
ensure_packages tests
build_all ravlin test_wayland
"$ROOT_DIR/tests/wayland/run_wayland.sh" "$BUILD_DIR/tests/test_wayland" "$@"
status=$?
case $status in
  0) echo "Wayland: passed; screenshots in ${TMPDIR:-/tmp}/ravlin-*wayland-*.png" ;;
  77) echo "Wayland: skipped (see the reason above)" ;;
  *) echo "Wayland: FAILED" ;;
esac
exit $status
