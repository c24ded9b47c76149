#!/usr/bin/env bash
# Command 1: installs what is missing, builds Quendra, creates init.mdb with the demo
# definition DEMO when there is none yet, and starts the program. The build speaks only
# when it fails (its output is in build/release/build.log).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
build=$here/build/release
[ -f "$build/CMakeCache.txt" ] || echo "Quendra wird gebaut (beim ersten Start einige Minuten) ..."
mkdir -p "$build"
if ! "$here/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DQUENDRA_BUILD_TESTS=OFF \
  >"$build/build.log" 2>&1; then
  tail -n 30 "$build/build.log" >&2
  echo "Der Bau ist fehlgeschlagen; alles steht in $build/build.log." >&2
  exit 1
fi
bin="$build/app"
if [ ! -e "$bin/init.mdb" ] && [ -x "$here/scripts/make-demo.sh" ]; then
  "$here/scripts/make-demo.sh" "$bin/init.mdb"
fi
exec "$bin/quendra" "$@"
