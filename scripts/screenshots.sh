#!/usr/bin/env bash
# Screenshots of the program's windows, taken under Xvfb (a real X server) on a fresh demo
# init.mdb, by clicking through the program as a user does:
#   scripts/screenshots.sh [FOLDER]          (default build/screenshots)
# main.png            the main window with DEMO chosen
# detail-source.png   "Detail" of the source, detail-target.png "Detail" of the target
# translation.png     "&Umsetzung" of the target's first field
# main-dbdemo.png     the main window on DBDEMO, a definition with a database source
# dataview.png        "Anzeigen" on DBDEMO
# preview.png         "Vorschau" on DEMO
# main-after-run.png  the main window after "Ausführen" on DEMO, with the line that says
#                     how the run ended
# It also shows the start of the file the run wrote.
# QUENDRA_BUILD names the build tree to use (default build/release, built when missing).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$here/build/screenshots}" && cd "${1:-$here/build/screenshots}" && pwd)
build=${QUENDRA_BUILD:-$here/build/release}

need=()
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xdotool >/dev/null || need+=(xdotool)
command -v import >/dev/null || need+=(imagemagick)
command -v sqlite3 >/dev/null || need+=(sqlite3)
if [ ${#need[@]} -gt 0 ]; then
  sudo_cmd=(); [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
if [ -f "$build/CMakeCache.txt" ]; then
  cmake --build "$build" --target quendra >/dev/null
else
  "$here/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DQUENDRA_BUILD_TESTS=OFF >/dev/null
fi

# The program reads init.mdb from its own folder: a copy of it in a fresh folder.
work=$(mktemp -d "${TMPDIR:-/tmp}/quendra-shots.XXXXXX")
xvfb_pid=; app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cp "$build/app/quendra" "$work/"
"$here/scripts/make-demo.sh" "$work/init.mdb" >/dev/null
# DBDEMO: the demo bookings as a table of an SQLite database ("MS Access" file type);
# SQLite holds text as UTF-8, the demo file is Windows-1252.
iconv -f WINDOWS-1252 -t UTF-8 "$here/demo/buchungen.txt" >"$work/buchungen-utf8.txt"
sqlite3 "$work/buchungen.db" <<SQL
create table buchungen (konto text, filiale text, datum text, betrag text, text text, kst text);
.separator ";"
.import $work/buchungen-utf8.txt buchungen
SQL
sqlite3 "$work/init.mdb" <<SQL
delete from srcHead where transid = 'DBDEMO';
delete from trgHead where transid = 'DBDEMO';
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium)
  values ('DBDEMO', '$work/buchungen.db', 'MS Access', 0, 'buchungen', '', '', '', 2);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding)
  values ('DBDEMO', '$work/dbdemo_export.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
SQL

display=:$(( 90 + RANDOM % 100 ))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
"$work/quendra" &
app_pid=$!
main=$(xdotool search --sync --onlyvisible --name '^Quendra \(' | head -1)
xdotool windowmove --sync "$main" 0 0
sleep 0.5

visible() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | sort; }
# Clicks at a point of the main window (pixels of its client area).
click() { xdotool mousemove --window "$main" "$1" "$2" click 1; sleep 0.4; }
shot() { import -window "$1" "$out/$2"; echo "$out/$2"; }
# Waits for a window of the program that is not among those listed in $1; prints its id.
new_window() {
  local after dialog
  for _ in $(seq 50); do
    after=$(visible)
    dialog=$(comm -13 <(echo "$1") <(echo "$after") | head -1)
    [ -n "$dialog" ] && { echo "$dialog"; return; }
    sleep 0.1
  done
  echo "Kein neues Fenster erschienen" >&2; exit 1
}
# Photographs a freshly opened window.
shoot_window() {
  sleep 0.5
  echo "Fenster \"$(xdotool getwindowname "$1")\" ($(xdotool getwindowgeometry "$1" | sed -n 's/ *Geometry: //p')):"
  shot "$1" "$2"
}
# Clicks a button that opens a modal window, photographs that window and closes it.
shoot_dialog() {
  local before dialog
  before=$(visible)
  click "$1" "$2"
  dialog=$(new_window "$before")
  shoot_window "$dialog" "$3"
  xdotool windowfocus --sync "$dialog" key Escape
  sleep 0.4
}
# "Detail" of the target, and from it "&Umsetzung" (Alt+U) of its first field.
shoot_target_editors() {
  local before body translation
  before=$(visible)
  click 652 252
  body=$(new_window "$before")
  shoot_window "$body" detail-target.png
  before=$(visible)
  xdotool windowfocus --sync "$body" key alt+u
  translation=$(new_window "$before")
  shoot_window "$translation" translation.png
  xdotool windowfocus --sync "$translation" key Escape
  sleep 0.4
  xdotool windowfocus --sync "$body" key Escape
  sleep 0.4
}

# Positions: twips / 15; the frames "Von" at 8,8 and "Nach" at 360,8.
shot "$main" main.png
shoot_dialog 300 252 detail-source.png # "Detail" of the source
shoot_target_editors                   # "Detail" of the target, "&Umsetzung"
click 170 290                          # the definition list
xdotool key Down                       # DBDEMO, the next entry
sleep 0.5
shot "$main" main-dbdemo.png
shoot_dialog 220 252 dataview.png      # "Anzeigen"
click 170 290
xdotool key Up                         # back to DEMO
sleep 0.3
shoot_dialog 292 292 preview.png       # "Vorschau"
click 572 292                          # "Ausführen"
for _ in $(seq 100); do [ -s "$work/buchungen_export.txt" ] && break; sleep 0.1; done
sleep 0.5
shot "$main" main-after-run.png
echo "Ausführen auf DEMO schrieb buchungen_export.txt:"
head -3 "$work/buchungen_export.txt" | iconv -f WINDOWS-1252 -t UTF-8
click 660 292                          # "S&chliessen"
for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app_pid" 2>/dev/null; then
  echo "Das Programm hat sich nach \"Schliessen\" nicht beendet." >&2; exit 1
fi
app_pid=
