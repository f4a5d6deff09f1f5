#!/usr/bin/env bash
# Types Korean through the real desktop input methods by hand, outside ctest:
#   scripts/real_input_method.sh [ibus] [fcitx5] [test arguments...]
# Installs the test packages when missing (as root), builds the test
# program, and runs it once per method (both when none is named), each in an
# X server, D-Bus session and home of its own. Prints the keystrokes stored
# per character in sentence practice and each method's result.
set -uo pipefail
source "$(dirname "$0")/common.sh"
ensure_packages tests
build_all test_realim

methods=()
while [ $# -gt 0 ] && { [ "$1" = ibus ] || [ "$1" = fcitx5 ]; }; do
  methods+=("$1")
  shift
done
[ ${#methods[@]} -eq 0 ] && methods=(ibus fcitx5)

summary=()
for method in "${methods[@]}"; do
  echo "=== $method"
  "$ROOT_DIR/tests/realim/run_real_im.sh" "$method" "$BUILD_DIR/tests/test_realim" "$@"
  case $? in
    0) summary+=("$method: passed") ;;
    77) summary+=("$method: skipped (see the reason above)") ;;
    *) summary+=("$method: FAILED") ;;
  esac
done
echo "=== results"
printf '%s\n' "${summary[@]}"
! printf '%s\n' "${summary[@]}" | grep -q FAILED
