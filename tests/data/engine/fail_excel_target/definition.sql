-- MS Excel 8.0 is read only here: the run stops before the target is touched
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', NULL, 0);
insert into trgHead (transid, path, filetype, dbtable, frommedium, fixlength, chkrecord) values ('T', '@DIR@/ziel.xls', 'MS Excel 8.0', '$TBL(1)', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'nr', 1), ('T', 'name', 2), ('T', 'betrag', 3), ('T', 'datum', 4), ('T', 'notiz', 5);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'NR', 'Text', 'nr', 1), ('T', 'NAME', 'Text', 'name', 2), ('T', 'BETRAG', 'Text', 'betrag', 3), ('T', 'DATUM', 'Text', 'datum', 4), ('T', 'NOTIZ', 'Text', 'notiz', 5);
