-- A "Text" folder read as Windows-1252 (no choice) whose CSV file is UTF-8 is refused, naming
-- the file and the line of the first UTF-8 character
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@', 'Text', 0, 'quelle', ';', '', NULL, 2);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'UTF-8');
insert into srcBody (transid, field, sort) values ('T', 'a', 10), ('T', 'b', 20);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'A', 'Text', 'a', 10), ('T', 'B', 'Text', 'b', 20);
