-- A dBase table whose field names repeat (ignoring case) or are empty: each column gets a name of its own
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@', 'dBase III', 0, '', ';', 'select nr2, F3, NR from doppelt', 2);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'a', 1), ('T', 'b', 2), ('T', 'c', 3);
insert into trgBody (transid, field, fieldtype, srcfield, length, decscale, format, sort) values ('T', 'A', 'Text', 'a', 0, 0, '', 1), ('T', 'B', 'Text', 'b', 0, 0, '', 2), ('T', 'C', 'Text', 'c', 0, 0, '', 3);
