-- Qualifier only around Text fields, fixed widths without delimiter, code page 850
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', '', '', '"', 0, -1, 0, 'ASCII');
insert into srcBody (transid, field, format, sort) values
  ('T', 'name', '', 10),
  ('T', 'amt', '', 20);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'NAME', 8, 0, 'Text', '', '', 'name', '', '', 10, 0, 0, 0, ''),
  ('T', 'AMT', 3, 0, 'Zahl', '', '', 'amt', '', '', 20, 0, 1, 0, ''),
  ('T', 'CODE', 6, 0, 'Datum', '', '', 'name', '', '', 30, 0, 0, 0, '');
