-- Characters code page 850 lacks are written as "?" with a warning that names the first;
-- the last record holds nothing but such a character, and the check line has one too.
insert into srcHead (transid, path, delimiter, frommedium) values ('T', '@DIR@/src.txt', ';', 0);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, -1);
insert into srcBody (transid, field, sort) values ('T', 'S', 1);
insert into trgBody (transid, field, fieldtype, srcfield, sort, chkfield) values ('T', 'Z€', 'Text', 'S', 1, 'Anzahl');
update trgHead set encoding = 'ASCII';
