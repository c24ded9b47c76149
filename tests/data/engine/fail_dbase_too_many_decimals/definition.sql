-- dBase: more decimals than the column has stops the run; the rows before it stay, nothing of it is written
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', NULL, 0);
insert into trgHead (transid, path, filetype, dbtable, frommedium, fixlength, chkrecord) values ('T', '@DIR@', 'dBase III', 'out', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'name', 1), ('T', 'nr', 2), ('T', 'betrag', 3), ('T', 'seit', 4), ('T', 'aktiv', 5);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'NAME', 'Text', 'name', 1), ('T', 'NR', 'Text', 'nr', 2), ('T', 'BETRAG', 'Text', 'betrag', 3), ('T', 'SEIT', 'Text', 'seit', 4), ('T', 'AKTIV', 'Text', 'aktiv', 5);
