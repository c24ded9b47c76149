-- The start value of a running number: none (or blanks) is 0; blanks around it do not count; a number
-- with decimals is rounded half to even, from its digits (no double rounds a large one)
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values ('T', 'a', '', 10);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'NONE', 0, 0, 'AutoCount', '', '', '', '', '', 10, 0, 0, 0, ''),
  ('T', 'BLANKSONLY', 0, 0, 'AutoCount', '', '  ', '', '', '', 15, 0, 0, 0, ''),
  ('T', 'BLANKS', 0, 0, 'AutoCount', '', ' 12 ', '', '', '', 20, 0, 0, 0, ''),
  ('T', 'HALFDOWN', 0, 0, 'AutoCount', '', '2,5', '', '', '', 30, 0, 0, 0, ''),
  ('T', 'HALFUP', 0, 0, 'AutoCount', '', '3,5', '', '', '', 40, 0, 0, 0, ''),
  ('T', 'NEGATIVE', 0, 0, 'AutoCount', '', ' -3', '', '', '', 50, 0, 0, 0, ''),
  ('T', 'LARGE', 0, 0, 'AutoCount', '', '9.007.199.254.740.993,5', '', '', '', 55, 0, 0, 0, ''),
  ('T', 'NEARLYHALF', 0, 0, 'AutoCount', '', '-4,50001', '', '', '', 56, 0, 0, 0, ''),
  ('T', 'A', 0, 0, 'Text', '', '', 'a', '', '', 60, 0, 0, 0, '');
