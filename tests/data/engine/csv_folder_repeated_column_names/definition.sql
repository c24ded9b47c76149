-- A text folder's header whose names repeat (ignoring case) or are empty: each column gets a
-- name of its own, also where the name with its number is taken already
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@', 'Text', -1, '', ';', 'select x5, X3_, F4, x, x3 from quelle', 2);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'a', 1), ('T', 'b', 2), ('T', 'c', 3), ('T', 'd', 4), ('T', 'e', 5);
insert into trgBody (transid, field, fieldtype, srcfield, length, decscale, format, sort) values ('T', 'A', 'Text', 'a', 0, 0, '', 1), ('T', 'B', 'Text', 'b', 0, 0, '', 2), ('T', 'C', 'Text', 'c', 0, 0, '', 3), ('T', 'D', 'Text', 'd', 0, 0, '', 4), ('T', 'E', 'Text', 'e', 0, 0, '', 5);
