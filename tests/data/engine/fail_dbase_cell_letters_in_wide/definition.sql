-- dBase: a wide number cell that is no number stops the run, naming file, table, row and column
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@', 'dBase III', 0, 'posten', ';', NULL, 2);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'wert', 1);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'WERT', 'Text', 'wert', 1);
