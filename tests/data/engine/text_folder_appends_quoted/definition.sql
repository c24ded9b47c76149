-- Rows appended to a "Text" table after a last line without line break: quotes where needed
create table quelle (nr integer, name text, betrag real, datum text, notiz text);
insert into quelle values (1, 'Müller, "Hans"', 12.5, '01.03.2024', '€ł'), (2, ' mit Leerzeichen', NULL, NULL, NULL);
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/init.mdb', 'MS Access', 0, '', ';', 'select name, betrag, datum, notiz from quelle order by nr', 2);
insert into trgHead (transid, path, filetype, dbtable, frommedium, fixlength, chkrecord) values ('T', '@DIR@', 'Text', 'out', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'name', 1), ('T', 'betrag', 2), ('T', 'datum', 3), ('T', 'notiz', 4);
insert into trgBody (transid, field, fieldtype, srcfield, length, decscale, format, sort) values ('T', 'NAME', 'Text', 'name', 0, 0, '', 1), ('T', 'BETRAG', 'Zahl', 'betrag', 12, 1, '', 2), ('T', 'DATUM', 'Datum', 'datum', 0, 0, 'dd.mm.yyyy', 3), ('T', 'NOTIZ', 'Text', 'notiz', 0, 0, '', 4);
