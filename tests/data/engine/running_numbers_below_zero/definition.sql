-- Running numbers that start below zero keep their sign, also right-aligned in a fixed width,
-- and add up in a check line
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, -1, 'ANSI');
insert into srcBody (transid, field, format, sort) values ('T', 'a', '', 10);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'N', 0, 0, 'AutoCount', '', '-2', '', '', 'Summe', 10, 0, 0, 0, ''),
  ('T', 'R', 4, 0, 'AutoCount', '', '-12', '', 'rechts', '', 20, 0, 0, 0, ''),
  ('T', 'A', 0, 0, 'Text', '', '', 'a', '', '', 30, 0, 0, 0, '');
