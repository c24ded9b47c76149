#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh DIR [cmake options...]
# Uses ccache when it is installed, so that several trees share compiled objects.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$here")}
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$here" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir"
