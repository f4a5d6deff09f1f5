# Shared set-up for ./run and ./test: one package list, one build tree.
# Sourced, not executed.

RAVLIN_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-qpa-plugins libqt6sql6-sqlite qt6-charts-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  libsdl2-mixer-dev libhangul-dev libcurl4-openssl-dev libsimpleini-dev
  libgtest-dev libgmock-dev libbenchmark-dev libtinyobjloader-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-apps x11-utils xdotool x11-xkb-utils
  fonts-nanum fonts-nanum-coding
  lame
  dpkg-dev desktop-file-utils appstream
)

# Only the tests need these: the desktop input methods the real-input-method
# tests type Korean through, and the Wayland compositor (with Qt's Wayland
# platform) the program is started under. The program itself does not.
RAVLIN_TEST_PACKAGES=(
  dbus ibus ibus-hangul fcitx5 fcitx5-hangul fcitx5-frontend-qt6
  weston qt6-wayland xwayland
)

ROOT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR="$ROOT_DIR/build"

# Installs whatever is missing from the package list (with "tests", also from
# the test-only list). As root this runs apt-get; otherwise it prints the
# single command to run and stops.
ensure_packages() {
  local wanted=("${RAVLIN_PACKAGES[@]}")
  [ "${1:-}" = tests ] && wanted+=("${RAVLIN_TEST_PACKAGES[@]}")
  local missing=()
  local pkg
  for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run this once, then try again:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Configures once and builds incrementally (Release): the given targets, or
# everything (program, media, tests, benchmarks, sanitizer and fuzz builds).
build_all() {
  if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S "$ROOT_DIR" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release
  fi
  local targets=()
  local target
  for target in "$@"; do
    targets+=(--target "$target")
  done
  cmake --build "$BUILD_DIR" --parallel "$(nproc)" "${targets[@]}"
}
