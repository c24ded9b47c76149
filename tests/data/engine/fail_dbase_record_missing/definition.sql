-- A dBase table whose header counts more records than the file holds stops the run at the first
-- missing one instead of ending early as if the table were complete
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@', 'dBase III', 0, 'kaputt', '', '', NULL, 2);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values ('T', 'text', '', 10);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'TEXT', 0, 0, 'Text', '', '', 'text', '', '', 10, 0, 0, 0, '');
