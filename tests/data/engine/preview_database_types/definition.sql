-- A database target binds each value by its field type: running numbers and text
-- as text, numbers as numbers, dates as dates (whatever field comes before); a value
-- that names no day is refused at its record
insert into srcHead (transid, path, delimiter, frommedium) values ('T', '@DIR@/src.txt', ';', 0);
insert into trgHead (transid, path, filetype, dbtable, frommedium, fixlength, chkrecord) values ('T', '@DIR@/ziel.db', 'MS Access', 'buchung', 2, 0, 0);
insert into srcBody (transid, field, sort) values ('T', 'betrag', 1), ('T', 'tag', 2);
insert into trgBody (transid, field, fieldtype, srcfield, defaultvalue, sort) values
  ('T', 'N', 'AutoCount', '', '1', 1),
  ('T', 'BETRAG', 'Zahl', 'betrag', '', 2),
  ('T', 'TAG', 'Datum', 'tag', '', 3),
  ('T', 'NOTIZ', 'Text', 'betrag', '', 4);
attach database '@DIR@/ziel.db' as ziel;
create table ziel.buchung (n text, betrag real, tag date, notiz text);
detach database ziel;
