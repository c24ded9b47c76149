-- A row the table refuses: a German sentence, then the driver's own text
insert into srcHead (transid, path, delimiter, frommedium) values ('T', '@DIR@/src.txt', ';', 0);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'S', 1);
insert into trgBody (transid, field, fieldtype, srcfield, sort, chkfield) values ('T', 'Z', 'Text', 'S', 1, '');
attach database '@DIR@/ziel.db' as ziel;
create table ziel.buchung (betrag text not null check (betrag <> 'x'));
detach database ziel;
update trgHead set frommedium = 2, filetype = 'MS Access', path = '@DIR@/ziel.db', dbtable = 'buchung';
