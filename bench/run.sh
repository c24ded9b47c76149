#!/usr/bin/env bash
# The throughput benchmark: bench/run.sh [RECORDS]
# Builds a Release quendra-run (build/bench), generates RECORDS booking records
# (default 1,000,000), converts them with Quendra, the floor program, gawk and Python
# (median of 3 runs each), checks that all outputs are byte-identical, prints times and
# ratios, measures Quendra's peak memory for 1M and 5M records, and compares the run from
# the main window (offscreen, "Ausführen" clicked) with quendra-run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
records=${1:-1000000}
work=$(mktemp -d "${TMPDIR:-/tmp}/quendra-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

command -v /usr/bin/time >/dev/null || { echo "Paket 'time' fehlt (apt-get install time)" >&2; exit 1; }
echo "Baue Release in build/bench ..."
"$here/scripts/build.sh" "$here/build/bench" -DCMAKE_BUILD_TYPE=Release \
  -DQUENDRA_BUILD_TESTS=OFF -DQUENDRA_BUILD_GUI=ON >/dev/null
cmake --build "$here/build/bench" --target quendra-windowbench >/dev/null
run="$here/build/bench/app/quendra-run"
g++ -O2 -std=c++17 -o "$work/floor" "$here/bench/floor.cpp"

# init.mdb with the definition BENCH from SRC to DST
make_config() {
  : >"$work/init-$3.mdb"
  sed -e "s|@SRC@|$1|" -e "s|@DST@|$2|" "$here/bench/definition.sql" | sqlite3 "$work/init-$3.mdb"
}

gen() { python3 "$here/bench/gen.py" "$1" "$2"; }

echo "Erzeuge $records Datensätze ..."
src="$work/src.txt"
gen "$records" "$src"
make_config "$src" "$work/quendra.txt" main

export LC_ALL=C
declare -A cmd
cmd[quendra]="env LC_ALL=de_DE.UTF-8 '$run' --config '$work/init-main.mdb' BENCH"
cmd[floor]="'$work/floor' '$src' '$work/floor.txt'"
cmd[awkpeer]="gawk -f '$here/bench/peers/convert.awk' '$src' >'$work/awk.txt'"
cmd[pypeer]="python3 '$here/bench/peers/convert.py' '$src' '$work/py.txt'"

# Median of three runs: wall time and CPU time (user + system), in seconds. The CPU
# time is the fairer figure on a machine that other work shares.
median3() {
  local walls=() cpus=()
  for _ in 1 2 3; do
    /usr/bin/time -f "%e %U %S" -o "$work/time" "$@"
    read -r wall user sys <"$work/time"
    walls+=("$wall"); cpus+=("$(echo "$user + $sys" | bc -l)")
  done
  echo "$(printf '%s\n' "${walls[@]}" | sort -g | sed -n 2p) $(printf '%s\n' "${cpus[@]}" | sort -g | sed -n 2p)"
}

declare -A wall cpu
for p in quendra floor awkpeer pypeer; do
  read -r wall[$p] cpu[$p] < <(median3 sh -c "exec ${cmd[$p]}")
done

cmp "$work/awk.txt" "$work/py.txt" || { echo "FEHLER: gawk und Python weichen voneinander ab" >&2; exit 1; }
cmp "$work/quendra.txt" "$work/awk.txt" || { echo "FEHLER: Quendra weicht von den Vergleichsprogrammen ab" >&2; exit 1; }
echo "Ausgaben identisch ($(wc -c <"$work/quendra.txt") Bytes)."

ratio() { echo "scale=2; $1 / $2" | bc -l; }
printf '%-8s %8s %8s\n' "" "Wand/s" "CPU/s"
for p in quendra floor awkpeer pypeer; do
  printf '%-8s %8.2f %8.2f\n' "${p%peer}" "${wall[$p]}" "${cpu[$p]}"
done
for kind in wall cpu; do
  declare -n t=$kind
  echo "$kind: gawk/Quendra $(ratio "${t[awkpeer]}" "${t[quendra]}"), Python/Quendra $(ratio "${t[pypeer]}" "${t[quendra]}"), Quendra/Floor $(ratio "${t[quendra]}" "${t[floor]}")"
done

# Peak memory must not grow with the source.
for n in 1000000 5000000; do
  gen "$n" "$work/mem.txt"
  make_config "$work/mem.txt" "$work/mem-out.txt" mem
  kb=$(LC_ALL=de_DE.UTF-8 /usr/bin/time -f %M "$run" --config "$work/init-mem.mdb" BENCH 2>&1 >/dev/null | tail -1)
  echo "Spitzenspeicher bei $n Datensätzen: $kb KiB"
done

# The same conversion run from the main window, side by side with quendra-run.
make_config "$src" "$work/window.txt" window
read -r wall[window] cpu[window] < <(median3 env LC_ALL=de_DE.UTF-8 QT_QPA_PLATFORM=offscreen \
  "$here/build/bench/app/quendra-windowbench" "$work/init-window.mdb" BENCH)
cmp "$work/window.txt" "$work/quendra.txt" || { echo "FEHLER: der Lauf aus dem Fenster weicht ab" >&2; exit 1; }
printf '%-12s %8s %8s\n' "" "Wand/s" "CPU/s"
printf '%-12s %8.2f %8.2f\n' "quendra-run" "${wall[quendra]}" "${cpu[quendra]}"
printf '%-12s %8.2f %8.2f\n' "Fenster" "${wall[window]}" "${cpu[window]}"
echo "Fenster/quendra-run: Wand $(ratio "${wall[window]}" "${wall[quendra]}"), CPU $(ratio "${cpu[window]}" "${cpu[quendra]}")"
