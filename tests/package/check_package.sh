#!/usr/bin/env bash
# Builds the Debian package from the build tree, checks its control data and
# contents, validates its desktop entry and AppStream metainfo, then unpacks
# it into a temporary root and starts that copy's launcher on an X server of
# its own, with fresh user folders: the menu window must appear and show its
# scene on screen.
#
# usage: check_package.sh <build dir> <package_window_check>
set -euo pipefail

build_dir=$(cd "$1" && pwd)
window_check=$2
app_id=io.github.ravlin.Ravlin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The package, built into a folder of its own so that parallel runs and the
# developer's own packages in the build tree do not meet.
(cd "$build_dir" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack could not build the package" >&2
  exit 1
}
debs=("$work"/pkg/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one .deb" >&2; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb")"

# Control data: library dependencies found by dpkg-shlibdeps, the fonts the
# windows use, the input methods suggested.
depends=$(dpkg-deb -f "$deb" Depends)
suggests=$(dpkg-deb -f "$deb" Suggests)
for dep in fonts-nanum fonts-nanum-coding libqt6widgets6 libqt6openglwidgets6 libhangul1 \
           libsdl2-mixer-2.0-0 libcurl4 libglu1-mesa; do
  [[ ", $depends," == *", $dep"[\ ,]* ]] || fail "Depends lacks $dep: $depends"
done
for dep in ibus-hangul fcitx5-hangul fcitx5-frontend-qt6; do
  [[ "$suggests" == *"$dep"* ]] || fail "Suggests lacks $dep: $suggests"
done
recommends=$(dpkg-deb -f "$deb" Recommends)
for dep in hicolor-icon-theme qt6-wayland; do
  [[ "$recommends" == *"$dep"* ]] || fail "Recommends lacks $dep: $recommends"
done
[ "$(dpkg-deb -f "$deb" Package)" = ravlin ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Section)" = education ] || fail "section"

# Contents.
root=$work/root
dpkg-deb -x "$deb" "$root"
usr=$root/usr
for f in bin/ravlin lib/ravlin/ravlin; do
  [ -x "$usr/$f" ] || fail "$f missing or not executable"
done
if readelf -S "$usr/lib/ravlin/ravlin" | grep -q '\.symtab'; then
  fail "the executable is not stripped"
fi
for f in lib/ravlin/Models/RvMenu.obj lib/ravlin/Images/ravlin_icon_16.png \
         share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$app_id.svg share/man/man1/ravlin.1.gz \
         share/doc/ravlin/copyright share/doc/ravlin/changelog.Debian.gz; do
  [ -s "$usr/$f" ] || fail "$f missing"
done
for size in 16 22 24 32 48 64 128 256 512; do
  icon=$usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  if [ ! -s "$icon" ]; then
    fail "$size px icon missing"
  elif [ "$(od -An -tu1 -j16 -N8 "$icon" | awk '{print $3*256+$4 "x" $7*256+$8}')" != \
         "${size}x${size}" ]; then
    fail "$size px icon has the wrong size"
  fi
done
# No file of the build tree may leak in (a path to it would break the copy).
if grep -rlF "$build_dir" "$usr/bin" "$usr/share/applications" "$usr/share/metainfo" >/dev/null; then
  fail "installed files refer to the build tree"
fi

desktop-file-validate "$usr/share/applications/$app_id.desktop" || fail "desktop entry invalid"
appstreamcli validate --no-net "$usr/share/metainfo/$app_id.metainfo.xml" >"$work/as.log" 2>&1 ||
  { cat "$work/as.log" >&2; fail "metainfo invalid"; }

# The unpacked copy, started through its launcher like the desktop entry's
# Exec line does, on its own X server. The window must show the scene, run
# from the unpacked program folder, use the given user folder, and carry
# the window class the desktop entry names.
export SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
capture=$build_dir/tests/package-window.png
wm_class=$(sed -n 's/^StartupWMClass=//p' "$usr/share/applications/$app_id.desktop")
cat >"$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
# Runs inside xvfb-run: $1 launcher, $2 window check, $3 capture, $4 program, $5 window class.
"$1" >"$WORK/program.log" 2>&1 &
pid=$!
rc=0
"$2" "타비로 v" "$3" 60000 || rc=1
if ! kill -0 "$pid" 2>/dev/null; then
  echo "FAIL: the program ended early" >&2
  rc=1
elif [ "$(readlink -f "/proc/$pid/exe")" != "$(readlink -f "$4")" ]; then
  echo "FAIL: the running program is $(readlink -f "/proc/$pid/exe"), not the unpacked copy" >&2
  rc=1
fi
if ! xwininfo -root -tree | grep -F '"타비로 v' | grep -qF "\"$5\")"; then
  echo "FAIL: the window's class is not \"$5\":" >&2
  xwininfo -root -tree | grep -F '"타비로 v' >&2 || true
  rc=1
fi
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
exit $rc
SESSION
chmod +x "$work/session.sh"
if ! WORK=$work xvfb-run -a -s "-screen 0 1600x1000x24 +extension GLX" \
     "$work/session.sh" "$usr/bin/ravlin" "$window_check" "$capture" "$usr/lib/ravlin/ravlin" \
     "$wm_class"; then
  cat "$work/program.log" >&2 || true
  fail "the unpacked program did not show its window"
fi
[ -d "$XDG_DATA_HOME/Ravlin" ] || fail "the settings folder was not made in XDG_DATA_HOME"

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package checks passed"
