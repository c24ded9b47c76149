-- A "Text" target table takes no more values than its header has columns
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', NULL, 0);
insert into trgHead (transid, path, filetype, dbtable, frommedium, fixlength, chkrecord) values ('T', '@DIR@', 'Text', 'out', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'a', 1), ('T', 'b', 2), ('T', 'c', 3);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'A', 'Text', 'a', 1), ('T', 'B', 'Text', 'b', 2), ('T', 'C', 'Text', 'c', 3);
