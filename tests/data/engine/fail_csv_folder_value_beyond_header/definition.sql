-- A table of a "Text" folder with a header: an empty place beyond its columns is no value,
-- a value there belongs to no column and stops the run at its line
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@', 'Text', -1, 'quelle', ';', '', NULL, 2);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'a', '', 10),
  ('T', 'b', '', 20);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'A', 0, 0, 'Text', '', '', 'a', '', '', 10, 0, 0, 0, ''),
  ('T', 'B', 0, 0, 'Text', '', '', 'b', '', '', 20, 0, 0, 0, '');
