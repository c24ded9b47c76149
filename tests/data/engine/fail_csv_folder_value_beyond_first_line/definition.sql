-- A table of a "Text" folder without a header: its first line says how many columns it has,
-- and a line with more values stops the run at that line, as it would with a header
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@', 'Text', 0, 'quelle', ';', '', NULL, 2);
insert into trgHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '', 0, '', ';', '', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, format, sort) values ('T', 'a', '', 10), ('T', 'b', '', 20), ('T', 'c', '', 30);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'A', 'Text', 'a', 10), ('T', 'B', 'Text', 'b', 20), ('T', 'C', 'Text', 'c', 30);
