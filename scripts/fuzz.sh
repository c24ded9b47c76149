#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, AddressSanitizer + UndefinedBehaviorSanitizer)
# in build/fuzz and runs each for a bounded time from its seed corpus in
# tests/fuzz/corpus/<name>. Fails when a harness crashes, trips a sanitizer or finds a
# disagreement; the input that did it is kept in build/fuzz/findings/<name>.
#
#   scripts/fuzz.sh [SECONDS [HARNESS...]]    default: 30 seconds each, every harness
#
# New inputs that reach new code go to build/fuzz/corpus/<name>; the seed corpus in the
# repository is read, never changed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
shift || true
dir=$here/build/fuzz
harnesses=(textline numbers dates translation dbase paradox excel lotus csvfolder access)
[ $# -gt 0 ] && harnesses=("$@")

CC=clang-14 CXX=clang++-14 "$here/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUENDRA_FUZZ=ON -DQUENDRA_BUILD_TESTS=OFF -DQUENDRA_BUILD_GUI=OFF

# A small quarantine keeps the process small, so that the readers' children are made
# quickly; a child that a library crashes ends by the signal, as the reader expects, instead
# of reporting it as the harness's finding; the harnesses' files go to memory where there
# is a tmpfs.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1:quarantine_size_mb=16:allow_user_segv_handler=1:suppressions=$here/tests/fuzz/asan.supp
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=${TMPDIR:-/dev/shm}
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$here/tests/lsan.supp:print_suppressions=0
export QT_LOGGING_RULES='*.warning=false'
status=0
for name in "${harnesses[@]}"; do
    mkdir -p "$dir/corpus/$name" "$dir/findings/$name"
    max_len=65536
    if [ "$name" = access ]; then
        # Access files are made of 4 KB pages: a useful one needs more than 64 KB. The
        # real database that the reader tests use (scripts/fetch-fixtures.sh) seeds it.
        max_len=262144
        "$here/scripts/fetch-fixtures.sh" "$here/build/fixtures" || true
        find "$here/build/fixtures" -name '*.mdb' -exec cp -n {} "$dir/corpus/$name/" \;
    fi
    echo "== fuzz_$name: $seconds s"
    if ! "$dir/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=150 -rss_limit_mb=4096 \
        -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$dir/findings/$name/" \
        "$dir/corpus/$name" "$here/tests/fuzz/corpus/$name" >"$dir/findings/$name.log" 2>&1; then
        tail -n 60 "$dir/findings/$name.log"
        echo "fuzz_$name: Fehler gefunden, Eingabe in $dir/findings/$name/" >&2
        status=1
    else
        grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb)' \
            "$dir/findings/$name.log" || true
    fi
done
exit $status
