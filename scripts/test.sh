#!/usr/bin/env bash
# Command 2: installs what is missing, checks the formatting, builds Quendra and its
# tests with AddressSanitizer + UndefinedBehaviorSanitizer (leak detection on) and runs
# every test there, the fuzz harnesses' seed corpora included; then builds the Debian
# packages from a release tree and tries them as installed (tests/package/check-packages.sh).
# A test that cannot run (missing service or fixture) fails here instead of skipping.
# Fuzzing proper is scripts/fuzz.sh's job; a plain debug tree for daily work is
# scripts/build.sh build/debug.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
"$here/scripts/check-format.sh"
jobs=$(nproc)
"$here/scripts/fetch-fixtures.sh" "$here/build/fixtures"

"$here/scripts/build.sh" "$here/build/asan" -DCMAKE_BUILD_TYPE=Debug -DQUENDRA_SANITIZE=ON -DQUENDRA_WERROR=ON

export QUENDRA_TEST_NO_SKIP=1
# The slow unwinder names the SQLite ODBC driver's frames (see tests/lsan.supp); six frames
# an allocation reach them and halve the time it takes. Run a leak again with
# malloc_context_size=30 for its whole stack.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0:malloc_context_size=6
# The sanitizer build reads a large file up to 90 times slower than a release build.
export QUENDRA_READ_TIMEOUT=${QUENDRA_READ_TIMEOUT:-1800}
export LSAN_OPTIONS=suppressions=$here/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# LeakSanitizer's own tracer thread can die as a test program ends ("Tracer caught signal
# 11"), after the test itself has passed. When that is what every failure was, the failed
# tests run once more without the leak check (the tracer belongs to it alone), and a
# failure of theirs counts.
run_tests() {
  ctest --test-dir "$here/build/asan" --output-on-failure -j "$jobs" && return 0
  # Every failed test must show that crash: a leak found elsewhere is never run again.
  local log="$here/build/asan/Testing/Temporary"
  local crashed failed
  crashed=$(grep -c "Tracer caught signal" "$log/LastTest.log" || true)
  failed=$(wc -l < "$log/LastTestsFailed.log")
  [[ $crashed -gt 0 && $crashed -eq $failed ]] || return 1
  echo "LeakSanitizers Tracer ist abgestürzt; die fehlgeschlagenen Tests laufen noch einmal," \
    "ohne Lecksuche." >&2
  ASAN_OPTIONS=${ASAN_OPTIONS/detect_leaks=1/detect_leaks=0} \
    ctest --test-dir "$here/build/asan" --output-on-failure --rerun-failed
}
export here jobs
"$here/scripts/with-test-services.sh" bash -c "$(declare -f run_tests); run_tests"

"$here/tests/package/check-packages.sh" "$here/build/release"
