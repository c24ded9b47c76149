-- A source that begins with the UTF-8 byte order mark (Python's csv module, "utf-8-sig") is
-- read as UTF-8 although the definition chose nothing; written as UTF-8 with every character
insert into srcHead (transid, path, delimiter, frommedium) values ('T', '@DIR@/src.txt', ';', 0);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '|', 0, 0, -1, 'UTF-8');
insert into srcBody (transid, field, sort) values ('T', 'S', 1);
insert into srcBody (transid, field, sort) values ('T', 'N', 2);
insert into trgBody (transid, field, fieldtype, srcfield, sort, chkfield) values ('T', 'Z', 'Text', 'S', 1, 'Anzahl');
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'A', 'Text', 'N', 2);
