-- "UTF-8" holds every character: no "?", no warning
create table quelle (nr integer, s text);
insert into quelle values (0, 'ä'), (1, '€'), (2, 'a→😀b');
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/init.mdb', 'MS Access', 0, '', ';', 'select s from quelle order by nr', 2);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
update trgHead set encoding = 'UTF-8';
insert into srcBody (transid, field, sort) values ('T', 's', 1);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'Z', 'Text', 's', 1);
