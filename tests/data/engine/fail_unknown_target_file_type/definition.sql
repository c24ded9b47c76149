-- An unknown file type of the target is named before anything is written
insert into srcHead (transid, path, delimiter, frommedium) values ('T', '@DIR@/src.txt', ';', 0);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@', ';', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'S', 1);
insert into trgBody (transid, field, fieldtype, srcfield, sort, chkfield) values ('T', 'Z', 'Text', 'S', 1, '');
update trgHead set filetype = 'Text 2', dbtable = 'ziel';
