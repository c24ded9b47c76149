-- Customer bookings: a missing column of the extended table is named
drop table trgconvert;
create table trgconvert (transid varchar(20), field varchar(20), old varchar(255), new varchar(255), Konto varchar(20), filiale varchar(10), kontoiris varchar(20), kontotyp varchar(10), kostenstelle varchar(20), "kostenträger" varchar(20), steuertyp varchar(10), steuerkey varchar(10));
update dbversion set indiv = 'Torven';
alter table trgconvert drop column steuerkey;
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, delimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', ';', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, sort) values ('T', 'konto-nummer', 0), ('T', 'filiale', 1), ('T', 'buchungsdatum', 2), ('T', 'betrag', 3);
insert into trgBody (transid, field, fieldtype, sort) values ('T', 'EWJHCD', 'Text', 0);
