-- A query filters, sorts and sums a dBase number column of 15 places (as wide as a double
-- holds exactly) as numbers
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@', 'dBase III', 0, '', '', '', 'select NR, BETRAG, (select sum(BETRAG) from buchung) from buchung where BETRAG > 9 order by BETRAG', 2);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'nr', '', 10),
  ('T', 'betrag', '', 20),
  ('T', 'summe', '', 30);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'NR', 0, 0, 'Text', '', '', 'nr', '', '', 10, 0, 0, 0, ''),
  ('T', 'BETRAG', 0, 0, 'Text', '', '', 'betrag', '', '', 20, 0, 0, 0, ''),
  ('T', 'SUMME', 0, 0, 'Text', '', '', 'summe', '', '', 30, 0, 0, 0, '');
