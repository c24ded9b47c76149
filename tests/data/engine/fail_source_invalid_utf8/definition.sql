-- A Windows-1252 file (iconv) chosen as UTF-8: the run stops at the first byte that is no
-- UTF-8, naming line and byte
create table quendraSourceHead (transid varchar(20) primary key, encoding varchar(10));
insert into quendraSourceHead values ('T', 'UTF-8');
insert into srcHead (transid, path, delimiter, frommedium) values ('T', '@DIR@/src.txt', ';', 0);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'S', 1);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'Z', 'Text', 'S', 1);
