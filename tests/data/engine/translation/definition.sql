-- First exact match wins, else the last (*) row; empty new never applies; nothing trimmed,
-- fields whose names differ in letter case only (Konto, KONTO) share one table; an old value
-- as long as "(*)" is no wildcard
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values
  ('T', 'k', '', 10),
  ('T', 'f', '', 20),
  ('T', 'g', '', 30),
  ('T', 'h', '', 40);
insert into trgBody (transid, field, length, decscale, fieldtype, format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "0padding", ltrim, command) values
  ('T', 'Konto', 0, 0, 'Text', '', '', 'k', '', '', 10, 0, 0, 0, ''),
  ('T', 'KONTOX', 0, 0, 'Text', '', '', 'k', '', '', 20, 0, 0, 0, ''),
  ('T', 'F', 0, 0, 'Text', '', '', 'f', '', '', 30, 0, 0, 0, ''),
  ('T', 'G', 0, 0, 'Text', '', '', 'g', '', '', 40, 0, 0, 0, ''),
  ('T', 'H', 0, 0, 'Text', '', '', 'h', '', '', 50, 0, 0, 0, ''),
  ('T', 'KONTO', 0, 0, 'Text', '', '', 'k', '', '', 60, 0, 0, 0, '');
insert into trgconvert (transid, field, old, new) values ('T', 'KONTO', '1000', '4711');
insert into trgconvert (transid, field, old, new) values ('T', 'konto', '(*)', '9999');
insert into trgconvert (transid, field, old, new) values ('T', 'F', 'a', 'X');
insert into trgconvert (transid, field, old, new) values ('T', 'F', 'A', 'Y');
insert into trgconvert (transid, field, old, new) values ('T', 'G', '5', '');
insert into trgconvert (transid, field, old, new) values ('T', 'G', 'abc', 'Z');
insert into trgconvert (transid, field, old, new) values ('T', 'H', '(*)', 'P');
insert into trgconvert (transid, field, old, new) values ('T', 'H', '(*)', 'Q');
