-- At fixed widths too, numbers that do not fit stop with an error; record k holds
-- the faulty value of field k (the running number starts at 1000 and fails in every record)
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, -1, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'one', '', 10),
  ('T', 'right', '', 20),
  ('T', 'count', '', 30);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'ONE', 1, 0, 'Zahl', '', '', 'one', 'links', '', 10, 0, 0, 0, ''),
  ('T', 'RIGHT', 3, 0, 'Zahl', '', '', 'right', 'rechts', '', 20, 0, 0, 0, ''),
  ('T', 'COUNT', 3, 0, 'AutoCount', '', '1000', 'count', 'links', '', 30, 0, 0, 0, '');
