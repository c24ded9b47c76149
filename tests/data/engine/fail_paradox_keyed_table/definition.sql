-- Paradox: a table with a primary key (a .px file) is refused; the table stays as it was
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', NULL, 0);
insert into trgHead (transid, path, filetype, dbtable, frommedium, fixlength, chkrecord) values ('T', '@DIR@', 'Paradox 5.0', 'out', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'name', 1), ('T', 'nr', 2), ('T', 'menge', 3), ('T', 'preis', 4), ('T', 'datum', 5), ('T', 'aktiv', 6);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'NAME', 'Text', 'name', 1), ('T', 'NR', 'Text', 'nr', 2), ('T', 'MENGE', 'Text', 'menge', 3), ('T', 'PREIS', 'Text', 'preis', 4), ('T', 'DATUM', 'Text', 'datum', 5), ('T', 'AKTIV', 'Text', 'aktiv', 6);
