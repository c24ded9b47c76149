-- A table that is there but cannot be read (a view whose value overflows): the sentence
-- says so instead of calling the table missing, then the driver's own text
insert into srcHead (transid, path, delimiter, frommedium) values ('T', '@DIR@/src.txt', ';', 0);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'S', 1);
insert into trgBody (transid, field, fieldtype, srcfield, sort, chkfield) values ('T', 'Z', 'Text', 'S', 1, '');
attach database '@DIR@/quelle.db' as quelle;
create view quelle.buchung as select abs(-9223372036854775807 - 1) as betrag;
detach database quelle;
update srcHead set frommedium = 2, filetype = 'MS Access', path = '@DIR@/quelle.db', dbtable = 'Buchung';
