-- Source fields beyond the columns of the first line stay empty in every record, as for a table
insert into srcHead (transid, path, delimiter, frommedium) values ('T', '@DIR@/src.txt', ';', 0);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'a', 1), ('T', 'b', 2), ('T', 'c', 3);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'A', 'Text', 'a', 1), ('T', 'C', 'Text', 'c', 2);
