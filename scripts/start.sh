#!/usr/bin/env bash
# Command 1: installs what is missing, builds Quendra, creates init.mdb with the demo
# definition DEMO when there is none yet, and starts the program.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh" "$here/build/release" -DCMAKE_BUILD_TYPE=Release -DQUENDRA_BUILD_TESTS=OFF
bin="$here/build/release/app"
if [ ! -e "$bin/init.mdb" ] && [ -x "$here/scripts/make-demo.sh" ]; then
  "$here/scripts/make-demo.sh" "$bin/init.mdb"
fi
exec "$bin/quendra" "$@"
