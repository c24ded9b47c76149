-- A value for a Paradox column of a kind Quendra does not write (BCD) stops the run; the table
-- stays as it was
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', NULL, 0);
insert into trgHead (transid, path, filetype, dbtable, frommedium, fixlength, chkrecord) values ('T', '@DIR@', 'Paradox 5.0', 'out', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'name', 1), ('T', 'zeit', 2), ('T', 'betrag', 3), ('T', 'kurs', 4), ('T', 'tag', 5);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'Name', 'Text', 'name', 1), ('T', 'Zeit', 'Text', 'zeit', 2), ('T', 'Betrag', 'Text', 'betrag', 3), ('T', 'Kurs', 'Text', 'kurs', 4), ('T', 'Tag', 'Text', 'tag', 5);
