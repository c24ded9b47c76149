-- A database target without a table: the run stops before anything is read or written
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@', 'Text', -1, 'kunden', ';', NULL, 2);
insert into trgHead (transid, path, filetype, dbtable, frommedium, fixlength, chkrecord) values ('T', '@DIR@', 'dBase III', '', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'nr', 1), ('T', 'name', 2);
insert into trgBody (transid, field, fieldtype, srcfield, length, decscale, format, sort) values ('T', 'NR', 'Text', 'nr', 0, 0, '', 1), ('T', 'NAME', 'Text', 'name', 0, 0, '', 2);
