#!/usr/bin/env bash
# Creates (or completes) an init.mdb with the demo definition DEMO:
#   scripts/make-demo.sh PATH/init.mdb
# DEMO converts demo/buchungen.txt (Windows-1252, ';') into buchungen_export.txt next to
# init.mdb: running number per branch, prefix, date conversion, account translation,
# signed zero-filled amounts, trimming, carried-forward cost centre and check lines.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 1 ] || { echo "Aufruf: $0 PFAD/init.mdb" >&2; exit 2; }
command -v sqlite3 >/dev/null || { echo "sqlite3 fehlt (apt-get install sqlite3)" >&2; exit 1; }
db=$1
mkdir -p "$(dirname "$db")"
dir=$(cd "$(dirname "$db")" && pwd)
db="$dir/$(basename "$db")"
src="$here/demo/buchungen.txt"
dst="$dir/buchungen_export.txt"
q() { printf "%s" "$1" | sed "s/'/''/g"; }

sqlite3 "$db" <<SQL
create table if not exists srcHead (transid varchar(20), path varchar(255), filetype varchar(20), header int, dbtable varchar(50), delimiter varchar(10), specdelimiter varchar(20), sqlstring memo, frommedium int);
create table if not exists trgHead (transid varchar(20), path varchar(255), filetype varchar(20), header int, dbtable varchar(50), delimiter varchar(10), specdelimiter varchar(20), textsign varchar(10), frommedium int, fixlength int, chkrecord int, encoding varchar(10));
create table if not exists srcBody (transid varchar(20), field varchar(20), length int, decscale int, fieldtype varchar(10), format varchar(20), description varchar(50), pos int, splitdelimiter varchar(10), sort integer);
create index if not exists id_srcbody_sort on srcBody (sort);
create table if not exists trgBody (transid varchar(20), field varchar(20), length int, decscale int, fieldtype varchar(10), format varchar(20), description varchar(50), defaultvalue varchar(200), srcfield varchar(20), adjustment varchar(10), chkfield varchar(10), sort integer, plus integer, "0padding" integer, ltrim integer, command varchar(255));
create index if not exists id_trgbody_sort on trgBody (sort);
create table if not exists trgconvert (transid varchar(20), field varchar(20), old varchar(255), new varchar(255));
create table if not exists dbversion (version int, indiv varchar(50));
insert into dbversion (version) select 2 where not exists (select 1 from dbversion);

begin;
delete from srcHead where transid = 'DEMO';
delete from trgHead where transid = 'DEMO';
delete from srcBody where transid = 'DEMO';
delete from trgBody where transid = 'DEMO';
delete from trgconvert where transid = 'DEMO';

insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium)
  values ('DEMO', '$(q "$src")', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding)
  values ('DEMO', '$(q "$dst")', '', 0, '', ';', '', '"', 0, 0, -1, 'ANSI');

insert into srcBody (transid, field, length, decscale, fieldtype, format, description, sort) values
  ('DEMO', 'konto', 4, 0, 'Text', '', 'Kontonummer', 10),
  ('DEMO', 'filiale', 2, 0, 'Text', '', 'Filiale', 20),
  ('DEMO', 'datum', 8, 0, 'Text', 'yyyymmdd', 'Buchungsdatum', 30),
  ('DEMO', 'betrag', 10, 2, 'Zahl', '', 'Betrag', 40),
  ('DEMO', 'text', 30, 0, 'Text', '', 'Buchungstext', 50),
  ('DEMO', 'kst', 6, 0, 'Text', '', 'Kostenstelle', 60);

insert into trgBody (transid, field, length, decscale, fieldtype, format, description, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('DEMO', 'LFDNR', 4, 0, 'AutoCount', '', 'Lfd. Nummer je Filiale', '1', 'filiale', 'rechts', '', 10, 0, 0, 0, ''),
  ('DEMO', 'FILIALE', 0, 0, 'Text', '', 'Filiale mit Präfix', 'F-', 'filiale', '', '', 20, 0, 0, 0, ''),
  ('DEMO', 'DATUM', 10, 0, 'Datum', 'dd.mm.yyyy', 'Datum TT.MM.JJJJ', '', 'datum', '', '', 30, 0, 0, 0, ''),
  ('DEMO', 'KONTO', 4, 0, 'Text', '', 'Neues Konto', '', 'konto', '', '', 40, 0, 0, 0, ''),
  ('DEMO', 'BETRAG', 7, 2, 'Zahl', '', 'Betrag mit Vorzeichen', '', 'betrag', '', 'Summe', 50, 1, 1, 0, ''),
  ('DEMO', 'TEXT', 30, 0, 'Text', '', 'Text ohne führende Leerzeichen', '', 'text', '', 'Anzahl', 60, 0, 0, -1, ''),
  ('DEMO', 'KST', 6, 0, 'Text', '', 'Letzte Kostenstelle', '', 'kst', 'rechts', '', 70, 0, 0, 0, '<lastvalue>'),
  ('DEMO', 'WAEHRUNG', 3, 0, 'Text', '', 'Währung', 'EUR', '', '', '', 80, 0, 0, 0, '');

insert into trgconvert (transid, field, old, new) values
  ('DEMO', 'KONTO', '4000', '8400'), ('DEMO', 'KONTO', '4010', '8410'),
  ('DEMO', 'KONTO', '4020', '8420'), ('DEMO', 'KONTO', '(*)', '8999');
commit;
SQL
echo "Beispieldefinition DEMO in $db angelegt; „Ausführen“ schreibt $dst."
