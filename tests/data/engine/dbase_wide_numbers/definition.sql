-- dBase numbers wider than a double's digits keep every digit, an odd count of leading zeros
-- goes; a date of zeros and a blank cell are empty
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@', 'dBase III', 0, 'zahlen', '', '', NULL, 2);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'g', '', 10),
  ('T', 'b', '', 20),
  ('T', 'k', '', 30),
  ('T', 't', '', 40);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'G', 0, 0, 'Text', '', '', 'g', '', '', 10, 0, 0, 0, ''),
  ('T', 'B', 0, 0, 'Text', '', '', 'b', '', '', 20, 0, 0, 0, ''),
  ('T', 'K', 0, 0, 'Text', '', '', 'k', '', '', 30, 0, 0, 0, ''),
  ('T', 'T', 0, 0, 'Text', '', '', 't', '', '', 40, 0, 0, 0, '');
