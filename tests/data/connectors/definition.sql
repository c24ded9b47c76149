-- The definition T of the whole conversions between databases and text files: the five
-- source fields nr, name, betrag, datum, notiz, each passed on as text but for the amount,
-- a number with two decimals, and the date. @SRC...@ and @TRG...@ stand for the sides.
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@SRCPATH@', '@SRCTYPE@', 0, '@SRCTABLE@', ';', '', NULL, @SRCMEDIUM@);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@TRGPATH@', '@TRGTYPE@', 0, '@TRGTABLE@', ';', '', '', @TRGMEDIUM@, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values ('T', 'nr', '', 10), ('T', 'name', '', 20), ('T', 'betrag', '', 30), ('T', 'datum', '', 40), ('T', 'notiz', '', 50);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'NR', 0, 0, 'Text', '', '', 'nr', '', '', 10, 0, 0, 0, ''),
  ('T', 'NAME', 0, 0, 'Text', '', '', 'name', '', '', 20, 0, 0, 0, ''),
  ('T', 'BETRAG', 12, 2, 'Zahl', '', '', 'betrag', '', '', 30, 0, 0, 0, ''),
  ('T', 'DATUM', 0, 0, 'Datum', 'dd.mm.yyyy', '', 'datum', '', '', 40, 0, 0, 0, ''),
  ('T', 'NOTIZ', 0, 0, 'Text', '', '', 'notiz', '', '', 50, 0, 0, 0, '');
