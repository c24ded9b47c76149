-- A "Text" folder table with a header row into a dBase table: amounts and dates typed
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@', 'Text', -1, 'kunden', ';', NULL, 2);
insert into trgHead (transid, path, filetype, dbtable, frommedium, fixlength, chkrecord) values ('T', '@DIR@', 'dBase III', 'out', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'nr', 1), ('T', 'name', 2), ('T', 'betrag', 3), ('T', 'datum', 4), ('T', 'notiz', 5);
insert into trgBody (transid, field, fieldtype, srcfield, length, decscale, format, sort) values ('T', 'NR', 'Text', 'nr', 0, 0, '', 1), ('T', 'NAME', 'Text', 'name', 0, 0, '', 2), ('T', 'BETRAG', 'Zahl', 'betrag', 12, 2, '', 3), ('T', 'DATUM', 'Datum', 'datum', 0, 0, 'dd.mm.yyyy', 4), ('T', 'NOTIZ', 'Text', 'notiz', 0, 0, '', 5);
