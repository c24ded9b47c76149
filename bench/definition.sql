-- Definition BENCH of the benchmark for an SQLite init.mdb: schema, version row and the
-- definition. run.sh replaces @SRC@ and @DST@ with absolute file paths.
create table srcHead (transid varchar(20), path varchar(255), filetype varchar(20), header int, dbtable varchar(50), delimiter varchar(10), specdelimiter varchar(20), sqlstring memo, frommedium int);
create table trgHead (transid varchar(20), path varchar(255), filetype varchar(20), header int, dbtable varchar(50), delimiter varchar(10), specdelimiter varchar(20), textsign varchar(10), frommedium int, fixlength int, chkrecord int, encoding varchar(10));
create table srcBody (transid varchar(20), field varchar(20), length int, decscale int, fieldtype varchar(10), format varchar(20), description varchar(50), pos int, splitdelimiter varchar(10), sort integer);
create index id_srcbody_sort on srcBody (sort);
create table trgBody (transid varchar(20), field varchar(20), length int, decscale int, fieldtype varchar(10), format varchar(20), description varchar(50), defaultvalue varchar(200), srcfield varchar(20), adjustment varchar(10), chkfield varchar(10), sort integer, plus integer, "0padding" integer, ltrim integer, command varchar(255));
create index id_trgbody_sort on trgBody (sort);
create table trgconvert (transid varchar(20), field varchar(20), old varchar(255), new varchar(255));
create table dbversion (version int, indiv varchar(50));
insert into dbversion (version) values (2);

-- Text file to text file, ';' on both sides, text values in double quotes, check lines on.
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium)
  values ('BENCH', '@SRC@', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding)
  values ('BENCH', '@DST@', '', 0, '', ';', '', '"', 0, 0, -1, 'ANSI');

insert into srcBody (transid, field, length, decscale, fieldtype, format, sort) values
  ('BENCH', 'konto-nummer', 10, 0, 'Text', '', 10),
  ('BENCH', 'filiale', 2, 0, 'Text', '', 20),
  ('BENCH', 'buchungsdatum', 8, 0, 'Text', 'yyyymmdd', 30),
  ('BENCH', 'betrag', 12, 2, 'Zahl', '', 40),
  ('BENCH', 'text', 30, 0, 'Text', '', 50),
  ('BENCH', 'kostenstelle', 8, 0, 'Text', '', 60),
  ('BENCH', 'belegnr', 8, 0, 'Text', '', 70),
  ('BENCH', 'waehrung', 3, 0, 'Text', '', 80);

-- LFDNR: running number per run of equal branches, right-aligned in 6 places.
-- FIL: prefix "F-". DATUM: yyyymmdd to ddmmyyyy. KONTO: translated below.
-- BETRAG: sign, zero filling, two decimals, summed. TEXT: leading blanks removed.
-- KST: last non-empty cost centre, right-aligned in 8. BELEG: counted. WAEHRUNG: fixed.
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('BENCH', 'LFDNR', 6, 0, 'AutoCount', '', '1', 'filiale', 'rechts', '', 10, 0, 0, 0, ''),
  ('BENCH', 'FIL', 0, 0, 'Text', '', 'F-', 'filiale', 'links', '', 20, 0, 0, 0, ''),
  ('BENCH', 'DATUM', 8, 0, 'Datum', 'ddmmyyyy', '', 'buchungsdatum', '', '', 30, 0, 0, 0, ''),
  ('BENCH', 'KONTO', 10, 0, 'Text', '', '', 'konto-nummer', '', '', 40, 0, 0, 0, ''),
  ('BENCH', 'BETRAG', 9, 2, 'Zahl', '', '', 'betrag', '', 'Summe', 50, 1, 1, 0, ''),
  ('BENCH', 'TEXT', 30, 0, 'Text', '', '', 'text', '', '', 60, 0, 0, -1, ''),
  ('BENCH', 'KST', 8, 0, 'Text', '', '', 'kostenstelle', 'rechts', '', 70, 0, 0, 0, '<lastvalue>'),
  ('BENCH', 'BELEG', 8, 0, 'Text', '', '', 'belegnr', '', 'Anzahl', 80, 0, 0, 0, ''),
  ('BENCH', 'WAEHRUNG', 3, 0, 'Text', '', 'EUR', '', '', '', 90, 0, 0, 0, '');

-- Accounts 4000, 4010, ..., 4190 become 8400, 8410, ..., 8590; the others stay.
with recursive k(n) as (select 0 union all select n + 1 from k where n < 19)
insert into trgconvert (transid, field, old, new)
  select 'BENCH', 'KONTO', cast(4000 + 10 * n as text), cast(8400 + 10 * n as text) from k;
