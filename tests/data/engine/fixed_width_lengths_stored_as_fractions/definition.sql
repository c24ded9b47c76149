-- Widths stored as fractions (a database that keeps numbers as REAL) are whole widths to the nearest, halves to even
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, -1, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'a', '', 10),
  ('T', 'b', '', 20),
  ('T', 'c', '', 30);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'HALFUP', 3.5, 0, 'Text', '', '', 'a', 'links', '', 10, 0, 0, 0, ''),
  ('T', 'HALFDOWN', 4.5, 0, 'Text', '', '', 'b', 'links', '', 20, 0, 0, 0, ''),
  ('T', 'NEARER', 2.6, 0, 'Text', '', '', 'c', 'links', '', 30, 0, 0, 0, '');
