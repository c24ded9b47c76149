-- An SQLite source whose text lies in a BLOB column: each value read as UTF-8, none left over from the row before
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/kunden.db', 'MS Access', 0, 'kunden', ';', NULL, 2);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'nr', 1), ('T', 'name', 2);
insert into trgBody (transid, field, fieldtype, srcfield, length, decscale, format, sort) values ('T', 'NR', 'Text', 'nr', 0, 0, '', 1), ('T', 'NAME', 'Text', 'name', 0, 0, '', 2);
