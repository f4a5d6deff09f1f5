#!/usr/bin/env bash
# Runs the real-input-method tests against one desktop input method:
#   run_real_im.sh ibus|fcitx5 <test program> [test arguments...]
# It gives the method a world of its own: a fresh home and runtime folder,
# an X server (Xvfb), a private D-Bus session, and the method started there
# with Hangul as its input method and Hangul mode on from the first key.
# Exit 77 (skipped) names the piece that cannot run here.
set -uo pipefail

method=${1:?method: ibus or fcitx5}
program=${2:?test program}
shift 2

skip() {
  echo "SKIPPED: $*" >&2
  exit 77
}

qt_plugins=$(find /usr/lib -maxdepth 3 -type d -path '*/qt6/plugins' 2>/dev/null | head -1)
for tool in Xvfb xvfb-run dbus-run-session dbus-send xdotool; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
case "$method" in
  ibus)
    command -v ibus-daemon >/dev/null || skip "ibus is not installed"
    [ -x /usr/libexec/ibus-engine-hangul ] || skip "ibus-hangul is not installed"
    [ -x /usr/libexec/ibus-memconf ] || skip "ibus (ibus-memconf) is not installed"
    [ -f "$qt_plugins/platforminputcontexts/libibusplatforminputcontextplugin.so" ] ||
      skip "Qt 6's ibus plugin (libqt6gui6) is missing"
    ;;
  fcitx5)
    command -v fcitx5 >/dev/null || skip "fcitx5 is not installed"
    [ -f /usr/share/fcitx5/inputmethod/hangul.conf ] || skip "fcitx5-hangul is not installed"
    [ -f "$qt_plugins/platforminputcontexts/libfcitx5platforminputcontextplugin.so" ] ||
      skip "fcitx5-frontend-qt6 is not installed"
    ;;
  *) echo "unknown method: $method" >&2; exit 2 ;;
esac

# Inside the X server and the D-Bus session: start the method, run the tests.
if [ "${RAVLIN_REAL_IM_INNER:-}" = 1 ]; then
  log="$HOME/method.log"
  case "$method" in
    ibus)
      # ibus-hangul reads its settings through GSettings; the key file
      # back end keeps them in the private home.
      export GSETTINGS_BACKEND=keyfile
      mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
      printf '[org/freedesktop/ibus/engine/hangul]\ninitial-input-mode=%s\n' "'hangul'" \
        >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"
      # No panel or emoji helper (nothing to show them); the in-memory
      # configuration, as there is no dconf in a private session.
      ibus-daemon --daemonize --replace --panel=disable --emoji-extension=disable \
        --config=/usr/libexec/ibus-memconf --cache=none >"$log" 2>&1 ||
        skip "ibus-daemon did not start: $(tail -3 "$log")"
      for _ in $(seq 50); do
        ibus address 2>/dev/null | grep -q . && ibus engine hangul >>"$log" 2>&1 && break
        sleep 0.2
      done
      [ "$(ibus engine 2>/dev/null)" = hangul ] ||
        skip "ibus did not take the hangul engine: $(tail -3 "$log")"
      export QT_IM_MODULE=ibus
      ;;
    fcitx5)
      mkdir -p "$XDG_CONFIG_HOME/fcitx5"
      cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=hangul

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=hangul
Layout=

[GroupOrder]
0=Default
PROFILE
      # Every new input context starts with the method active (Hangul).
      printf '[Behavior]\nActiveByDefault=True\nShareInputState=No\n' \
        >"$XDG_CONFIG_HOME/fcitx5/config"
      fcitx5 --replace >"$log" 2>&1 &
      # Asking fcitx5 itself before it owns its bus name would have D-Bus
      # start a second copy; ask the bus whether the name has an owner.
      has_owner() {
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
          org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null | grep -q true
      }
      for _ in $(seq 50); do
        has_owner && break
        sleep 0.2
      done
      has_owner || skip "fcitx5 did not start: $(tail -3 "$log")"
      export QT_IM_MODULE=fcitx
      ;;
  esac
  echo "input method: $method (QT_IM_MODULE=$QT_IM_MODULE)"
  "$program" "$@"
  status=$?
  [ $status -ne 0 ] && { echo "--- method log:"; tail -20 "$log"; }
  case "$method" in
    ibus) ibus exit >/dev/null 2>&1 ;;
    fcitx5) fcitx5-remote -e >/dev/null 2>&1 ;;
  esac
  exit $status
fi

world=$(mktemp -d "${TMPDIR:-/tmp}/ravlin-realim.XXXXXX")
trap 'rm -rf "$world"' EXIT
mkdir -p "$world/home/.config" "$world/home/.cache" "$world/home/.local/share" "$world/run"
chmod 700 "$world/run"
export HOME="$world/home" XDG_CONFIG_HOME="$world/home/.config" XDG_CACHE_HOME="$world/home/.cache"
export XDG_DATA_HOME="$world/home/.local/share" XDG_RUNTIME_DIR="$world/run"
unset DBUS_SESSION_BUS_ADDRESS IBUS_ADDRESS WAYLAND_DISPLAY GTK_IM_MODULE XMODIFIERS
export QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy
export RAVLIN_REAL_IM_INNER=1
self=$(readlink -f "$0")
xvfb-run -a -s "-screen 0 1280x1024x24 +extension GLX" \
  dbus-run-session -- "$self" "$method" "$program" "$@"
