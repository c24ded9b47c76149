-- A Paradox BCD number keeps all its digits, more than a double holds
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/zahlen.db', 'Paradox 5.0', 0, 'zahlen', ';', NULL, 2);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', ';', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, sort) values ('T', 'Betrag', 1), ('T', 'Name', 2);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'B', 'Text', 'Betrag', 1), ('T', 'N', 'Text', 'Name', 2);
