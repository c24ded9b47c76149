-- A source chosen as UTF-8 (Python's csv module, no byte order mark); a "UTF-8 BOM" target
-- begins with the mark once
create table quendraSourceHead (transid varchar(20) primary key, encoding varchar(10));
insert into quendraSourceHead values ('T', 'UTF-8');
insert into srcHead (transid, path, delimiter, frommedium) values ('T', '@DIR@/src.txt', ';', 0);
insert into trgHead (transid, path, delimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', '→', '"', 0, 0, 0, 'UTF-8 BOM');
insert into srcBody (transid, field, sort) values ('T', 'S', 1);
insert into srcBody (transid, field, sort) values ('T', 'N', 2);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'Z', 'Text', 'S', 1);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'A', 'Text', 'N', 2);
