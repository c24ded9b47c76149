-- Other target formats: date and number patterns, and texts that are no pattern
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'a', '', 10),
  ('T', 'b', '', 20),
  ('T', 'c', '', 30),
  ('T', 'd', '', 40),
  ('T', 'e', '', 50),
  ('T', 'f', '', 60),
  ('T', 'g', '', 70),
  ('T', 'h', '', 80);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'DOT', 0, 0, 'Text', 'dd.mm.yyyy', '', 'a', '', '', 10, 0, 0, 0, ''),
  ('T', 'YM', 0, 0, 'Text', 'yyyy/mm', '', 'b', '', '', 20, 0, 0, 0, ''),
  ('T', 'MMMM', 0, 0, 'Text', 'mmmm', '', 'b', '', '', 30, 0, 0, 0, ''),
  ('T', 'DEC', 0, 0, 'Text', '0.00', '', 'c', '', '', 40, 0, 0, 0, ''),
  ('T', 'THOUSANDS', 0, 0, 'Text', '#,##0.00', '', 'd', '', '', 50, 0, 0, 0, ''),
  ('T', 'OPTIONAL', 0, 0, 'Text', '0.##', '', 'e', '', '', 60, 0, 0, 0, ''),
  ('T', 'WORD', 0, 0, 'Text', 'Betrag', '', 'f', '', '', 70, 0, 0, 0, ''),
  ('T', 'NONE', 0, 0, 'Text', '', '', 'g', '', '', 80, 0, 0, 0, '');
