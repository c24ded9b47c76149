#!/usr/bin/env bash
# The throughput benchmark: bench/run.sh [RECORDS]
# Builds a Release quendra-run (build/bench), generates RECORDS booking records
# (default 1,000,000) and converts them with Quendra, the floor program, gawk, Python and
# Miller, round by round (median of RUNS rounds, default 5, at least 5). Checks that all outputs are
# byte-identical, prints times and ratios, Quendra's peak memory for 1 and 10 million
# records, the wall time of a 12-record run (the demo) as a whole process beside the
# start-up floor (bench/startfloor.cpp), and the same conversion run from the main window
# (offscreen, "Ausführen" clicked) beside quendra-run.
# Generated data stays in build/bench/data and is reused by later runs.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
records=${1:-1000000}
runs=${RUNS:-5}
((runs >= 5)) || runs=5
data="$here/build/bench/data"
work="$here/build/bench/work"

"$here/scripts/install-deps.sh"
echo "Baue Release in build/bench ..."
"$here/scripts/build.sh" "$here/build/bench" -DCMAKE_BUILD_TYPE=Release \
  -DQUENDRA_BUILD_TESTS=OFF -DQUENDRA_BUILD_GUI=ON >/dev/null
cmake --build "$here/build/bench" --target quendra-windowbench quendra-startfloor >/dev/null
run="$here/build/bench/app/quendra-run"
rm -rf "$work"
mkdir -p "$data" "$work"
g++ -O2 -std=c++17 -o "$work/floor" "$here/bench/floor.cpp"

# init.mdb with the definition BENCH from SRC to DST: make_config SRC DST NAME
# The run journal is off: each way converts the same source again and again, which the
# repeat guard would refuse; what the journal costs is bench/guard.sh's measure.
make_config() {
  : >"$work/init-$3.mdb"
  sed -e "s|@SRC@|$1|" -e "s|@DST@|$2|" "$here/bench/definition.sql" | sqlite3 "$work/init-$3.mdb"
  "$run" --config "$work/init-$3.mdb" --journal-rows 0 >/dev/null
}

# The source of N records, generated once: source N (prints its path)
source_file() {
  local file="$data/src-$1.txt"
  [ -s "$file" ] || python3 "$here/bench/gen.py" "$1" "$file"
  echo "$file"
}

# Median of a list of numbers on stdin.
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One run of a command that writes OUT: appends "wall cpu" (seconds; CPU = user +
# system) to FILE: time_once FILE OUT COMMAND...
# The CPU time is the fairer figure on a machine that other work shares. Every run writes
# a new file, with the output of the runs before written out: ext4 takes tens of
# milliseconds to write back a large file, or to free its blocks when it is overwritten,
# and that time would fall on whichever program runs then. Measured by the shell to the
# millisecond (the time program rounds to hundredths of a second, too coarse for runs of
# a quarter of a second); the command's error output stays visible.
time_once() {
  local file=$1 out=$2; shift 2
  local TIMEFORMAT='%3R %3U %3S' times wall user sys
  rm -f "$out"
  sync
  times=$({ time "$@" >/dev/null 2>&3; } 3>&2 2>&1) || { echo "FEHLER: $* schlug fehl" >&2; exit 1; }
  read -r wall user sys <<<"$times"
  echo "$wall $(echo "$user + $sys" | bc -l)" >>"$file"
}

# Median wall and CPU time of the runs in FILE.
medians() { echo "$(cut -d' ' -f1 "$1" | median) $(cut -d' ' -f2 "$1" | median)"; }

# Median over $runs runs of wall time and CPU time of one command that writes OUT:
# measure OUT COMMAND...
measure() {
  local out=$1; shift
  : >"$work/runs"
  for ((i = 0; i < runs; i++)); do time_once "$work/runs" "$out" "$@"; done
  medians "$work/runs"
}

ratio() { if [ "$(echo "$2 > 0" | bc -l)" = 1 ]; then printf '%.2f' "$(echo "$1 / $2" | bc -l)"; else echo -; fi; }

# --- Throughput -------------------------------------------------------------------------
echo "Erzeuge $records Datensätze ..."
src=$(source_file "$records")
make_config "$src" "$work/quendra.txt" main

export LC_ALL=C
programs=(quendra floor awk py mlr)
declare -A name=([quendra]=Quendra [floor]=Floor [awk]=gawk [py]=Python [mlr]=Miller)
declare -A cmd
cmd[quendra]="env LC_ALL=de_DE.UTF-8 '$run' --config '$work/init-main.mdb' BENCH"
cmd[floor]="'$work/floor' '$src' '$work/floor.txt'"
cmd[awk]="gawk -f '$here/bench/peers/convert.awk' '$src' >'$work/awk.txt'"
cmd[py]="python3 '$here/bench/peers/convert.py' '$src' '$work/py.txt'"
cmd[mlr]="mlr --icsvlite --implicit-csv-header --allow-ragged-csv-input --ifs ';' --onidx \
--ofs ';' --ors crlf put -q -f '$here/bench/peers/convert.mlr' '$src' >'$work/mlr.txt'"

# Round by round, every program once per round, so that a change in the machine's load
# during the measurement meets all of them alike.
declare -A wall cpu
echo "Messe ${programs[*]} im Wechsel ($runs Runden) ..."
for p in "${programs[@]}"; do : >"$work/runs-$p"; done
for ((round = 0; round < runs; round++)); do
  for p in "${programs[@]}"; do time_once "$work/runs-$p" "$work/$p.txt" sh -c "exec ${cmd[$p]}"; done
done
for p in "${programs[@]}"; do read -r wall[$p] cpu[$p] < <(medians "$work/runs-$p"); done

for p in py mlr quendra; do
  cmp "$work/awk.txt" "$work/$p.txt" ||
    { echo "FEHLER: ${name[$p]} weicht von gawk ab" >&2; exit 1; }
done
echo "Ausgaben identisch ($(wc -c <"$work/quendra.txt") Bytes)."

echo
echo "$records Datensätze, Median aus $runs Läufen:"
printf '%-8s %8s %8s\n' "" "Wand/s" "CPU/s"
for p in "${programs[@]}"; do
  printf '%-8s %8.3f %8.3f\n' "${name[$p]}" "${wall[$p]}" "${cpu[$p]}"
done
for kind in wall cpu; do
  declare -n t=$kind
  echo "$kind: Quendra/Floor $(ratio "${t[quendra]}" "${t[floor]}")," \
    "gawk/Quendra $(ratio "${t[awk]}" "${t[quendra]}")," \
    "Python/Quendra $(ratio "${t[py]}" "${t[quendra]}")," \
    "Miller/Quendra $(ratio "${t[mlr]}" "${t[quendra]}")"
done

# --- The same conversion run from the main window, beside quendra-run -------------------
make_config "$src" "$work/window.txt" window
echo "Messe Lauf aus dem Fenster ($runs Läufe) ..."
read -r wall[window] cpu[window] < <(measure "$work/window.txt" env LC_ALL=de_DE.UTF-8 QT_QPA_PLATFORM=offscreen \
  "$here/build/bench/app/quendra-windowbench" "$work/init-window.mdb" BENCH)
cmp "$work/window.txt" "$work/quendra.txt" || { echo "FEHLER: der Lauf aus dem Fenster weicht ab" >&2; exit 1; }
printf '%-12s %8s %8s\n' "" "Wand/s" "CPU/s"
printf '%-12s %8.3f %8.3f\n' "quendra-run" "${wall[quendra]}" "${cpu[quendra]}"
printf '%-12s %8.3f %8.3f\n' "Fenster" "${wall[window]}" "${cpu[window]}"
echo "Fenster/quendra-run: Wand $(ratio "${wall[window]}" "${wall[quendra]}"), CPU $(ratio "${cpu[window]}" "${cpu[quendra]}")"
rm -f "$work"/*.txt

# --- Peak memory: must not grow with the source ------------------------------------------
for n in 1000000 10000000; do
  make_config "$(source_file "$n")" "$work/mem-out.txt" mem
  kb=$(LC_ALL=de_DE.UTF-8 /usr/bin/time -f %M "$run" --config "$work/init-mem.mdb" BENCH 2>&1 >/dev/null | tail -1)
  rm -f "$work/mem-out.txt"
  echo "Spitzenspeicher bei $n Datensätzen: $kb KiB"
done

# --- A small run as a whole process: start-up dominates ----------------------------------
# Beside it the start-up floor: Qt Core started, init.mdb opened through Qt SQL's SQLite
# driver and its version row read (bench/startfloor.cpp), which no run can go below.
"$here/scripts/make-demo.sh" "$work/demo/init.mdb" >/dev/null
"$run" --config "$work/demo/init.mdb" --journal-rows 0 >/dev/null
sync
# The locale goes to hyperfine's environment, so that the time is quendra-run's alone
# and not that of an env process in front of it.
LC_ALL=de_DE.UTF-8 hyperfine -N --runs 20 --warmup 3 --style none --export-json "$work/demo.json" \
  "$run --config $work/demo/init.mdb DEMO" \
  "$here/build/bench/app/quendra-startfloor $work/demo/init.mdb" >/dev/null
read -r ms cpums floorms floorcpums < <(python3 -c 'import json, sys
r = json.load(open(sys.argv[1]))["results"]
print(" ".join("%.1f %.1f" % (x["median"] * 1000, (x["user"] + x["system"]) * 1000) for x in r))' \
  "$work/demo.json")
echo "quendra-run DEMO ($(wc -l <"$here/demo/buchungen.txt") Datensätze), 20 Läufe:" \
  "Median $ms ms Wand, Mittel $cpums ms CPU"
echo "Start-Untergrenze (Qt, init.mdb öffnen, eine Abfrage), 20 Läufe:" \
  "Median $floorms ms Wand, Mittel $floorcpums ms CPU;" \
  "quendra-run DEMO/Untergrenze $(ratio "$ms" "$floorms")"
