#!/usr/bin/env bash
# The database benchmark: bench/db.sh [ROWS [READ_ROWS]]
# Starts the test services (a PostgreSQL server and psqlODBC, scripts/with-test-services.sh),
# builds a Release quendra-run (build/bench-db), generates ROWS booking rows (default
# 100,000; bench/gen.py converted by the definition BENCH of bench/definition.sql) and
# times, round by round (RUNS rounds, default 3):
#   writing the rows into PostgreSQL: Quendra (libpq's COPY), Quendra over ODBC alone, psql's
#   \copy, psycopg2 executemany;
#   writing them into an SQLite file: Quendra, Quendra through the SQLite ODBC driver (the
#   generic ODBC path, data source QuendraBenchSQLite), Python's sqlite3 executemany in one
#   transaction;
#   reading a table of READ_ROWS rows (default 1,000,000) into a text file: Quendra (libpq's
#   COPY), Quendra over ODBC alone, psql's \copy ... to.
# Quendra reaches the data source over ODBC alone when its user may hold one session only
# (the libpq session beside the ODBC one is refused): the role quendra_bench_odbc.
# Checks that every table holds the same rows and the text files the same records, prints
# the medians (wall and CPU seconds) and the ratios, and Quendra's peak memory at a tenth of the rows and at all.
# First, typed rows into SQLite (bench/genlite.py: empty texts, NULLs, umlauts, dates, the
# widest numbers): Quendra against Python's sqlite3 executemany in one transaction, every
# stored value compared (quote()), once into files on the disk and once on a tmpfs
# (/dev/shm), where a commit's fsync costs nothing: the difference is the disk's. Then
# that table read into a text file: Quendra against Python's sqlite3 writing the same
# records, compared byte for byte. Wall and CPU seconds (user + system) are printed.
# SQLITE_ONLY=1 runs this part alone, without services.
# Then an ODBC source read through the block cursor and through Qt SQL side by side
# (bench/odbcread.cpp): the SQLite ODBC driver and psqlODBC, READ_ROWS rows, the files
# compared, the block cursor's peak memory at a tenth of the rows and at all;
# ODBC_READ_ONLY=1 runs this part alone (with the rows it needs).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
rows=${1:-100000}
readrows=${2:-1000000}
runs=${RUNS:-3}
# Debian's Python, with python3-psycopg2 (not one that a version manager puts first).
py=/usr/bin/python3

if [ -z "${QUENDRA_TEST_PG_DSN:-}" ] && [ -z "${SQLITE_ONLY:-}" ]; then
  "$here/scripts/install-deps.sh"
  exec "$here/scripts/with-test-services.sh" "$0" "$@"
fi

echo "Baue Release in build/bench-db ..."
"$here/scripts/build.sh" "$here/build/bench-db" -DCMAKE_BUILD_TYPE=Release \
  -DQUENDRA_BUILD_TESTS=OFF -DQUENDRA_BUILD_GUI=OFF >/dev/null
run="$here/build/bench-db/app/quendra-run"
data="$here/build/bench-db/data"
work="$here/build/bench-db/work"
rm -rf "$work"
mkdir -p "$data" "$work"
dsn=${QUENDRA_TEST_PG_DSN:-}
psql=(psql -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "${QUENDRA_TEST_PG_PORT:-}" -U postgres
  -d "${QUENDRA_TEST_PG_DATABASE:-}")
export PGHOST=127.0.0.1 PGPORT=${QUENDRA_TEST_PG_PORT:-} PGUSER=postgres
export PGDATABASE=${QUENDRA_TEST_PG_DATABASE:-}

columns="lfdnr varchar(6), fil varchar(4), datum varchar(8), konto varchar(10),
  betrag numeric(12,2), text varchar(30), kst varchar(8), beleg varchar(8), waehrung varchar(3)"
# Every table's rows as one text, in the order of the voucher numbers.
pg_rows="select lfdnr, fil, datum, konto, betrag, text, kst, beleg, waehrung from %s order by beleg"
lite_rows="select lfdnr||';'||fil||';'||datum||';'||konto||';'||printf('%.2f', betrag)||';'||
  text||';'||kst||';'||beleg||';'||waehrung from buchung order by beleg"

# init.mdb NAME: the definition BENCH; SQL after it adapts the target. The run journal is
# off: every round converts the same source again, which the repeat guard would refuse.
make_config() {
  : >"$work/init-$1.mdb"
  { sed -e "s|@SRC@|$2|" -e "s|@DST@|$work/unused.txt|" "$here/bench/definition.sql"
    # No text qualifiers or check lines; the date stays the text ddmmyyyy.
    echo "update trgHead set textsign = '', chkrecord = 0;"
    echo "update trgBody set fieldtype = 'Text' where field = 'DATUM';"
    echo "$3"; } | sqlite3 "$work/init-$1.mdb"
  "$run" --config "$work/init-$1.mdb" --journal-rows 0 >/dev/null
}

# The booking rows of N records as Quendra writes them (source text file, and the rows as
# UTF-8 text with a decimal point for \copy and the Python programs): rows_for N
rows_for() {
  local src="$data/src-$1.txt" rows="$data/rows-$1.txt"
  [ -s "$src" ] || python3 "$here/bench/gen.py" "$1" "$src"
  if [ ! -s "$rows" ]; then
    make_config text-$1 "$src" "update trgHead set path = '$data/out-$1.txt';"
    "$run" --config "$work/init-text-$1.mdb" BENCH
    python3 - "$data/out-$1.txt" "$rows" <<'PY'
import sys
with open(sys.argv[1], encoding="cp1252", newline="") as f, open(sys.argv[2], "w", encoding="utf-8") as out:
    for line in f:
        v = line.rstrip("\r\n").split(";")
        v[4] = v[4].replace(",", ".")
        out.write(";".join(v) + "\n")
PY
    rm -f "$data/out-$1.txt"
  fi
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }

# One timed run: time_once NAME COMMAND... appends the wall seconds to runs-NAME and the
# CPU seconds (user and system) to cpu-NAME.
time_once() {
  local name=$1; shift
  local TIMEFORMAT='%3R %3U %3S' t
  t=$({ time "$@" >/dev/null 2>&3; } 3>&2 2>&1) || { echo "FEHLER: $* schlug fehl" >&2; exit 1; }
  read -r wall user sys <<<"$t"
  echo "$wall" >>"$work/runs-$name"
  echo "$user + $sys" | bc -l >>"$work/cpu-$name"
}
# "Wand W s, CPU C s": the medians of NAME.
medians() { echo "Wand $(median <"$work/runs-$1") s, CPU $(median <"$work/cpu-$1") s"; }
# The ratios of the medians of A and B: "Wand x, CPU y".
ratios() {
  echo "Wand $(ratio "$(median <"$work/runs-$1")" "$(median <"$work/runs-$2")")," \
    "CPU $(ratio "$(median <"$work/cpu-$1")" "$(median <"$work/cpu-$2")")"
}

if [ -z "${ODBC_READ_ONLY:-}" ]; then
# --- Typed rows into SQLite: Quendra against Python's sqlite3 -----------------------------
typed="$data/typed-$rows.txt"
[ -s "$typed" ] || python3 "$here/bench/genlite.py" "$rows" "$typed"
typed_table="create table werte (text varchar(30), leer varchar(30), ganz integer,
  betrag numeric(12,2), datum date, beleg varchar(8));"
# Where the files go: the disk, and a tmpfs when there is one.
places=(disk)
shm=/dev/shm/quendra-bench-$$
if mkdir -p "$shm" 2>/dev/null; then places+=(tmpfs); trap 'rm -rf "$shm"' EXIT; fi
place_dir() { if [ "$1" = disk ]; then echo "$work"; else echo "$shm"; fi; }
for place in "${places[@]}"; do
make_config "typed-$place" "$typed" "update trgHead set textsign = '', chkrecord = 0, frommedium = 2,
  filetype = 'MS Access', path = '$(place_dir "$place")/typed-quendra.db', dbtable = 'werte';
  delete from srcBody; delete from trgBody; delete from trgconvert;
  insert into srcBody (transid, field, length, decscale, fieldtype, format, sort) values
    ('BENCH', 'text', 30, 0, 'Text', '', 10), ('BENCH', 'leer', 30, 0, 'Text', '', 20),
    ('BENCH', 'ganz', 20, 0, 'Zahl', '', 30), ('BENCH', 'betrag', 14, 2, 'Zahl', '', 40),
    ('BENCH', 'datum', 10, 0, 'Text', 'dd.mm.yyyy', 50), ('BENCH', 'beleg', 8, 0, 'Text', '', 60);
  insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue,
    srcfield, adjustment, chkfield, sort, plus, \"0padding\", ltrim, command) values
    ('BENCH', 'TEXT', 30, 0, 'Text', '', '', 'text', '', '', 10, 0, 0, 0, ''),
    ('BENCH', 'LEER', 30, 0, 'Text', '', '', 'leer', '', '', 20, 0, 0, 0, ''),
    ('BENCH', 'GANZ', 20, 0, 'Zahl', '', '', 'ganz', '', '', 30, 0, 0, 0, ''),
    ('BENCH', 'BETRAG', 14, 2, 'Zahl', '', '', 'betrag', '', '', 40, 0, 0, 0, ''),
    ('BENCH', 'DATUM', 10, 0, 'Datum', 'dd.mm.yyyy', '', 'datum', '', '', 50, 0, 0, 0, ''),
    ('BENCH', 'BELEG', 8, 0, 'Text', '', '', 'beleg', '', '', 60, 0, 0, 0, '');"
done
# The same values as Quendra stores them: texts without trailing blanks, an empty number
# 0, an empty date NULL, a date ISO text, numbers as their digits (the column's affinity
# makes them numbers).
py_typed="import sqlite3, sys
rows = []
with open(sys.argv[1], encoding='cp1252', newline='') as f:
    for line in f:
        t, l, g, b, d, beleg = line.rstrip('\r\n').split(';')
        d = d[6:] + '-' + d[3:5] + '-' + d[:2] if d else None
        rows.append((t.rstrip(' '), l, g or '0', b.replace(',', '.') if b else '0', d, beleg))
con = sqlite3.connect(sys.argv[2])
with con:
    con.executemany('insert into werte values (?, ?, ?, ?, ?, ?)', rows)
con.close()"
typed_rows="select quote(text)||'|'||quote(leer)||'|'||quote(ganz)||'|'||quote(betrag)||'|'||
  quote(datum)||'|'||quote(beleg) from werte order by beleg"
for place in "${places[@]}"; do
  for p in "typed_quendra_$place" "typed_python_$place"; do : >"$work/runs-$p"; : >"$work/cpu-$p"; done
done
echo "Messe SQLite mit typisierten Zeilen (${places[*]}): Quendra und Python im Wechsel ($runs Runden) ..."
for ((round = 0; round < runs; round++)); do
  for place in "${places[@]}"; do
    dir=$(place_dir "$place")
    rm -f "$dir/typed-quendra.db" "$dir/typed-python.db"
    sqlite3 "$dir/typed-quendra.db" "$typed_table"
    sqlite3 "$dir/typed-python.db" "$typed_table"
    sync
    time_once "typed_quendra_$place" "$run" --config "$work/init-typed-$place.mdb" BENCH
    sync
    time_once "typed_python_$place" "$py" -c "$py_typed" "$typed" "$dir/typed-python.db"
  done
done
for place in "${places[@]}"; do
  dir=$(place_dir "$place")
  sqlite3 "$dir/typed-quendra.db" "$typed_rows" >"$work/typed-quendra.txt"
  sqlite3 "$dir/typed-python.db" "$typed_rows" >"$work/typed-python.txt"
  cmp -s "$work/typed-quendra.txt" "$work/typed-python.txt" || {
    diff "$work/typed-quendra.txt" "$work/typed-python.txt" | head -n 5 >&2
    echo "FEHLER: die SQLite-Tabellen mit typisierten Zeilen weichen ab ($place)" >&2; exit 1; }
  echo "SQLite schreiben ($place), $rows typisierte Zeilen, alle Werte gleich:" \
    "Quendra $(medians "typed_quendra_$place"), Python $(medians "typed_python_$place")," \
    "Quendra/Python $(ratios "typed_quendra_$place" "typed_python_$place") (Ziel höchstens 0,5)"
done

# --- The typed table read into a text file: Quendra against Python's sqlite3 ------------
# Python's records as Quendra writes text fields: Windows-1252, CR LF, numbers with a
# decimal comma, dates as dd.mm.yyyy, NULL as nothing.
make_config lite-read "$typed" "update trgHead set textsign = '', chkrecord = 0,
  path = '$work/read-quendra.txt';
  update srcHead set frommedium = 2, filetype = 'MS Access', path = '$work/typed-python.db',
    dbtable = 'werte', delimiter = '';
  delete from srcBody; delete from trgBody; delete from trgconvert;
  insert into srcBody (transid, field, length, decscale, fieldtype, format, sort) values
    ('BENCH', 'text', 30, 0, 'Text', '', 10), ('BENCH', 'leer', 30, 0, 'Text', '', 20),
    ('BENCH', 'ganz', 30, 0, 'Text', '', 30), ('BENCH', 'betrag', 30, 0, 'Text', '', 40),
    ('BENCH', 'datum', 30, 0, 'Text', '', 50), ('BENCH', 'beleg', 30, 0, 'Text', '', 60);
  insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue,
    srcfield, adjustment, chkfield, sort, plus, \"0padding\", ltrim, command)
    select transid, upper(field), 30, 0, 'Text', '', '', field, '', '', sort, 0, 0, 0, ''
    from srcBody where transid = 'BENCH';"
py_read="import sqlite3, sys
def text(v):
    if v is None:
        return ''
    if isinstance(v, float):
        v = repr(v)
        return (v[:-2] if v.endswith('.0') else v).replace('.', ',')
    v = str(v)
    if len(v) == 10 and v[4] == '-' and v[7] == '-':
        return v[8:] + '.' + v[5:7] + '.' + v[:4]
    return v
con = sqlite3.connect(sys.argv[1])
with open(sys.argv[2], 'w', encoding='cp1252', newline='') as out:
    for row in con.execute('select * from werte'):
        out.write(';'.join(map(text, row)) + '\r\n')
con.close()"
for p in lite_read_quendra lite_read_python; do : >"$work/runs-$p"; : >"$work/cpu-$p"; done
echo "Messe das Lesen der SQLite-Tabelle: Quendra und Python im Wechsel ($runs Runden) ..."
for ((round = 0; round < runs; round++)); do
  rm -f "$work/read-quendra.txt" "$work/read-python.txt"
  time_once lite_read_quendra "$run" --config "$work/init-lite-read.mdb" BENCH
  time_once lite_read_python "$py" -c "$py_read" "$work/typed-python.db" "$work/read-python.txt"
done
cmp -s "$work/read-quendra.txt" "$work/read-python.txt" || {
  diff "$work/read-quendra.txt" "$work/read-python.txt" | head -n 5 >&2
  echo "FEHLER: die aus SQLite gelesenen Datensätze weichen ab" >&2; exit 1; }
echo "SQLite lesen, $rows Zeilen, alle Datensätze gleich: Quendra $(medians lite_read_quendra)," \
  "Python $(medians lite_read_python), Quendra/Python $(ratios lite_read_quendra lite_read_python)"
[ -z "${SQLITE_ONLY:-}" ] || exit 0
fi

echo "Erzeuge $rows und $readrows Zeilen ..."
rows_for "$rows"
rows_for "$readrows"
src="$data/src-$rows.txt"
copyin="$data/rows-$rows.txt"

"${psql[@]}" -c "drop table if exists buchung, buchung_copy, buchung_py, buchung_gross;
  create table buchung ($columns); create table buchung_copy ($columns);
  create table buchung_py ($columns); create table buchung_gross ($columns);"
"${psql[@]}" -c "\\copy buchung_gross from '$data/rows-$readrows.txt' with (delimiter ';')"
"${psql[@]}" -c "drop role if exists quendra_bench_odbc;
  create role quendra_bench_odbc login connection limit 1;
  grant all on buchung, buchung_gross to quendra_bench_odbc;"
odbc_only="$dsn;uid=quendra_bench_odbc"

# --- An ODBC source read through the block cursor and through Qt SQL, side by side --------
# quendra-odbcread reads every row as a run does (RowStream) and writes its regional
# texts; the SQLite ODBC driver on a file of the READ_ROWS rows, and psqlODBC (libpq is
# not used there). Both readers' files must be equal.
cmake --build "$here/build/bench-db" --target quendra-odbcread >/dev/null
odbcread="$here/build/bench-db/app/quendra-odbcread"
rm -f "$work/odbc-read.db"
sqlite3 "$work/odbc-read.db" "create table buchung_gross ($columns);" ".separator ;" \
  ".import '$data/rows-$readrows.txt' buchung_gross"
# StepAPI=1: the driver steps through the rows instead of holding the whole result.
printf '[%s]\nDriver=SQLite3\nDatabase=%s\nTimeout=20000\nStepAPI=1\n\n' QuendraBenchSQLiteRead \
  "$work/odbc-read.db" >>"$ODBCINI"
read_sql="select lfdnr, fil, datum, konto, betrag, text, kst, beleg, waehrung from buchung_gross"
declare -A read_dsn=([lite]=QuendraBenchSQLiteRead [pg]="$dsn;UseDeclareFetch=1;Fetch=10000")
read_programs=(lite_blocks lite_qtsql pg_blocks pg_qtsql)
for p in "${read_programs[@]}"; do : >"$work/runs-$p"; : >"$work/cpu-$p"; done
echo "Messe das Lesen über ODBC: Blockcursor und Qt SQL im Wechsel ($runs Runden) ..."
for ((round = 0; round < runs; round++)); do
  for p in "${read_programs[@]}"; do
    rm -f "$work/odbcread-$p.txt"
    time_once "$p" "$odbcread" "${p#*_}" "${read_dsn[${p%_*}]}" "$read_sql" "$work/odbcread-$p.txt"
  done
done
for s in lite pg; do
  cmp -s "$work/odbcread-${s}_blocks.txt" "$work/odbcread-${s}_qtsql.txt" || {
    echo "FEHLER: Blockcursor und Qt SQL lesen andere Werte ($s)" >&2; exit 1; }
done
echo "ODBC lesen, $readrows Zeilen, beide Leser gleich:" \
  "SQLite-ODBC Blockcursor $(medians lite_blocks), Qt SQL $(medians lite_qtsql)," \
  "Blockcursor/Qt SQL $(ratios lite_blocks lite_qtsql);" \
  "psqlODBC Blockcursor $(medians pg_blocks), Qt SQL $(medians pg_qtsql)," \
  "Blockcursor/Qt SQL $(ratios pg_blocks pg_qtsql)"
for n in $((readrows / 10)) "$readrows"; do
  for s in lite pg; do
    kb=$(/usr/bin/time -f %M "$odbcread" blocks "${read_dsn[$s]}" "$read_sql limit $n" \
      "$work/odbcread-mem.txt" 2>&1 >/dev/null | tail -n 1)
    echo "Spitzenspeicher des Blockcursors bei $n Zeilen ($s): $kb KiB"
  done
done
[ -z "${ODBC_READ_ONLY:-}" ] || exit 0

make_config pg "$src" "update trgHead set frommedium = 1, path = '$dsn', dbtable = 'buchung';"
make_config pg-odbc "$src" "update trgHead set frommedium = 1, path = '$odbc_only', dbtable = 'buchung';"
make_config lite "$src" "update trgHead set frommedium = 2, filetype = 'MS Access',
  path = '$work/quendra.db', dbtable = 'buchung';"
# Reading: nine text fields taken as they are; psqlODBC fetches the rows in blocks
# through a cursor instead of holding the whole result (see README).
readdsn="$dsn;UseDeclareFetch=1;Fetch=10000"
read_config() {
  make_config "$1" "$src" "delete from srcBody; delete from trgBody; delete from trgconvert;
    update srcHead set frommedium = 1, path = '$2', dbtable = 'buchung_gross', delimiter = '';
    update trgHead set path = '$work/$1.txt';
    with recursive k(n, name) as (select 1, 'lfdnr' union all select n + 1, case n + 1
      when 2 then 'fil' when 3 then 'datum' when 4 then 'konto' when 5 then 'betrag'
      when 6 then 'text' when 7 then 'kst' when 8 then 'beleg' else 'waehrung' end from k where n < 9)
    insert into srcBody (transid, field, length, decscale, fieldtype, format, sort)
      select 'BENCH', name, 30, 0, 'Text', '', n from k;
    insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue,
      srcfield, adjustment, chkfield, sort, plus, \"0padding\", ltrim, command)
      select transid, upper(field), 30, 0, 'Text', '', '', field, '', '', sort, 0, 0, 0, ''
      from srcBody where transid = 'BENCH';"
}
read_config read "$readdsn"
read_config read-odbc "$odbc_only;UseDeclareFetch=1;Fetch=10000"

py_lite="import sqlite3, sys
con = sqlite3.connect(sys.argv[2])
with open(sys.argv[1], encoding='utf-8') as f:
    rows = [line.rstrip('\n').split(';') for line in f]
with con:
    con.executemany('insert into buchung values (?, ?, ?, ?, ?, ?, ?, ?, ?)', rows)
con.close()"
py_pg="import psycopg2, sys
with open(sys.argv[1], encoding='utf-8') as f:
    rows = [line.rstrip('\n').split(';') for line in f]
con = psycopg2.connect(host='$PGHOST', port=$PGPORT, user='postgres', dbname='$PGDATABASE')
with con, con.cursor() as cur:
    cur.executemany('insert into buchung_py values (%s, %s, %s, %s, %s, %s, %s, %s, %s)', rows)
con.close()"
lite_table="create table buchung ($columns);"
# The generic ODBC path: an SQLite file behind the SQLite ODBC driver.
odbc_lite=QuendraBenchSQLite
printf '[%s]\nDriver=SQLite3\nDatabase=%s\nTimeout=20000\n\n' "$odbc_lite" "$work/odbc.db" >>"$ODBCINI"
make_config lite-odbc "$src" "update trgHead set frommedium = 1, path = '$odbc_lite', dbtable = 'buchung';"

programs=(quendra_pg quendra_pg_odbc copy_in psycopg2 quendra_lite quendra_lite_odbc sqlite3 quendra_read
  quendra_read_odbc copy_out)
for p in "${programs[@]}"; do : >"$work/runs-$p"; : >"$work/cpu-$p"; done
echo "Messe ${programs[*]} im Wechsel ($runs Runden) ..."
for ((round = 0; round < runs; round++)); do
  "${psql[@]}" -c "truncate buchung, buchung_copy, buchung_py"
  time_once quendra_pg_odbc "$run" --config "$work/init-pg-odbc.mdb" BENCH
  "${psql[@]}" -A -t -F ';' -c "$(printf "$pg_rows" buchung)" | md5sum >"$work/sum-buchung-odbc"
  "${psql[@]}" -c "truncate buchung"
  time_once quendra_pg "$run" --config "$work/init-pg.mdb" BENCH
  time_once copy_in "${psql[@]}" -c "\\copy buchung_copy from '$copyin' with (delimiter ';')"
  time_once psycopg2 "$py" -c "$py_pg" "$copyin"
  rm -f "$work/quendra.db" "$work/python.db"
  sqlite3 "$work/quendra.db" "$lite_table"
  sqlite3 "$work/python.db" "$lite_table"
  sync
  time_once quendra_lite "$run" --config "$work/init-lite.mdb" BENCH
  rm -f "$work/odbc.db"
  sqlite3 "$work/odbc.db" "$lite_table"
  sync
  time_once quendra_lite_odbc "$run" --config "$work/init-lite-odbc.mdb" BENCH
  sync
  time_once sqlite3 "$py" -c "$py_lite" "$copyin" "$work/python.db"
  rm -f "$work/read.txt" "$work/copy.txt"
  sync
  time_once quendra_read "$run" --config "$work/init-read.mdb" BENCH
  rm -f "$work/read-odbc.txt"
  time_once quendra_read_odbc "$run" --config "$work/init-read-odbc.mdb" BENCH
  time_once copy_out "${psql[@]}" -c "\\copy buchung_gross to '$work/copy.txt' with (delimiter ';')"
done

# --- Same rows everywhere -----------------------------------------------------------------
for t in buchung buchung_copy buchung_py; do
  "${psql[@]}" -A -t -F ';' -c "$(printf "$pg_rows" $t)" | md5sum >"$work/sum-$t"
done
sqlite3 "$work/quendra.db" "$lite_rows" | md5sum >"$work/sum-quendra-lite"
sqlite3 "$work/python.db" "$lite_rows" | md5sum >"$work/sum-python-lite"
sqlite3 "$work/odbc.db" "$lite_rows" | md5sum >"$work/sum-odbc-lite"
for s in buchung-odbc buchung_copy buchung_py quendra-lite python-lite odbc-lite; do
  cmp -s "$work/sum-buchung" "$work/sum-$s" || { echo "FEHLER: $s hält andere Zeilen" >&2; exit 1; }
done
cmp -s "$work/read.txt" "$work/read-odbc.txt" || { echo "FEHLER: über ODBC allein gelesene Datensätze weichen ab" >&2; exit 1; }
python3 - "$work/read.txt" "$work/copy.txt" <<'PY' || { echo "FEHLER: gelesene Datensätze weichen ab" >&2; exit 1; }
import decimal, sys
def records(path, encoding, comma):
    with open(path, encoding=encoding, newline="") as f:
        for line in f:
            v = line.rstrip("\r\n").split(";")
            v[4] = decimal.Decimal(v[4].replace(",", ".") if comma else v[4])
            yield v
a = sorted(records(sys.argv[1], "cp1252", True), key=lambda v: v[7])
b = sorted(records(sys.argv[2], "utf-8", False), key=lambda v: v[7])
sys.exit(0 if a == b else 1)
PY
echo "Alle Tabellen halten dieselben $rows Zeilen; die gelesenen $readrows Datensätze stimmen."

declare -A t c
for p in "${programs[@]}"; do t[$p]=$(median <"$work/runs-$p"); c[$p]=$(median <"$work/cpu-$p"); done
echo
echo "Median aus $runs Runden in s, Wand und CPU ($rows Zeilen schreiben, $readrows lesen):"
for p in "${programs[@]}"; do printf '  %-17s %8.3f %8.3f\n' "$p" "${t[$p]}" "${c[$p]}"; done
echo "PostgreSQL schreiben: Quendra/\\copy $(ratio "${t[quendra_pg]}" "${t[copy_in]}")" \
  "(Ziel höchstens 1,5), über ODBC allein $(ratio "${t[quendra_pg_odbc]}" "${t[copy_in]}")," \
  "psycopg2/Quendra $(ratio "${t[psycopg2]}" "${t[quendra_pg]}")"
echo "SQLite schreiben: Quendra/sqlite3 $(ratio "${t[quendra_lite]}" "${t[sqlite3]}") (Ziel höchstens 1)," \
  "über den SQLite-ODBC-Treiber $(ratio "${t[quendra_lite_odbc]}" "${t[sqlite3]}") (Ziel höchstens 1)," \
  "CPU $(ratio "${c[quendra_lite_odbc]}" "${c[sqlite3]}")"
echo "PostgreSQL lesen: Quendra/\\copy to $(ratio "${t[quendra_read]}" "${t[copy_out]}") (Ziel höchstens 1,5)," \
  "über ODBC allein $(ratio "${t[quendra_read_odbc]}" "${t[copy_out]}")"

# --- Peak memory: must not grow with the rows ---------------------------------------------
for n in $((readrows / 10)) "$readrows"; do
  rows_for "$n"
  make_config mem-w "$data/src-$n.txt" "update trgHead set frommedium = 1, path = '$dsn', dbtable = 'buchung';"
  "${psql[@]}" -c "truncate buchung"
  kbw=$(/usr/bin/time -f %M "$run" --config "$work/init-mem-w.mdb" BENCH 2>&1 >/dev/null | tail -n 1)
  "${psql[@]}" -c "create or replace view buchung_teil as select * from buchung_gross limit $n"
  sqlite3 "$work/init-read.mdb" "update srcHead set dbtable = 'buchung_teil'"
  kbr=$(/usr/bin/time -f %M "$run" --config "$work/init-read.mdb" BENCH 2>&1 >/dev/null | tail -n 1)
  sqlite3 "$work/init-read.mdb" "update srcHead set dbtable = 'buchung_gross'"
  echo "Spitzenspeicher bei $n Zeilen: schreiben $kbw KiB, lesen $kbr KiB"
done
"${psql[@]}" -c "drop view buchung_teil; drop table buchung, buchung_copy, buchung_py, buchung_gross"
"${psql[@]}" -c "drop role quendra_bench_odbc"
