-- A record that stops with an error is left out of the preview as a whole: the value and
-- the running number it would have carried forward are not the ones the next record takes
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'kst', '', 10),
  ('T', 'n', '', 20);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'LAST', 0, 0, 'Text', '', '', 'kst', '', '', 10, 0, 0, 0, '<lastvalue>'),
  ('T', 'SEQ', 0, 0, 'AutoCount', '', '', '', '', '', 20, 0, 0, 0, ''),
  ('T', 'N', 5, 0, 'Zahl', '', '', 'n', '', '', 30, 0, 0, 0, '');
