-- A Lotus 1-2-3 sheet with a cell behind an end record in its middle: refused, naming the
-- record's offset, instead of read without that cell
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/alt.wk1', 'Lotus 1-2-3', 0, '$TBL(1)', ';', '', 2);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'nr', 1);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'NR', 'Text', 'nr', 1);
