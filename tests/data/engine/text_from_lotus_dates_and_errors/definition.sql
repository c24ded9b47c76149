-- A Lotus 1-2-3 sheet of dates by Lotus's calendar (its 29.02.1900, a time of day after
-- noon, a time alone), a formula's text result, ERR and a number
insert into srcHead (transid, path, filetype, header, dbtable, delimiter, sqlstring, frommedium) values ('T', '@DIR@/alt.wk1', 'Lotus 1-2-3', 0, '$TBL(1)', ';', '', 2);
insert into trgHead (transid, path, delimiter, frommedium, fixlength, chkrecord) values ('T', '@DIR@/out.txt', ';', 0, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'wann', 1), ('T', 'wert', 2);
insert into trgBody (transid, field, fieldtype, srcfield, sort) values ('T', 'WANN', 'Text', 'wann', 1), ('T', 'WERT', 'Text', 'wert', 2);
