-- Numbers of an Access file keep every digit: a Double as the file stores it (libmdb's text of it
-- has 16 digits), a Single in its shortest form, currency with its four decimals
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/zahlen.mdb', 'MS Access', 0, 'Zahlen', '', NULL, 2);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', ';', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, sort) values ('T', 'd', 1), ('T', 'e', 2), ('T', 'w', 3), ('T', 'n', 4);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'D', 'Text', 'd', 1), ('T', 'E', 'Text', 'e', 2), ('T', 'W', 'Text', 'w', 3), ('T', 'N', 'Text', 'n', 4);
