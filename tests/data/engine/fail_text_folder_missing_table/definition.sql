-- A "Text" target table must exist: no file is made for it
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', NULL, 0);
insert into trgHead (transid, path, filetype, dbtable, frommedium, fixlength, chkrecord) values ('T', '@DIR@', 'Text', 'out.txt', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'a', 1);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'A', 'Text', 'a', 1);
