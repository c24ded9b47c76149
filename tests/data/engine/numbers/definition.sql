-- Number patterns and widths with fixlength on
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, -1, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'v', '', 10),
  ('T', 'w', '', 20);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'PAD', 5, 2, 'Zahl', '', '', 'v', '', '', 10, 0, 1, 0, ''),
  ('T', 'PLUS', 5, 2, 'Zahl', '', '', 'v', '', '', 20, 1, 1, 0, ''),
  ('T', 'NOPAD', 5, 2, 'Zahl', '', '', 'v', '', '', 30, 0, 0, 0, ''),
  ('T', 'RIGHT', 5, 2, 'Zahl', '', '', 'v', 'rechts', '', 40, 0, 1, 0, ''),
  ('T', 'NARROW', 2, 0, 'Zahl', '', '', 'w', 'rechts', '', 50, 0, 0, 0, '');
