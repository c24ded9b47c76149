#!/usr/bin/env bash
# The workbook benchmark: bench/xlsx.sh [ROWS]
# Builds a Release quendra-run (build/bench-xlsx), generates a sheet of ROWS rows (default
# 1,000,000) and 6 columns (two texts, whole numbers, fractions, dates, amounts) with
# openpyxl, as Excel writes one (shared texts), and reads it into a ';'-separated text file
# side by side, round by round (RUNS rounds, default 1): Quendra (file type "MS Excel 12.0"),
# openpyxl in read-only mode and xlsx2csv, and python-calamine where it can be installed
# into a virtual environment (from the Python package index; skipped, with a note, when
# that cannot be reached). Checks that all write the same records (numbers and dates
# compared as values to six decimals, which xlsx2csv writes), prints the median times and the ratios, Quendra's peak memory at
# a tenth of the rows and at all of them, and the load average before and after.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
rows=${1:-1000000}
runs=${RUNS:-1}
py=/usr/bin/python3 # Debian's, with python3-openpyxl

"$here/scripts/install-deps.sh"
echo "Baue Release in build/bench-xlsx ..."
"$here/scripts/build.sh" "$here/build/bench-xlsx" -DCMAKE_BUILD_TYPE=Release \
  -DQUENDRA_BUILD_TESTS=OFF -DQUENDRA_BUILD_GUI=OFF >/dev/null
run="$here/build/bench-xlsx/app/quendra-run"
data="$here/build/bench-xlsx/data"
work="$here/build/bench-xlsx/work"
rm -rf "$work"
mkdir -p "$data" "$work"
echo "Last vorher: $(cut -d' ' -f1-3 /proc/loadavg)"

# The workbook of N rows: sheet_for N
sheet_for() {
  local out="$data/sheet-$1.xlsx"
  [ -s "$out" ] || "$py" - "$1" "$out" <<'PY'
import datetime, random, sys
import openpyxl
n, out = int(sys.argv[1]), sys.argv[2]
random.seed(51)
names = ['Müller', 'Weiß', 'Öztürk', 'Bäcker', 'Schäfer', 'Lukas', 'Dubois', 'Nguyen']
places = ['Köln', 'München', 'Zürich', 'Graz', 'Düsseldorf', 'Lübeck']
book = openpyxl.Workbook(write_only=True)
sheet = book.create_sheet('Buchungen')
sheet.append(['Kunde', 'Ort', 'Nummer', 'Anteil', 'Datum', 'Betrag'])
start = datetime.datetime(2000, 1, 1)
for i in range(n):
    sheet.append(['%s %d' % (random.choice(names), i % 5000), random.choice(places), i + 1,
                  random.randint(0, 10**6) / 1024, start + datetime.timedelta(days=i % 9000),
                  round(random.uniform(-10**5, 10**5), 2)])
book.save(out)
PY
  echo "$out"
}

# init-NAME.mdb: the definition X reading workbook $2 into $work/NAME.csv
make_config() {
  rm -f "$work/init-$1.mdb"
  { sed -n '1,12p' "$here/bench/definition.sql"
    echo "insert into dbversion values (1, NULL);"
    echo "insert into srcHead (transid, path, filetype, header, dbtable, delimiter, frommedium)
      values ('X', '$2', 'MS Excel 12.0', 1, '\$TBL(1)', '', 2);"
    echo "insert into trgHead (transid, path, filetype, header, dbtable, delimiter, textsign,
      frommedium, fixlength, chkrecord, encoding) values ('X', '$work/$1.csv', '', 0, '', ';',
      '', 0, 0, 0, 'ANSI');"
    n=0
    for f in Kunde Ort Nummer Anteil Datum Betrag; do
      n=$((n + 1))
      echo "insert into srcBody (transid, field, length, decscale, fieldtype, format, sort)
        values ('X', '$f', 40, 0, 'Text', '', $n);"
      echo "insert into trgBody (transid, field, length, decscale, fieldtype, format,
        defaultvalue, srcfield, adjustment, chkfield, sort, plus, \"0padding\", ltrim, command)
        values ('X', '$f', 40, 0, 'Text', '', '', '$f', '', '', $n, 0, 0, 0, '');"
    done; } | sqlite3 "$work/init-$1.mdb"
}

peer_openpyxl='import csv, sys
import openpyxl
book = openpyxl.load_workbook(sys.argv[1], read_only=True)
with open(sys.argv[2], "w", newline="", encoding="utf-8") as f:
    out = csv.writer(f, delimiter=";", lineterminator="\r\n")
    rows = book.worksheets[0].iter_rows(values_only=True)
    next(rows)
    for row in rows:
        out.writerow(row)'
peer_calamine='import csv, sys
from python_calamine import CalamineWorkbook
book = CalamineWorkbook.from_path(sys.argv[1])
with open(sys.argv[2], "w", newline="", encoding="utf-8") as f:
    out = csv.writer(f, delimiter=";", lineterminator="\r\n")
    for row in book.get_sheet_by_index(0).to_python(skip_empty_area=False)[1:]:
        out.writerow(row)'

venv="$data/calamine"
calamine=()
if [ -x "$venv/bin/python" ] && "$venv/bin/python" -c 'import python_calamine' 2>/dev/null ||
   { python3 -m venv "$venv" >/dev/null 2>&1 &&
     "$venv/bin/pip" install -q python-calamine >/dev/null 2>&1; }; then
  calamine=(calamine)
else
  echo "python-calamine übersprungen: der Python-Paketindex ist von hier nicht erreichbar."
fi

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }
# One timed run: wall seconds to runs-NAME, CPU seconds (user and system) to cpu-NAME.
time_once() {
  local name=$1; shift
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$@" >/dev/null || { echo "FEHLER: $* schlug fehl" >&2; exit 1; }
  read -r wall user sys <"$work/time"
  echo "$wall" >>"$work/runs-$name"
  echo "$user + $sys" | bc >>"$work/cpu-$name"
}

echo "Erzeuge $rows Zeilen (einmal, in $data) ..."
sheet=$(sheet_for "$rows")
make_config quendra "$sheet"
programs=(quendra openpyxl xlsx2csv "${calamine[@]}")
for p in "${programs[@]}"; do : >"$work/runs-$p"; done
echo "Messe ${programs[*]} im Wechsel ($runs Runden) ..."
for ((round = 0; round < runs; round++)); do
  rm -f "$work"/*.csv && sync
  time_once quendra "$run" --again --config "$work/init-quendra.mdb" X
  time_once openpyxl "$py" -c "$peer_openpyxl" "$sheet" "$work/openpyxl.csv"
  time_once xlsx2csv xlsx2csv -d ';' -f '%Y-%m-%d' "$sheet" "$work/xlsx2csv.csv"
  [ ${#calamine[@]} -eq 0 ] || time_once calamine "$venv/bin/python" -c "$peer_calamine" "$sheet" "$work/calamine.csv"
done

# --- Same records everywhere: numbers and dates compared as values ------------------------
"$py" - "$work" "${programs[@]}" <<'PY' || { echo "FEHLER: die Datensätze weichen ab" >&2; exit 1; }
import datetime, re, sys
work, programs = sys.argv[1], sys.argv[2:]
def value(text):
    t = text.strip()
    m = re.fullmatch(r'(\d\d)\.(\d\d)\.(\d{4})', t)
    if m:
        return datetime.date(int(m[3]), int(m[2]), int(m[1]))
    m = re.fullmatch(r'(\d{4})-(\d\d)-(\d\d)(?:[ T]00:00:00)?', t)
    if m:
        return datetime.date(int(m[1]), int(m[2]), int(m[3]))
    try:
        # xlsx2csv writes six decimals, the others the shortest exact form
        return round(float(t.replace(',', '.')), 6)
    except ValueError:
        return t
def records(name):
    encoding = 'cp1252' if name == 'quendra' else 'utf-8'
    with open('%s/%s.csv' % (work, name), encoding=encoding, newline='') as f:
        lines = f.read().split('\r\n' if name != 'xlsx2csv' else '\n')
    lines = [l for l in lines if l]
    if name == 'xlsx2csv':
        lines = lines[1:]  # the header row
    return [[value(v) for v in l.split(';')] for l in lines]
first = records(programs[0])
for p in programs[1:]:
    if records(p) != first:
        print('weicht ab:', p)
        sys.exit(1)
print('Alle schreiben dieselben %d Datensätze.' % len(first))
PY

declare -A t c
for p in "${programs[@]}"; do t[$p]=$(median <"$work/runs-$p"); c[$p]=$(median <"$work/cpu-$p"); done
echo
echo "Median aus $runs Runden, Wand/s und CPU/s ($rows Zeilen, 6 Spalten):"
for p in "${programs[@]}"; do printf '  %-9s %8.3f %8.3f\n' "$p" "${t[$p]}" "${c[$p]}"; done
echo "openpyxl/Quendra $(ratio "${t[openpyxl]}" "${t[quendra]}") Wand," \
  "$(ratio "${c[openpyxl]}" "${c[quendra]}") CPU (Ziel mindestens 5);" \
  "xlsx2csv/Quendra $(ratio "${t[xlsx2csv]}" "${t[quendra]}") Wand, $(ratio "${c[xlsx2csv]}" "${c[quendra]}") CPU"
[ ${#calamine[@]} -eq 0 ] ||
  echo "Quendra/python-calamine $(ratio "${t[quendra]}" "${t[calamine]}") (Ziel höchstens 1,5)"

# --- Peak memory: must not grow with the rows ---------------------------------------------
for n in $((rows / 10)) "$rows"; do
  make_config mem "$(sheet_for "$n")"
  kb=$(/usr/bin/time -f %M "$run" --again --config "$work/init-mem.mdb" X 2>&1 >/dev/null | tail -n 1)
  echo "Spitzenspeicher bei $n Zeilen: $kb KiB"
done
echo "Last nachher: $(cut -d' ' -f1-3 /proc/loadavg)"
