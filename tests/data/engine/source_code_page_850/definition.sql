-- A source chosen as "ASCII" is read in code page 850 (iconv), whose "ß" is the byte of "á"
-- in Windows-1252
create table quendraSourceHead (transid varchar(20) primary key, encoding varchar(10));
insert into quendraSourceHead values ('T', 'ASCII');
insert into srcHead (transid, path, delimiter, frommedium) values ('T', '@DIR@/src.txt', ';', 0);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', ';', 0, 0, 0, 'UTF-8');
insert into srcBody (transid, field, sort) values ('T', 'S', 1);
insert into srcBody (transid, field, sort) values ('T', 'N', 2);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'Z', 'Text', 'S', 1);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'A', 'Text', 'N', 2);
