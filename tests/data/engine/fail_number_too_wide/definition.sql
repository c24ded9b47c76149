-- A number longer than its fixed width stops the run; earlier records stay written
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', '', '', '', 0, -1, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'name', '', 10),
  ('T', 'betrag', '', 20);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'NAME', 4, 0, 'Text', '', '', 'name', '', '', 10, 0, 0, 0, ''),
  ('T', 'BETRAG', 3, 2, 'Zahl', '', '', 'betrag', '', '', 20, 0, 1, 0, '');
