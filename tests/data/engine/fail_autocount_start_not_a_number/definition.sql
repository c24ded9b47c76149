-- A start value that is no number stops the run at the first record, naming it
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values ('T', 'a', '', 10);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'A', 0, 0, 'Text', '', '', 'a', '', '', 10, 0, 0, 0, ''),
  ('T', 'N', 0, 0, 'AutoCount', '', 'abc', '', '', '', 20, 0, 0, 0, '');
