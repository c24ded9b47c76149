#!/usr/bin/env bash
# The Debian packages as a user meets them:
#   tests/package/check-packages.sh [BUILD_DIR]
# Builds both packages from BUILD_DIR (scripts/package.sh), checks them with lintian and
# that quendra-run pulls in no window system, unpacks them (dpkg -x) and from there runs
# DEMO for a user with an empty home folder (the written bytes against the demo's
# expected output) and opens the window under Xvfb. Run as root it also installs them
# with apt-get, does the same from /usr/bin and removes them again.
# QUENDRA_PACKAGE_SHOTS=FOLDER keeps a screenshot of each window.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$here/build/release}
expected=$here/tests/package/buchungen_export.txt
work=$(mktemp -d "${TMPDIR:-/tmp}/quendra-packages.XXXXXX")
xvfb_pid=; installed=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$installed" ] && apt-get remove -y -qq quendra quendra-run >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "Paketprobe: $*" >&2; exit 1; }

"$here/scripts/package.sh" "$build" "$work/debs" >/dev/null
runner=$(echo "$work"/debs/quendra-run_*.deb)
window=$(echo "$work"/debs/quendra_*.deb)
lintian --fail-on error --tag-display-limit 0 "$runner" "$window"

# The batch runner installs on a machine without X: nothing it needs, however
# indirectly, is a part of Qt's GUI or of X11.
mapfile -t needs < <(dpkg-deb -f "$runner" Depends | tr ',|' '\n\n' | sed 's/(.*//; s/ //g')
gui=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
  --no-replaces --no-enhances "${needs[@]}" | grep -E '^(libqt6gui6|libqt6widgets6|libx11-6)$' || true)
[ -z "$gui" ] && dpkg-deb -f "$window" Depends | grep libqt6widgets6 >/dev/null ||
  fail "quendra-run braucht ${gui:-nichts}, quendra nicht Qt Widgets"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
display=:$(cat "$work/display")

# try BIN_FOLDER NAME: both programs from BIN_FOLDER for new users.
try() {
  local home=$work/home-$2 config
  config=$home/.config/quendra
  mkdir -p "$home"
  [ "$("$1/quendra-run" --version)" = "quendra-run $(dpkg-deb -f "$runner" Version)" ] ||
    fail "$1/quendra-run --version nennt nicht die Version des Pakets"
  env -u XDG_CONFIG_HOME HOME="$home" LC_ALL=C "$1/quendra-run" DEMO ||
    fail "$1/quendra-run DEMO endete mit Status $?"
  cmp "$config/buchungen_export.txt" "$expected" || fail "$2: DEMO schrieb andere Bytes"

  mkdir -p "$home-window"
  env -u XDG_CONFIG_HOME HOME="$home-window" DISPLAY="$display" LC_ALL=C "$1/quendra" &
  local pid=$! id
  id=$(DISPLAY=$display timeout 30 xdotool search --sync --onlyvisible --name '^Quendra \(' |
    head -1) || true
  if [ -n "$id" ] && [ -n "${QUENDRA_PACKAGE_SHOTS:-}" ]; then
    mkdir -p "$QUENDRA_PACKAGE_SHOTS"
    sleep 1
    DISPLAY=$display import -window "$id" "$QUENDRA_PACKAGE_SHOTS/$2.png"
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ -n "$id" ] || fail "$2: kein Fenster von $1/quendra"
  [ -f "$home-window/.config/quendra/init.mdb" ] || fail "$2: quendra legte keine init.mdb an"
}

dpkg -x "$runner" "$work/root"
dpkg -x "$window" "$work/root"
try "$work/root/usr/bin" unpacked

if [ "$(id -u)" -eq 0 ]; then
  if dpkg-query -W -f='${Status}' quendra-run 2>/dev/null | grep 'ok installed' >/dev/null; then
    fail "quendra-run ist auf diesem Rechner schon installiert; die Probe entfernt es nicht"
  fi
  installed=yes
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$runner" >/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$window" >/dev/null
  MANPAGER=cat man quendra-run 2>/dev/null | grep -- '--config DATEI' >/dev/null ||
    fail "man quendra-run zeigt die Handbuchseite nicht"
  try /usr/bin installed
  apt-get remove -y -qq quendra quendra-run >/dev/null
  installed=
fi
echo "Pakete geprüft: $(basename "$runner") $(basename "$window")"
