#!/usr/bin/env bash
# What the repeat guard costs: bench/guard.sh [RECORDS]
# Converts RECORDS booking records (default 1,000,000; bench/gen.py) with the definition
# BENCH (bench/definition.sql) by a Release quendra-run (build/bench), round by round
# (median of RUNS rounds, default 5), four ways: with the journal off and on, each written
# record by record (the SHA-256 is taken beside the run while the records go to a new
# file beside the target, checked before that file takes the target's place) and all or
# nothing (the SHA-256 is taken while the run reads, checked before the new file replaces
# the target). The journal's rows are removed before every run, so that no run is a
# repeat. Prints the median wall and CPU seconds and what the guard adds.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
records=${1:-1000000}
runs=${RUNS:-5}
data="$here/build/bench/data"
work="$here/build/bench/guard"
run="$here/build/bench/app/quendra-run"

if [ -f "$here/build/bench/build.ninja" ]; then
  cmake --build "$here/build/bench" --target quendra-run >/dev/null
else
  "$here/scripts/build.sh" "$here/build/bench" -DCMAKE_BUILD_TYPE=Release \
    -DQUENDRA_BUILD_TESTS=OFF -DQUENDRA_BUILD_GUI=OFF >/dev/null
fi
rm -rf "$work"
mkdir -p "$data" "$work"
src="$data/src-$records.txt"
[ -s "$src" ] || python3 "$here/bench/gen.py" "$records" "$src"

# init.mdb NAME with the definition BENCH, journal kept or not: config NAME ROWS
config() {
  : >"$work/$1.mdb"
  sed -e "s|@SRC@|$src|" -e "s|@DST@|$work/out.txt|" "$here/bench/definition.sql" |
    sqlite3 "$work/$1.mdb"
  "$run" --config "$work/$1.mdb" --journal-rows "$2"
}
config off 0
config on 10000

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One run: appends "wall cpu" (seconds; CPU = user + system) to the file of WAY:
# once WAY CONFIG [OPTION]
once() {
  local way=$1 conf=$2; shift 2
  local TIMEFORMAT='%3R %3U %3S' times wall user sys
  rm -f "$work/out.txt"
  sqlite3 "$work/$conf.mdb" "delete from quendraJournal" 2>/dev/null || true
  sync
  times=$({ time "$run" --config "$work/$conf.mdb" "$@" BENCH >/dev/null 2>&3; } 3>&2 2>&1) ||
    { echo "FEHLER: $way schlug fehl" >&2; exit 1; }
  read -r wall user sys <<<"$times"
  echo "$wall $(echo "$user + $sys" | bc -l)" >>"$work/$way"
}

ways=(plain-off plain-on whole-off whole-on)
echo "Messe ${ways[*]} im Wechsel ($runs Runden, $records Datensätze) ..."
for ((round = 0; round < runs; round++)); do
  once plain-off off
  once plain-on on
  once whole-off off --all-or-nothing
  once whole-on on --all-or-nothing
done
"$run" --config "$work/on.mdb" --journal | head -2 | cut -c1-120

declare -A wall cpu
printf '%-10s %8s %8s\n' "" "Wand/s" "CPU/s"
for w in "${ways[@]}"; do
  wall[$w]=$(cut -d' ' -f1 "$work/$w" | median)
  cpu[$w]=$(cut -d' ' -f2 "$work/$w" | median)
  printf '%-10s %8.3f %8.3f\n' "$w" "${wall[$w]}" "${cpu[$w]}"
done
percent() { printf '%+.1f %%' "$(echo "($1 / $2 - 1) * 100" | bc -l)"; }
for kind in plain whole; do
  echo "$kind: Wand $(percent "${wall[$kind-on]}" "${wall[$kind-off]}")," \
    "CPU $(percent "${cpu[$kind-on]}" "${cpu[$kind-off]}")"
done
rm -f "$work/out.txt"
