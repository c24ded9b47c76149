-- A workbook whose directory gives its stream a size beyond the 32 sectors of its chain
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, frommedium) values ('T', '@DIR@/lang.xls', 'MS Excel 8.0', -1, 'Kunden', ';', 2);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'nr', 1), ('T', 'name', 2), ('T', 'aktiv', 3);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'NR', 'Text', 'nr', 1), ('T', 'NAME', 'Text', 'name', 2), ('T', 'AKTIV', 'Text', 'aktiv', 3);
