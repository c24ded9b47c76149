-- A "Text" folder table is Windows-1252: "?" for what it lacks, with a warning
insert into srcHead (transid, path, delimiter, frommedium) values ('T', '@DIR@/src.txt', ';', 0);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, -1);
insert into srcBody (transid, field, sort) values ('T', 'S', 1);
insert into trgBody (transid, field, fieldtype, srcfield, sort, chkfield) values ('T', 'Z', 'Text', 'S', 1, 'Anzahl');
create table quelle (s text);
insert into quelle values ('a'), ('bΩc');
update srcHead set frommedium = 2, filetype = 'MS Access', path = '@DIR@/init.mdb', dbtable = 'quelle';
update trgHead set frommedium = 2, filetype = 'Text', path = '@DIR@', dbtable = 'out';
