#!/usr/bin/env bash
# Command 2: installs what is missing, builds Quendra and its tests twice (plain, and
# with AddressSanitizer + UndefinedBehaviorSanitizer) and runs every test in both.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
jobs=$(nproc)
"$here/scripts/fetch-fixtures.sh" "$here/build/fixtures"

"$here/scripts/build.sh" "$here/build/debug" -DCMAKE_BUILD_TYPE=Debug -DQUENDRA_WERROR=ON
"$here/scripts/build.sh" "$here/build/asan" -DCMAKE_BUILD_TYPE=Debug -DQUENDRA_SANITIZE=ON -DQUENDRA_WERROR=ON

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$here/scripts/with-test-services.sh" bash -c "
  ctest --test-dir '$here/build/debug' --output-on-failure -j $jobs &&
  ctest --test-dir '$here/build/asan' --output-on-failure -j $jobs"
