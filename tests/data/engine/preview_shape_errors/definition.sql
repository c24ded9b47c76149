-- Values that cannot be written in their field stop with an error that quotes them
-- (at most 100 characters); record k holds the faulty value of field k
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'notanumber', '', 10),
  ('T', 'point', '', 20),
  ('T', 'commas', '', 30),
  ('T', 'nowidth', '', 40),
  ('T', 'dateblank', '', 50),
  ('T', 'digits', '', 60),
  ('T', 'beyonddouble', '', 70),
  ('T', 'long', '', 80);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'NOTANUMBER', 5, 0, 'Zahl', '', '', 'notanumber', '', '', 10, 0, 0, 0, ''),
  ('T', 'POINT', 5, 0, 'Zahl', '', '', 'point', '', '', 20, 0, 0, 0, ''),
  ('T', 'COMMAS', 5, 0, 'Zahl', '', '', 'commas', '', '', 30, 0, 0, 0, ''),
  ('T', 'NOWIDTH', 0, 0, 'Zahl', '', '', 'nowidth', 'rechts', '', 40, 0, 0, 0, ''),
  ('T', 'DATEBLANK', 8, 0, 'Datum', '', '', 'dateblank', 'rechts', '', 50, 0, 0, 0, ''),
  ('T', 'DIGITS', 3, 0, 'Zahl', '', '', 'digits', '', '', 60, 0, 0, 0, ''),
  ('T', 'BEYONDDOUBLE', 5, 0, 'Zahl', '', '', 'beyonddouble', 'rechts', '', 70, 0, 0, 0, ''),
  ('T', 'LONG', 5, 0, 'Zahl', '', '', 'long', 'rechts', '', 80, 0, 0, 0, '');
