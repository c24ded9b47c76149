#!/usr/bin/env bash
# Fetches test fixtures that come from Debian packages rather than from this repository
# into the folder given as the first argument.
#
# mrtg-contrib (GPL) ships Monitor.mdb, a small Jet database that the Access reader's
# tests open. The package is downloaded and unpacked once; a second call does nothing.
# A failed download (no network) is not fatal here: the tests that need the file skip,
# and fail where QUENDRA_TEST_NO_SKIP=1 is set (CI).
set -euo pipefail
dest=${1:?Aufruf: fetch-fixtures.sh ZIELORDNER}
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)

fetch_deb() { # package, file inside the package that shows it is unpacked
  local pkg=$1 marker=$2
  if [ -n "$(find "$dest/$pkg" -name "$marker" -print -quit 2>/dev/null)" ]; then
    return 0
  fi
  local work
  work=$(mktemp -d)
  if (cd "$work" && apt-get download -qq "$pkg" >/dev/null 2>&1); then
    rm -rf "$dest/$pkg.tmp"
    dpkg-deb -x "$work"/"$pkg"_*.deb "$dest/$pkg.tmp"
    rm -rf "$dest/$pkg"
    mv "$dest/$pkg.tmp" "$dest/$pkg"
  else
    echo "Hinweis: Paket $pkg konnte nicht geladen werden; Tests, die es brauchen, werden übersprungen." >&2
  fi
  rm -rf "$work"
}

fetch_deb mrtg-contrib Monitor.mdb
