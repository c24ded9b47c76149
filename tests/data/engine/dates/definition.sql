-- Compact source dates become dd.mm.yyyy and are written in the target format; zeros
-- only stay as they are, and the years 1900-1909 survive "tyymmdd" both ways
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'd8', 'yyyymmdd', 10),
  ('T', 'd8b', 'ddmmyyyy', 20),
  ('T', 't7', 'tyymmdd', 30),
  ('T', 'dot', '', 40);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'A', 0, 0, 'Datum', 'dd.mm.yyyy', '', 'd8', '', '', 10, 0, 0, 0, ''),
  ('T', 'B', 0, 0, 'Datum', 'tyymmdd', '', 'd8b', '', '', 20, 0, 0, 0, ''),
  ('T', 'C', 0, 0, 'Text', 'yyyymmdd', '', 't7', '', '', 30, 0, 0, 0, ''),
  ('T', 'D', 0, 0, 'Datum', 'ddmmyyyy', '', 'dot', '', '', 40, 0, 0, 0, ''),
  ('T', 'E', 0, 0, 'Text', 'tyymmdd', '', 'dot', '', '', 50, 0, 0, 0, '');
