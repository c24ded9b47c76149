-- A Paradox table named as a file: a time of day, an amount in BCD and one in currency, a day
-- beyond the year 9999 as ISO text; the third row all NULL
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/kasse.db', 'Paradox 5.0', 0, 'kasse', ';', NULL, 2);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'Name', 1), ('T', 'Zeit', 2), ('T', 'Betrag', 3), ('T', 'Kurs', 4), ('T', 'Tag', 5);
insert into trgBody (transid, field, fieldtype, srcfield, length, decscale, format, sort) values ('T', 'NAME', 'Text', 'Name', 0, 0, '', 1), ('T', 'ZEIT', 'Text', 'Zeit', 0, 0, '', 2), ('T', 'BETRAG', 'Zahl', 'Betrag', 12, 2, '', 3), ('T', 'KURS', 'Text', 'Kurs', 0, 0, '', 4), ('T', 'TAG', 'Text', 'Tag', 0, 0, '', 5);
