-- A workbook on which FreeXL itself ends the process (found by fuzzing): an error naming the file
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/kunden.xls', 'MS Excel 8.0', -1, 'Kunden', ';', 'select Name, Ort, Umsatz, Seit, Anzahl from $TBL(kun)', 2);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'nr', 1), ('T', 'name', 2), ('T', 'betrag', 3), ('T', 'datum', 4), ('T', 'notiz', 5);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'NR', 'Text', 'nr', 1), ('T', 'NAME', 'Text', 'name', 2), ('T', 'BETRAG', 'Text', 'betrag', 3), ('T', 'DATUM', 'Text', 'datum', 4), ('T', 'NOTIZ', 'Text', 'notiz', 5);
