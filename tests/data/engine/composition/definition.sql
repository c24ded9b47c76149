-- Default as prefix, <lastvalue> drops the default, running numbers, ltrim (of one blank
-- as well), right alignment; the lowest stored sort number still orders first
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'name', '', 10),
  ('T', 'grp', '', 20),
  ('T', 'kst', '', 30),
  ('T', 'code', '', 40),
  ('T', 'alt', '', 50),
  ('T', 'kst2', '', 60),
  ('T', 'txt', '', 70);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'PFX', 0, 0, 'Text', '', 'DE-', 'code', '', '', -32768, 0, 0, 0, ''),
  ('T', 'LAST', 0, 0, 'Text', '', 'DE-', 'kst', '', '', 20, 0, 0, 0, '<lastvalue>'),
  ('T', 'LAST2', 0, 0, 'Text', '', '', ' kst2 ', '', '', 30, 0, 0, 0, '<lastvalue>'),
  ('T', 'GRP', 0, 0, 'AutoCount', '', '1', 'GRP', '', '', 40, 0, 0, 0, ''),
  ('T', 'SEQ', 0, 0, 'AutoCount', '', '', '', '', '', 50, 0, 0, 0, ''),
  ('T', 'ALT', 0, 0, 'AutoCount', '', '5', 'alt', '', '', 60, 0, 0, 0, ''),
  ('T', 'FIX', 0, 0, 'Text', '', 'EUR', '', '', '', 70, 0, 0, 0, ''),
  ('T', 'TRIM', 0, 0, 'Text', '', '', 'txt', '', '', 80, 0, 0, -1, ''),
  ('T', 'RIGHT', 4, 0, 'Text', '', '', 'code', 'rechts', '', 90, 0, 0, 0, ''),
  ('T', 'KEEP', 0, 0, 'Text', '', '', 'txt', '', '', 100, 0, 0, 0, '');
