-- Check lines in field order; a field of the same name shares its row
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, -1, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'id', '', 10),
  ('T', 'b', '', 20),
  ('T', 'c', '', 30);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'B', 1, 2, 'Zahl', '', '', 'b', '', 'Summe', 10, 0, 1, 0, ''),
  ('T', 'C', 0, 0, 'Text', '', '', 'c', '', 'Summe', 20, 0, 0, 0, ''),
  ('T', 'N', 0, 0, 'Text', '', '', 'id', '', 'Anzahl', 30, 0, 0, 0, ''),
  ('T', 'X', 0, 0, 'Text', '', '', 'id', '', 'summe', 40, 0, 0, 0, ''),
  ('T', 'B', 0, 0, 'Text', '', '', 'id', '', 'Summe ', 50, 0, 0, 0, '');
