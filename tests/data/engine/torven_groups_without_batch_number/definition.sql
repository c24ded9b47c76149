-- Customer bookings without a batch number field: the lines count on through the file, and each group's correction nets that group alone
drop table trgconvert;
create table trgconvert (transid varchar(20), field varchar(20), old varchar(255), new varchar(255), Konto varchar(20), filiale varchar(10), kontoiris varchar(20), kontotyp varchar(10), kostenstelle varchar(20), "kostenträger" varchar(20), steuertyp varchar(10), steuerkey varchar(10));
update dbversion set indiv = 'Torven';
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, specdelimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', '', NULL, 0);
insert into trgHead (transid, path, delimiter, textsign, frommedium, fixlength, chkrecord, encoding) values ('T', '@DIR@/out.txt', ';', '', 0, 0, 0, 'ANSI');
insert into srcBody (transid, field, sort) values ('T', 'konto-nummer', 0), ('T', 'filiale', 1), ('T', 'buchungsdatum', 2), ('T', 'betrag', 3);
insert into trgBody (transid, field, fieldtype, sort) values ('T', 'EWFJNB', 'Text', 1), ('T', 'EWJICD', 'Text', 2), ('T', 'EWENST', 'Text', 3), ('T', 'EWAUST', 'Text', 4), ('T', 'EWBQVA', 'Text', 5), ('T', 'EWCPCD', 'Text', 6), ('T', 'EWCQCD', 'Text', 7), ('T', 'EWJEST', 'Text', 8), ('T', 'EWI6NB', 'Text', 9);
insert into trgconvert (transid, Konto, filiale, kontoiris, kontotyp, kostenstelle, "kostenträger", steuertyp, steuerkey) values
  ('T', '4711', '01', '100200', 'S1', ' KST1 ', 'KT', 'V', '19'),
  ('T', '4711', '02', '300400', 'T', ' KS ', 'KT', 'V', '19'),
  ('T', 'korrekturbuchung', '', '999000', 'K', 'KK', 'KTK', '', '0');
