-- A Paradox target table that is not in the folder is not made up: the run stops, nothing is written
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/src.txt', '', 0, '', ';', NULL, 0);
insert into trgHead (transid, path, filetype, dbtable, frommedium, fixlength, chkrecord) values ('T', '@DIR@', 'Paradox 5.0', 'fehlt', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'name', 1), ('T', 'nr', 2);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'NAME', 'Text', 'name', 1), ('T', 'NR', 'Text', 'nr', 2);
