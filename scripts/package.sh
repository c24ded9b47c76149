#!/usr/bin/env bash
# Builds the Debian packages quendra and quendra-run:
#   scripts/package.sh [BUILD_DIR [OUT_DIR]]
# BUILD_DIR is the build tree to package (default build/release, configured and built
# as a Release tree when it has none yet); the .deb files go to OUT_DIR (default
# build/packages). Prints the path of each package.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
out=${2:-$here/build/packages}
if [ -f "$build/CMakeCache.txt" ]; then
  # Only what the packages hold: a tree with tests need not build them for this.
  targets=(quendra-run quendra_package_files)
  grep -q '^QUENDRA_BUILD_GUI:BOOL=ON' "$build/CMakeCache.txt" && targets+=(quendra)
  cmake --build "$build" --target "${targets[@]}" >/dev/null
else
  "$here/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DQUENDRA_BUILD_TESTS=OFF >/dev/null
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/quendra_*.deb "$out"/quendra-run_*.deb
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
ls "$out"/quendra_*.deb "$out"/quendra-run_*.deb
