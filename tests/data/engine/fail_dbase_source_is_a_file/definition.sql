-- A dBase source named as a file, not as the folder of its tables
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/kunden.dbf', 'dBase III', 0, 'kunden', ';', NULL, 2);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'nr', 1), ('T', 'name', 2), ('T', 'betrag', 3), ('T', 'datum', 4), ('T', 'notiz', 5);
insert into trgBody (transid, field, fieldtype, srcfield, length, decscale, format, sort) values ('T', 'NR', 'Text', 'nr', 0, 0, '', 1), ('T', 'NAME', 'Text', 'name', 0, 0, '', 2), ('T', 'BETRAG', 'Zahl', 'betrag', 12, 2, '', 3), ('T', 'DATUM', 'Datum', 'datum', 0, 0, 'dd.mm.yyyy', 4), ('T', 'NOTIZ', 'Text', 'notiz', 0, 0, '', 5);
